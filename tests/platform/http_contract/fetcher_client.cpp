// The contract suite's client for the Linux program: libcurl in the
// skyvigil-fetch helper, started per call.
#include "platform/http_contract/client_under_test.h"
#include "platform/posix/fetcher_http_client.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const ClientLimits& limits) {
  FetcherOptions options;
  options.helper = SKYVIGIL_FETCH_PROGRAM;
  options.limits.connect_timeout_ms = limits.connect_timeout_ms;
  options.limits.transfer_timeout_ms = limits.transfer_timeout_ms;
  options.limits.max_redirects = limits.max_redirects;
  options.limits.max_running = limits.max_running;
  return std::make_unique<FetcherHttpClient>(options);
}

}  // namespace skyvigil::testing
