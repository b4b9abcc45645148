// The WinHTTP client's own limits; its behaviour is the HTTP contract suite's.
#include <gtest/gtest.h>

#include "platform/win32/winhttp_client.h"

namespace skyvigil {
namespace {

TEST(WinHttpOptionsTest, DefaultsAreTheServiceLimits) {
  const WinHttpOptions options;
  EXPECT_EQ(options.connect_timeout_ms, 3000);
  EXPECT_EQ(options.transfer_timeout_ms, 20000);
  EXPECT_EQ(options.max_redirects, 10);
  EXPECT_EQ(options.max_body_bytes, 8u * 1024 * 1024);
  EXPECT_EQ(options.max_download_bytes, 512u * 1024 * 1024);
  EXPECT_EQ(options.max_running, 16u);
}

}  // namespace
}  // namespace skyvigil
