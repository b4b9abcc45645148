// What the Win32 adapters of the files and lock ports add to the contract:
// Windows file attributes, readers that never let go, and a marker that no
// other process can open or delete.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "ports/files.h"
#include "ports/instance_lock.h"

namespace skyvigil {
namespace {

using platform_test::FolderEntries;
using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

DWORD Attributes(const std::filesystem::path& path) {
  return ::GetFileAttributesW(path.c_str());
}

TEST(AtomicFileWin32Test, KeepsTheHiddenAttributeOfTheReplacedFile) {
  TempDir dir;
  WriteBytes(dir / "prefs.ini", "old");
  ASSERT_TRUE(::SetFileAttributesW((dir / "prefs.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(WriteFileAtomically(dir / "prefs.ini", "new"));
  EXPECT_NE(Attributes(dir / "prefs.ini") & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(ReadBytes(dir / "prefs.ini"), "new");
}

TEST(AtomicFileWin32Test, NewFileIsNeitherHiddenNorReadOnly) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "cities.json", "[]"));
  EXPECT_EQ(Attributes(dir / "cities.json") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            0u);
}

TEST(AtomicFileWin32Test, AReaderThatHoldsOnFailsTheSaveAndLeavesTheOldFile) {
  TempDir dir;
  WriteBytes(dir / "cities.json", "old");
  std::ifstream reader(dir / "cities.json", std::ios::binary);
  ASSERT_TRUE(reader.is_open());
  EXPECT_FALSE(WriteFileAtomically(dir / "cities.json", "new"));
  reader.close();
  EXPECT_EQ(ReadBytes(dir / "cities.json"), "old");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"cities.json"});
}

TEST(InstanceLockWin32Test, HeldMarkerCanNeitherBeOpenedNorDeleted) {
  TempDir dir;
  InstanceLock lock;
  ASSERT_EQ(lock.Acquire(dir / "running"), InstanceLock::Outcome::acquired);
  HANDLE reader = ::CreateFileW((dir / "running").c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  const DWORD error = ::GetLastError();
  EXPECT_EQ(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (reader != INVALID_HANDLE_VALUE)
    ::CloseHandle(reader);
  EXPECT_FALSE(::DeleteFileW((dir / "running").c_str()));
  EXPECT_TRUE(std::filesystem::exists(dir / "running"));
}

// A marker that can't be taken over is treated as another instance's.
TEST(InstanceLockWin32Test, ReadOnlyLeftOverMarkerCountsAsHeld) {
  TempDir dir;
  WriteBytes(dir / "running", "");
  ASSERT_TRUE(::SetFileAttributesW((dir / "running").c_str(), FILE_ATTRIBUTE_READONLY));
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(dir / "running"), InstanceLock::Outcome::other_instance);
  ::SetFileAttributesW((dir / "running").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace skyvigil
