// The key dialog's loop: ask, try, keep or tell why not.
#include "app/service_key.h"

#include "weather/prefs.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

// Any place will do: the service checks the key before the place.
constexpr const char* kTrialQuery = "London";

KeyPrompt FirstPrompt() {
  KeyPrompt p;
  p.title = "Weather Service Key";
  p.explanation =
      "Skyvigil gets its weather from the public weather service WeatherAPI.com.\n"
      "The service needs a key of your own, which is free: sign up on its page below,\n"
      "then paste the key from your account into the field and press OK.";
  p.address = "https://www.weatherapi.com/signup.aspx";
  p.label = "Weather service key";
  return p;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Why the service did not take `key`; empty when it did.
std::string TryKey(App& app, const std::string& key) {
  ServiceConfig trial = app.state.service;
  trial.api_key = key;
  const HttpResponse answer = app.http.Perform(CurrentWeatherRequest(trial, kTrialQuery));
  const ServiceProblem problem = ClassifyAnswer(answer);
  if (problem == ServiceProblem::none || problem == ServiceProblem::unknown_place)
    return {};
  if (IsKeyProblem(problem)) {
    const std::string message = ServiceMessage(answer);
    return message.empty() ? ProblemText(problem) : message;
  }
  return ProblemText(problem);
}

}  // namespace

bool HasOwnServiceKey(const ServiceConfig& service) {
  return !service.api_key.empty() && service.api_key != DefaultServiceConfig().api_key;
}

bool AskForServiceKey(App& app) {
  KeyPrompt prompt = FirstPrompt();
  for (;;) {
    const std::optional<std::string> answer = app.ui.AskServiceKey(prompt);
    if (!answer)
      return false;
    const std::string key = Trimmed(*answer);
    prompt.initial = *answer;
    if (key.empty()) {
      prompt.problem = "Please enter the key.";
      app.announcer.Speak(prompt.problem, false);
      continue;
    }
    prompt.problem = TryKey(app, key);
    if (prompt.problem.empty()) {
      app.state.service.api_key = key;
      SaveServiceKey(key, app.state.paths.prefs_file);
      return true;
    }
    app.announcer.Speak(prompt.problem, false);
  }
}

}  // namespace skyvigil
