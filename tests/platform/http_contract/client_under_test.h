// The HTTP client the contract suite runs against: each platform's test
// program links one definition of MakeClientUnderTest.
#pragma once

#include <cstddef>
#include <memory>

#include "ports/http.h"

namespace skyvigil::testing {

struct ClientLimits {
  long connect_timeout_ms = 3000;
  long transfer_timeout_ms = 20000;
  int max_redirects = 10;
  std::size_t max_running = 16;
};

std::unique_ptr<HttpClient> MakeClientUnderTest(const ClientLimits& limits = {});

}  // namespace skyvigil::testing
