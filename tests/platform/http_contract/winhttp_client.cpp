// The contract suite's client on Windows: WinHTTP.
#include "platform/win32/winhttp_client.h"
#include "platform/http_contract/client_under_test.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const HttpLimits& limits) {
  return std::make_unique<WinHttpClient>(limits);
}

}  // namespace skyvigil::testing
