// The classification of service answers by status and error code.
#include "weather/service_status.h"

#include "weather/json_value.h"
#include "weather/utf8.h"

namespace skyvigil {

namespace {

const JsonValue* Member(const JsonValue& v, std::string_view name) {
  const JsonValue::Object* object = v.as_object();
  if (object == nullptr)
    return nullptr;
  for (const JsonMember& m : *object) {
    if (m.name == name)
      return &m.value;
  }
  return nullptr;
}

// The "error" object of an error answer, or nullptr.
std::optional<JsonValue> ErrorOf(const HttpResponse& answer) {
  std::optional<JsonValue> root = ParseJson(answer.body);
  if (!root)
    return std::nullopt;
  if (const JsonValue* error = Member(*root, "error"); error != nullptr && error->as_object())
    return *error;
  return std::nullopt;
}

int64_t CodeOf(const JsonValue& error) {
  const JsonValue* code = Member(error, "code");
  if (code == nullptr)
    return 0;
  if (const int64_t* i = code->as_int())
    return *i;
  if (const uint64_t* u = code->as_unsigned())
    return static_cast<int64_t>(*u);
  return 0;
}

}  // namespace

ServiceProblem ClassifyAnswer(const HttpResponse& answer) {
  if (!answer.completed || answer.status == 0 || answer.body.size() > kMaxServiceAnswerBytes)
    return ServiceProblem::unreachable;
  if (const std::optional<JsonValue> error = ErrorOf(answer)) {
    switch (CodeOf(*error)) {
      case 1002:
      case 2006:
        return ServiceProblem::key_refused;
      case 2007:
        return ServiceProblem::quota_used;
      case 2008:
      case 2009:
        return ServiceProblem::key_disabled;
      default:
        return ServiceProblem::unknown_place;
    }
  }
  if (answer.status >= 200 && answer.status < 300 && ParseJson(answer.body))
    return ServiceProblem::none;
  // An error page or a broken body instead of the service's JSON.
  return ServiceProblem::unreachable;
}

bool IsKeyProblem(ServiceProblem p) {
  return p == ServiceProblem::key_refused || p == ServiceProblem::quota_used ||
         p == ServiceProblem::key_disabled;
}

std::string ServiceMessage(const HttpResponse& answer) {
  if (const std::optional<JsonValue> error = ErrorOf(answer)) {
    if (const JsonValue* message = Member(*error, "message"); message && message->as_string())
      return CapCharacters(*message->as_string(), kMaxServerTextCharacters);
  }
  return {};
}

std::string ProblemText(ServiceProblem p) {
  switch (p) {
    case ServiceProblem::unreachable:
      return "The weather service cannot be reached; check the network connection.";
    case ServiceProblem::key_refused:
      return "The weather service refused the key; set your own in Settings, Weather Service Key.";
    case ServiceProblem::quota_used:
      return "The weather service key has used up its calls for this month.";
    case ServiceProblem::key_disabled:
      return "The weather service key has been disabled.";
    case ServiceProblem::none:
    case ServiceProblem::unknown_place:
      break;
  }
  return {};
}

}  // namespace skyvigil
