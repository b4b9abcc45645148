// Joins the speech layer and the sound cues behind the Announcer port.
#include "platform/linux/desktop_announcer.h"

namespace skyvigil {

DesktopAnnouncer::DesktopAnnouncer(const std::filesystem::path& sound_folder)
    : cues_(sound_folder) {}

void DesktopAnnouncer::LoadSpeech() {
  // Other first callers wait here until the layer is ready, then speak in turn.
  std::call_once(speech_loaded_, [this] {
    speech_.Load();
    speech_.TrySystemSpeech(true);
  });
}

void DesktopAnnouncer::Speak(const std::string& text, bool interrupt) {
  LoadSpeech();
  speech_.Output(text, interrupt);  // nothing to do when it could not be spoken
}

void DesktopAnnouncer::SpeakInBackground(const std::string& text, SpeechFate fate) {
  LoadSpeech();
  // Without a speech service nothing will ever report back: that counts as
  // handed over, so the same news is not queued again and again.
  if (!speech_.OutputInBackground(text, fate) && fate)
    fate(true);
}

void DesktopAnnouncer::Silence() {
  speech_.Silence();  // before the first text there is nothing to stop
}

void DesktopAnnouncer::PlayCue(Cue cue) {
  cues_.Play(cue);
}

void DesktopAnnouncer::Shutdown() {
  cues_.Shutdown();
}

}  // namespace skyvigil
