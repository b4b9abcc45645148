// Tells the user, once per cause, why a refresh brought no weather at all, and
// once when the weather comes again.
#pragma once

#include <vector>

#include "state/app_state.h"

namespace skyvigil {

// none when any answer carried weather; otherwise the service-wide cause found
// first, or unknown_place when every request failed for its own place only.
ServiceProblem RefreshProblem(const std::vector<HttpResponse>& answers);

// Speaks the cause when it differs from the one said last, or that the service
// answers again (unknown places only are an answer too); a refresh of nothing
// says nothing.
void TellRefreshOutcome(App& app, const std::vector<HttpResponse>& answers);

}  // namespace skyvigil
