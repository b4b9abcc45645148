// Joins the speech thread and the sound cues behind the Announcer port.
#include "platform/win32/windows_announcer.h"

namespace skyvigil {

WindowsAnnouncer::WindowsAnnouncer(const std::filesystem::path& cues_folder) : cues_(cues_folder) {}

void WindowsAnnouncer::Speak(const std::string& text, bool interrupt) {
  speech_.Say(text, interrupt);
}

void WindowsAnnouncer::AttachWindow(void* hwnd) {
  notifier_ = std::make_unique<UiaNotifier>(hwnd);
  speech_.SetNotifier(notifier_.get());
}

void WindowsAnnouncer::PlayCue(Cue cue) {
  cues_.Play(cue);  // a silent cue or no audio device: nothing to do
}

void WindowsAnnouncer::Shutdown() {
  speech_.Shutdown();
  cues_.Shutdown();
}

}  // namespace skyvigil
