// The HTTP client the contract suite runs against: each platform's test
// program links one definition of MakeClientUnderTest.
#pragma once

#include <memory>

#include "ports/http.h"
#include "weather/http_policy.h"

namespace skyvigil::testing {

std::unique_ptr<HttpClient> MakeClientUnderTest(const HttpLimits& limits = {});

}  // namespace skyvigil::testing
