// What a weather service answer says about the service and the key, beyond
// the weather: the causes a refresh can fail for as a whole, and their texts.
#pragma once

#include <string>

#include "ports/http.h"
#include "weather/http_policy.h"

namespace skyvigil {

enum class ServiceProblem {
  none,           // the answer carries weather (or a search list)
  unknown_place,  // the service did not know the query, or another error of one request
  unreachable,    // no answer: no network, the service down or answering garbage
  key_refused,    // error codes 1002, 2006
  quota_used,     // 2007
  key_disabled,   // 2008, 2009
};

// Reads the status and the JSON error answer {"error":{"code":..,"message":..}}.
ServiceProblem ClassifyAnswer(const HttpResponse& answer);

// The problem concerns the key or the service, not one place.
inline bool IsServiceWide(ServiceProblem p) {
  return p != ServiceProblem::none && p != ServiceProblem::unknown_place;
}

// The key itself was turned away; the service's "message" is in `message`.
bool IsKeyProblem(ServiceProblem p);

// The service's own message of an error answer, capped for speech and dialogs
// (CapCharacters, kMaxServerTextCharacters); empty when there is none.
std::string ServiceMessage(const HttpResponse& answer);

// One short sentence per service-wide cause; empty for the others.
std::string ProblemText(ServiceProblem p);

}  // namespace skyvigil
