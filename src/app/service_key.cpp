// The key dialog's loop: ask, try in the background, keep or tell why not.
#include "app/service_key.h"

#include "state/fetch.h"
#include "views/dialogs.h"
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

// Why the service did not take the key it was asked with; empty when it did.
std::string KeyProblem(const HttpResponse& answer) {
  const ServiceProblem problem = ClassifyAnswer(answer);
  if (problem == ServiceProblem::none || problem == ServiceProblem::unknown_place)
    return {};
  if (IsKeyProblem(problem)) {
    const std::string message = ServiceMessage(answer);
    return message.empty() ? ProblemText(problem) : message;
  }
  return ProblemText(problem);
}

// One request in the background while the dialog waits in its own loop: the
// answer comes back inside this handler, not through the core gate.
class ServiceKeyTrial : public KeyTrial {
 public:
  explicit ServiceKeyTrial(App& app) : app_(app) {}

  void Start(const std::string& key, std::function<void()> done) override {
    if (trying_)
      return;  // a second OK waits for the first
    key_ = Trimmed(key);
    if (key_.empty()) {
      problem_ = "Please enter the key.";
      done();
      return;
    }
    ServiceConfig trial = app_.state.service;
    trial.api_key = key_;
    trying_ = true;
    FetchAnswers(
        app_, Asker::key_trial, {CurrentWeatherRequest(trial, kTrialQuery)},
        [this, done = std::move(done)](App&, const std::vector<HttpResponse>& answers) {
          trying_ = false;
          problem_ = KeyProblem(answers.front());
          done();
        },
        Delivery::inside_handler);
  }

  void Cancel() override {
    trying_ = false;
    CancelFetch(app_, Asker::key_trial);
  }

  bool Trying() const override { return trying_; }

  const std::string& key() const { return key_; }
  // Why the last key tried was not taken; empty when it was.
  const std::string& problem() const { return problem_; }

 private:
  App& app_;
  std::string key_;
  std::string problem_;
  bool trying_ = false;
};

}  // namespace

bool HasOwnServiceKey(const ServiceConfig& service) {
  return !service.api_key.empty() && service.api_key != DefaultServiceConfig().api_key;
}

bool AskForServiceKey(App& app) {
  KeyPrompt prompt = FirstPrompt();
  ServiceKeyTrial trial(app);
  for (;;) {
    const std::optional<std::string> answer = AskServiceKey(app, prompt, trial);
    if (!answer)
      return false;
    prompt.initial = *answer;
    prompt.problem = trial.problem();
    if (prompt.problem.empty()) {
      app.state.service.api_key = trial.key();
      SaveServiceKey(trial.key(), app.state.paths.prefs_file);
      return true;
    }
    app.announcer.Speak(prompt.problem, false);
  }
}

}  // namespace skyvigil
