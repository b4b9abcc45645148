// What the updater's and the installer's tests under wine share: running a
// program with everything it starts to its end, and whole-file reads.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

namespace skyvigil::testing {

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every file below `folder`, by its relative name with '/'.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    if (item.is_regular_file())
      files[item.path().lexically_relative(folder).generic_string()] = ReadAll(item.path());
  }
  return files;
}

// A fresh folder in the prefix's temporary folder, removed with its contents.
struct ScratchFolder {
  ScratchFolder() { std::filesystem::create_directories(path_); }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

  const std::filesystem::path path_ =
      std::filesystem::temp_directory_path() / ("skyvigil-" + std::to_string(::GetTickCount64()));
};

// Runs `command_line` in `folder` and waits until it and every process it
// started have ended (an NSIS uninstaller reruns itself from a copy). A
// "Skyvigil update" message box, shown when there is a display, is answered.
// Returns the exit code of the first process, or -1 when it could not start
// or the processes did not end within two minutes.
inline int RunToEnd(std::wstring command_line, const std::filesystem::path& folder) {
  // Wine starts its desktop process for the first program that needs one; made
  // here, it is not one of the job's, which would then never end.
  ::GetDesktopWindow();
  HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, folder.c_str(), &startup, &process)) {
    ::CloseHandle(job);
    return -1;
  }
  ::AssignProcessToJobObject(job, process.hProcess);
  ::ResumeThread(process.hThread);
  ::CloseHandle(process.hThread);
  DWORD code = static_cast<DWORD>(-1);
  const ULONGLONG deadline = ::GetTickCount64() + 120000;
  while (::GetTickCount64() < deadline) {
    if (HWND box = ::FindWindowW(nullptr, L"Skyvigil update"))
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (::WaitForSingleObject(process.hProcess, 100) != WAIT_OBJECT_0)
      continue;
    if (::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info),
                                    nullptr) &&
        info.ActiveProcesses == 0) {
      ::GetExitCodeProcess(process.hProcess, &code);
      break;
    }
    ::Sleep(100);
  }
  ::CloseHandle(process.hProcess);
  ::CloseHandle(job);
  return static_cast<int>(code);
}

}  // namespace skyvigil::testing
