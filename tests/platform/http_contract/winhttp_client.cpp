// The contract suite's client on Windows: WinHTTP.
#include "platform/win32/winhttp_client.h"
#include "platform/http_contract/client_under_test.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const ClientLimits& limits) {
  WinHttpOptions options;
  options.connect_timeout_ms = limits.connect_timeout_ms;
  options.transfer_timeout_ms = limits.transfer_timeout_ms;
  options.max_redirects = limits.max_redirects;
  options.max_running = limits.max_running;
  return std::make_unique<WinHttpClient>(options);
}

}  // namespace skyvigil::testing
