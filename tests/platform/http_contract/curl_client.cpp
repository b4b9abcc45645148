// The contract suite's client on Linux: libcurl.
#include "platform/curl/http_curl.h"
#include "platform/http_contract/client_under_test.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const HttpLimits& limits) {
  return std::make_unique<CurlHttpClient>(limits);
}

}  // namespace skyvigil::testing
