// A recording stand-in for Tolk.dll: each call appends one line to the file
// named by SKYVIGIL_TOLK_LOG ("Tolk_Output <interrupt> <text>" in UTF-8). It
// reports the screen reader named by SKYVIGIL_TOLK_READER, "NVDA" without it,
// and Tolk_Output says it failed while SKYVIGIL_TOLK_REFUSE is set. As Tolk,
// Tolk_Load loads NVDA's client library by its name ("Tolk found <name>" when
// it could).
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/utf16.h"

namespace {

void Record(const std::string& line) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"SKYVIGIL_TOLK_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return;
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::app) << line << '\n';
}

}  // namespace

extern "C" {

__declspec(dllexport) void Tolk_Load() {
  Record("Tolk_Load");
  if (::LoadLibraryW(L"nvdaControllerClient64.dll") != nullptr)
    Record("Tolk found nvdaControllerClient64.dll");
}

__declspec(dllexport) void Tolk_TrySAPI(bool try_sapi) {
  Record(std::string("Tolk_TrySAPI ") + (try_sapi ? "1" : "0"));
}

__declspec(dllexport) bool Tolk_Output(const wchar_t* text, bool interrupt) {
  Record(std::string("Tolk_Output ") + (interrupt ? "1 " : "0 ") +
         skyvigil::win32::Utf16ToUtf8(text));
  return ::GetEnvironmentVariableW(L"SKYVIGIL_TOLK_REFUSE", nullptr, 0) == 0;
}

__declspec(dllexport) bool Tolk_Silence() {
  Record("Tolk_Silence");
  return true;
}

__declspec(dllexport) const wchar_t* Tolk_DetectScreenReader() {
  static wchar_t name[32];
  const DWORD length = ::GetEnvironmentVariableW(L"SKYVIGIL_TOLK_READER", name, std::size(name));
  if (length == 0 || length >= std::size(name))
    ::lstrcpyW(name, L"NVDA");
  return name;
}

}  // extern "C"
