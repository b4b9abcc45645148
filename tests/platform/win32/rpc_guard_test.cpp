// The guard around widl's stubs: the RPC run time's exception ends the call,
// not the program.
#include "platform/win32/speech/rpc_guard.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <rpc.h>

#include <gtest/gtest.h>

#include <vector>

namespace skyvigil {
namespace {

struct Steps {
  std::vector<int> done;
  bool fail = false;
};

void TwoSteps(void* context) {
  auto* steps = static_cast<Steps*>(context);
  steps->done.push_back(1);
  if (steps->fail)
    ::RpcRaiseException(RPC_S_SERVER_UNAVAILABLE);
  steps->done.push_back(2);
}

TEST(RpcGuardTest, AFailedCallEndsWhereItFailedAndTheNextCallRunsWhole) {
  for (const bool fail : {true, false, true, false}) {
    SCOPED_TRACE(fail);
    Steps steps{{}, fail};
    EXPECT_EQ(CallCatchingRpcFailure(&TwoSteps, &steps), fail ? 0 : 1);
    const std::vector<int> done = fail ? std::vector<int>{1} : std::vector<int>{1, 2};
    EXPECT_EQ(steps.done, done);
  }
}

}  // namespace
}  // namespace skyvigil
