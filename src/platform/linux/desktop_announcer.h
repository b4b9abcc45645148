// The desktop's Announcer: speech through the speech service, cues through the
// sound engine.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

#include "platform/linux/sound_cues.h"
#include "platform/linux/speech_output.h"
#include "ports/announcer.h"

namespace skyvigil {

// The sound engine starts and the cues load when the object is made (the
// device itself opens only to play); speech is
// connected by the first Speak of the object's life, whichever thread makes it.
class DesktopAnnouncer : public Announcer {
 public:
  explicit DesktopAnnouncer(const std::filesystem::path& sound_folder = "snd");

  // Callable from several threads; the first call of either loads the speech
  // layer once. Background texts go below the screen reader's own speech.
  void Speak(const std::string& text, bool interrupt) override;
  using Announcer::SpeakInBackground;
  void SpeakInBackground(const std::string& text, SpeechFate fate) override;
  // Callable from any thread.
  void Silence() override;
  // Callable from any thread.
  void PlayCue(Cue cue) override;

  // Closes the sound engine (end of program). Speech stays usable.
  void Shutdown();

 private:
  void LoadSpeech();

  SpeechOutput speech_;
  std::once_flag speech_loaded_;
  SoundCues cues_;
};

}  // namespace skyvigil
