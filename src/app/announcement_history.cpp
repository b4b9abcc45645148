// The spoken texts kept in memory, the oldest dropped past kKept.
#include "app/announcement_history.h"

#include <cstdio>

namespace skyvigil {

void AnnouncementHistory::Speak(const std::string& text, bool interrupt) {
  Keep(text);
  inner_.Speak(text, interrupt);
}

void AnnouncementHistory::SpeakInBackground(const std::string& text, SpeechFate fate) {
  Keep(text);
  inner_.SpeakInBackground(text, std::move(fate));
}

void AnnouncementHistory::SpeakAlert(const std::string& text, SpeechFate fate) {
  Keep(text);
  inner_.SpeakAlert(text, std::move(fate));
}

void AnnouncementHistory::Keep(const std::string& text) {
  const TimeOfDay now = clock_.Now();
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d ", now.hour % 100, now.minute % 100);
  {
    std::lock_guard lock(mutex_);
    lines_.push_back(stamp + text);
    if (lines_.size() > kKept)
      lines_.pop_front();
  }
}

std::vector<std::string> AnnouncementHistory::Lines() const {
  std::lock_guard lock(mutex_);
  return {lines_.rbegin(), lines_.rend()};
}

}  // namespace skyvigil
