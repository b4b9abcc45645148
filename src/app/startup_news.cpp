// The start's news held back while the screen reader announces the window.
#include "app/startup_news.h"

#include <utility>

#include "state/app_state.h"

namespace skyvigil {

namespace {

void Release(App& app) {
  if (app.news_hold != nullptr)
    app.news_hold->Release();
}

// Through the core gate, so that nothing is released after the exit.
void ReleaseAfter(App& app, std::chrono::milliseconds delay) {
  app.main_thread.PostAfter(delay, [core = app.core] {
    if (core != nullptr)
      core->PostToCore(&Release);
  });
}

}  // namespace

void StartupNewsHold::SpeakInBackground(const std::string& text, SpeechFate fate) {
  Take({Held::Kind::news, text, std::move(fate)});
}

void StartupNewsHold::SpeakAlert(const std::string& text, SpeechFate fate) {
  Take({Held::Kind::alert, text, std::move(fate)});
}

void StartupNewsHold::PlayCue(Cue cue) {
  Take({Held::Kind::cue, {}, {}, cue});
}

bool StartupNewsHold::holding() {
  std::lock_guard lock(mutex_);
  return holding_;
}

void StartupNewsHold::Take(Held held) {
  std::lock_guard lock(mutex_);
  if (holding_)
    held_.push_back(std::move(held));
  else
    PassOn(std::move(held));
}

void StartupNewsHold::Release() {
  std::lock_guard lock(mutex_);
  if (!holding_)
    return;
  holding_ = false;
  for (Held& held : std::exchange(held_, {}))
    PassOn(std::move(held));
}

void StartupNewsHold::PassOn(Held held) {
  switch (held.kind) {
    case Held::Kind::news:
      inner_.SpeakInBackground(held.text, std::move(held.fate));
      break;
    case Held::Kind::alert:
      inner_.SpeakAlert(held.text, std::move(held.fate));
      break;
    case Held::Kind::cue:
      inner_.PlayCue(held.cue);
      break;
  }
}

void HoldNewsForTheWindow(App& app, bool shown) {
  if (!shown) {
    Release(app);  // no window for the screen reader to announce
    return;
  }
  ReleaseAfter(app, kNewsAfterShow);
}

void ReleaseNewsAfterActivation(App& app) {
  if (app.news_hold != nullptr && app.news_hold->holding())
    ReleaseAfter(app, kNewsAfterActivation);
}

}  // namespace skyvigil
