// Joins the speech thread and the sound cues behind the Announcer port.
#include "platform/win32/windows_announcer.h"

namespace skyvigil {

WindowsAnnouncer::WindowsAnnouncer(const std::filesystem::path& cues_folder) : cues_(cues_folder) {}

WindowsAnnouncer::~WindowsAnnouncer() {
  Shutdown();
}

void WindowsAnnouncer::Speak(const std::string& text, bool interrupt) {
  speech_.Say(text, interrupt);
}

void WindowsAnnouncer::MakeNotificationWindow() {
  notifier_ = std::make_shared<UiaNotifier>();
  speech_.SetNotifier(notifier_);
}

void WindowsAnnouncer::PlayCue(Cue cue) {
  cues_.Play(cue);  // a silent cue or no audio device: nothing to do
}

void WindowsAnnouncer::Shutdown() {
  if (notifier_ != nullptr) {
    speech_.WaitHandedOver(kLastWordsWait);
    notifier_->Close();  // a later raise fails, and its text goes on to the system voice
  }
  speech_.Shutdown();
  cues_.Shutdown();
}

}  // namespace skyvigil
