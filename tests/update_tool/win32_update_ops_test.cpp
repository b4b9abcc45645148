// The updater's Win32 calls on wine's file system: a running program's file
// is never replaced nor moved aside; a link inside a folder being removed
// goes as a link, never followed into what it points to.
#include "platform/win32/updater/win32_update_ops.h"

#include <gtest/gtest.h>

#include <functional>

#include "ports/instance_lock.h"
#include "update_tool/win32_test_support.h"

namespace skyvigil::testing {
namespace {

namespace fs = std::filesystem;

bool IsFolderLink(const fs::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Runs a command of the system wine runs on, in `folder`. Wine starts it
// without a handle to wait on, so this waits (10 s at most) until `done`.
bool RunOnHost(std::wstring command, const fs::path& folder, const std::function<bool()>& done) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  for (int tries = 0; tries < 400 && !done(); ++tries)
    ::Sleep(25);
  return done();
}

// The updater holds Skyvigil's own marker while it works, so that a Skyvigil
// started by hand meanwhile finds itself already running.
TEST(Win32UpdateOpsTest, TheMarkerIsTakenOnceSkyvigilLetsItGo) {
  ScratchFolder scratch;
  InstanceLock skyvigil;
  ASSERT_EQ(skyvigil.Acquire(scratch.path() / "running"), InstanceLock::Outcome::acquired);
  win32::Win32UpdateOps ops(scratch.path(), nullptr);
  EXPECT_FALSE(ops.TakeMarker());
  skyvigil.Release();
  EXPECT_TRUE(ops.TakeMarker());
  EXPECT_TRUE(ops.TakeMarker());
  InstanceLock started_by_hand;
  EXPECT_EQ(started_by_hand.Acquire(scratch.path() / "running"),
            InstanceLock::Outcome::other_instance);
  ops.ReleaseMarker();
  EXPECT_FALSE(fs::exists(scratch.path() / "running"));
  EXPECT_EQ(started_by_hand.Acquire(scratch.path() / "running"), InstanceLock::Outcome::acquired);
}

// This test program, copied into `folder` as `name` and started held: its
// file is a running program's until the process is ended.
HANDLE StartCopyOfThisProgram(const fs::path& folder, const std::string& name) {
  wchar_t self[MAX_PATH];
  const DWORD size = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path copy = folder / name;
  fs::create_directories(folder);
  if (size == 0 || size == MAX_PATH || !::CopyFileW(self, copy.c_str(), FALSE))
    return nullptr;
  std::wstring command = L"\"" + copy.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, folder.c_str(), &startup, &process))
    return nullptr;
  ::CloseHandle(process.hThread);
  return process.hProcess;
}

// One rename or none: moving a running program aside and the new file in
// would leave no updater.exe when the power went between the two.
TEST(Win32UpdateOpsTest, ARunningProgramsFileIsNeitherReplacedNorMovedAside) {
  ScratchFolder scratch;
  const fs::path program = scratch.path() / "program";
  HANDLE running = StartCopyOfThisProgram(program, "updater.exe");
  ASSERT_NE(running, nullptr);
  const std::string bytes = ReadAll(program / "updater.exe");
  WriteAll(program / "update.new/updater.exe", "new updater");

  win32::Win32UpdateOps ops(program, nullptr);
  EXPECT_FALSE(ops.Replace("update.new/updater.exe", "updater.exe"));
  EXPECT_TRUE(ReadAll(program / "updater.exe") == bytes);  // not printed: a program
  EXPECT_EQ(ReadAll(program / "update.new/updater.exe"), "new updater");
  EXPECT_FALSE(fs::exists(program / "update.old"));

  ::TerminateProcess(running, 0);
  ::WaitForSingleObject(running, INFINITE);
  ::CloseHandle(running);
  // Ended, it is replaced like any file.
  EXPECT_TRUE(ops.Replace("update.new/updater.exe", "updater.exe"));
  EXPECT_EQ(ReadAll(program / "updater.exe"), "new updater");
}

TEST(Win32UpdateOpsTest, RemovingAFolderLeavesWhatItsLinksPointTo) {
  ScratchFolder scratch;
  const fs::path program = scratch.path() / "program";
  const fs::path link = program / "update.old" / "link";
  WriteAll(program / "update.old/snd/up.wav", "old cue");
  WriteAll(scratch.path() / "user/cities.json", "my cities");
  // Wine 8 makes no link itself (CreateSymbolicLinkW does nothing and
  // FSCTL_SET_REPARSE_POINT is refused); it shows a POSIX symbolic link to a
  // folder as a reparse point, as Windows shows a junction.
  ASSERT_TRUE(RunOnHost(L"/bin/ln -s ../../user link", link.parent_path(),
                        [&] { return IsFolderLink(link); }));

  win32::Win32UpdateOps ops(program, nullptr);
  ops.RemoveFolder("update.old");
  EXPECT_EQ(ReadAll(scratch.path() / "user/cities.json"), "my cities");
  EXPECT_FALSE(fs::exists(program / "update.old/snd"));

  // Wine cannot remove a link to a folder that is not empty; the host can.
  RunOnHost(L"/bin/rm -f link", link.parent_path(), [&] { return !IsFolderLink(link); });
}

}  // namespace
}  // namespace skyvigil::testing
