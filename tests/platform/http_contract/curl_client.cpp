// The contract suite's client on Linux: libcurl.
#include "platform/curl/http_curl.h"
#include "platform/http_contract/client_under_test.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const ClientLimits& limits) {
  CurlHttpOptions options;
  options.connect_timeout_ms = limits.connect_timeout_ms;
  options.transfer_timeout_ms = limits.transfer_timeout_ms;
  options.max_redirects = limits.max_redirects;
  options.max_running = limits.max_running;
  return std::make_unique<CurlHttpClient>(options);
}

}  // namespace skyvigil::testing
