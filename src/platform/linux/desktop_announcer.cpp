// Joins the speech layer and the sound cues behind the Announcer port.
#include "platform/linux/desktop_announcer.h"

namespace skyvigil {

DesktopAnnouncer::DesktopAnnouncer(const std::filesystem::path& sound_folder)
    : cues_(sound_folder) {}

void DesktopAnnouncer::Speak(const std::string& text, bool interrupt) {
  // Other first callers wait here until the layer is ready, then speak in turn.
  std::call_once(speech_loaded_, [this] {
    speech_.Load();
    speech_.TrySystemSpeech(true);
  });
  speech_.Output(text, interrupt);  // nothing to do when it could not be spoken
}

void DesktopAnnouncer::SpeakInBackground(const std::string& text) {
  Speak(text, false);
}

void DesktopAnnouncer::Silence() {
  speech_.Output("", true);
}

void DesktopAnnouncer::PlayCue(Cue cue) {
  cues_.Play(cue);
}

void DesktopAnnouncer::Shutdown() {
  cues_.Shutdown();
}

}  // namespace skyvigil
