// What the Win32 show-request channel adds to the contract: Windows paths name
// one file however they are spelled, so every spelling reaches the listener.
#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "platform/win32/show_requests_win32.h"
#include "ports/show_requests.h"

namespace skyvigil {
namespace {

using platform_test::TempDir;

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text)
    c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

TEST(ShowRequestsWin32Test, EverySpellingOfTheMarkerReachesItsListener) {
  TempDir dir;
  std::filesystem::create_directories(dir / "sub");
  const std::filesystem::path marker = dir / "running";
  std::atomic<int> requests = 0;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(marker, [&requests](InstanceRequest) { ++requests; }));

  const std::wstring plain = marker.wstring();
  std::wstring slashes = plain;
  for (wchar_t& c : slashes)
    c = c == L'\\' ? L'/' : c;
  const std::vector<std::filesystem::path> spellings = {
      Upper(plain), slashes, dir / "sub" / ".." / "running", dir / "." / "running"};
  for (const std::filesystem::path& spelling : spellings) {
    SCOPED_TRACE(spelling.string());
    EXPECT_TRUE(AskRunningInstance(spelling, InstanceRequest::show));
  }
  // Each answer comes after its request ran.
  EXPECT_EQ(requests, 4);
}

// The second start hands the foreground to this process while its box is up.
TEST(ShowRequestsWin32Test, TheListenersProcessIsFoundByItsMarker) {
  TempDir dir;
  const std::filesystem::path marker = dir / "running";
  EXPECT_EQ(RunningInstanceProcess(marker), 0u);
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(marker, [](InstanceRequest) {}));
  EXPECT_EQ(RunningInstanceProcess(marker), GetCurrentProcessId());
  EXPECT_EQ(RunningInstanceProcess(dir / "other"), 0u);
}

}  // namespace
}  // namespace skyvigil
