// The updater's Win32 calls on wine's file system: a link inside a folder
// being removed goes as a link, never followed into what it points to.
#include "platform/win32/updater/win32_update_ops.h"

#include <gtest/gtest.h>

#include <functional>

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
