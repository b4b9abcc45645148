// What the program's generated RPC client asks NVDA for, against NVDA's
// released controller interface, written here from NVDA's published facts.
#include <windows.h>
// After windows.h, which it builds on.
#include <rpc.h>

#include <gtest/gtest.h>

#include "platform/win32/nvda_client.h"

namespace skyvigil {
namespace {

// NvdaController: DFF50B99-F7FD-4ca7-A82C-DAEB3E025295, version 1.0. A client
// of a higher minor version is refused by every released NVDA.
constexpr GUID kNvdaController = {
    0xdff50b99, 0xf7fd, 0x4ca7, {0xa8, 0x2c, 0xda, 0xeb, 0x3e, 0x02, 0x52, 0x95}};

TEST(NvdaInterfaceTest, TheClientAsksForNvdaControllerVersionOnePointZero) {
  RPC_IF_ID asked{};
  ASSERT_EQ(::RpcIfInqId(static_cast<RPC_IF_HANDLE>(NvdaClientInterface()), &asked), RPC_S_OK);
  EXPECT_EQ(asked.Uuid, kNvdaController);
  EXPECT_EQ(asked.VersMajor, 1);
  EXPECT_EQ(asked.VersMinor, 0);
}

}  // namespace
}  // namespace skyvigil
