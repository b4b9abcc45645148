// Keeps every text the program speaks, with its local time, for the
// "Announcement History" window: an Announcer that records, then passes on.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "ports/announcer.h"
#include "ports/clock.h"

namespace skyvigil {

class AnnouncementHistory : public Announcer {
 public:
  static constexpr size_t kKept = 500;

  AnnouncementHistory(Announcer& inner, const Clock& clock) : inner_(inner), clock_(clock) {}

  // Safe from any thread: the update check speaks from its own.
  void Speak(const std::string& text, bool interrupt) override;
  using Announcer::SpeakInBackground;
  void SpeakInBackground(const std::string& text, SpeechFate fate) override;
  using Announcer::SpeakAlert;
  void SpeakAlert(const std::string& text, SpeechFate fate) override;
  void KeepUnspoken(const std::string& text) override {
    Keep(text);
    inner_.KeepUnspoken(text);
  }
  void Silence() override { inner_.Silence(); }
  void PlayCue(Cue cue) override { inner_.PlayCue(cue); }

  // "HH:MM text", newest first.
  std::vector<std::string> Lines() const;

 private:
  void Keep(const std::string& text);

  Announcer& inner_;
  const Clock& clock_;
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;  // oldest first
};

}  // namespace skyvigil
