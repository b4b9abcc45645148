// The start's news (a refresh's alerts, the monitor's first changes, the
// briefing) waits until the main window has been shown and focused for a
// moment: sent while the screen reader announces the new window, it would be
// cut by that announcement, or cut it.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "ports/announcer.h"

namespace skyvigil {

struct App;

// How long after the window's activation the news waits: the screen reader has
// begun its announcement by then (Orca within a second even on a busy
// machine), and speech that comes later waits behind it.
constexpr std::chrono::milliseconds kNewsAfterActivation{1500};
// The longest the news waits for a window that is shown but never activated
// (a start at login that the desktop keeps in the background, say).
constexpr std::chrono::milliseconds kNewsAfterShow{3000};

// An Announcer that holds background news, alerts and cues until Release and
// passes them on in their order then; what the user asked for (Speak) and
// Silence pass at once. A held text was never heard, so a key press keeps it.
// Safe from any thread.
class StartupNewsHold : public Announcer {
 public:
  explicit StartupNewsHold(Announcer& inner, bool holding = true)
      : inner_(inner), holding_(holding) {}

  void Speak(const std::string& text, bool interrupt) override { inner_.Speak(text, interrupt); }
  using Announcer::SpeakInBackground;
  void SpeakInBackground(const std::string& text, SpeechFate fate) override;
  using Announcer::SpeakAlert;
  void SpeakAlert(const std::string& text, SpeechFate fate) override;
  // Not said, so nothing to hold.
  void KeepUnspoken(const std::string& text) override { inner_.KeepUnspoken(text); }
  void Silence() override { inner_.Silence(); }
  void PlayCue(Cue cue) override;

  // Passes on what was held, in order; from then on nothing is held.
  void Release();
  bool holding();

 private:
  struct Held {
    enum class Kind { news, alert, cue } kind;
    std::string text;
    SpeechFate fate;
    Cue cue = Cue::alert;
  };
  // Holds `held`, or passes it on once released.
  void Take(Held held);
  // Passes `held` on now; called with the mutex held, so that nothing overtakes it.
  void PassOn(Held held);

  Announcer& inner_;
  std::mutex mutex_;
  bool holding_;
  std::vector<Held> held_;
};

// The main window was shown at start (`shown`), or stays hidden: the news
// follows once the window has been activated for a moment, or at the latest
// kNewsAfterShow after the show; at once when it stays hidden.
void HoldNewsForTheWindow(App& app, bool shown);

// The main window was activated: the news held since the start follows a
// moment later.
void ReleaseNewsAfterActivation(App& app);

}  // namespace skyvigil
