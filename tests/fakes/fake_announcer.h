// Records speech and cues in one ordered list, so tests can check both the
// texts and where each cue falls between them.
#pragma once

#include <string>
#include <vector>

#include "ports/announcer.h"

namespace skyvigil::testing {

class FakeAnnouncer : public Announcer {
 public:
  // "say:<text>", "SAY!:<text>" for interrupting speech, "news:<text>" for
  // background speech, "alert:<text>" for alerts, "kept:<text>" for news kept
  // unsaid, "hush" for silencing, "cue:<name>".
  std::vector<std::string> events;

  void Speak(const std::string& text, bool interrupt) override {
    events.push_back((interrupt ? "SAY!:" : "say:") + text);
  }
  // Off: every background text is heard as it is handed over. On: their
  // fates wait in `fates`, in the order spoken, for the test to tell.
  bool hold_fates = false;
  std::vector<SpeechFate> fates;

  using Announcer::SpeakInBackground;
  void SpeakInBackground(const std::string& text, SpeechFate fate) override {
    events.push_back("news:" + text);
    if (fate && hold_fates)
      fates.push_back(std::move(fate));
    else if (fate)
      fate(true);
  }
  using Announcer::SpeakAlert;
  void SpeakAlert(const std::string& text, SpeechFate fate) override {
    events.push_back("alert:" + text);
    if (fate && hold_fates)
      fates.push_back(std::move(fate));
    else if (fate)
      fate(true);
  }
  void KeepUnspoken(const std::string& text) override { events.push_back("kept:" + text); }
  void Silence() override { events.push_back("hush"); }
  void PlayCue(Cue cue) override {
    events.push_back(std::string("cue:") + kCueNames[static_cast<int>(cue)]);
  }
};

}  // namespace skyvigil::testing
