// The Windows Announcer: speech through the screen reader (or the system
// voice), cues through XAudio2.
#pragma once

#include <filesystem>
#include <string>

#include "platform/win32/windows_cues.h"
#include "platform/win32/windows_speech.h"
#include "ports/announcer.h"

namespace skyvigil {

// The cues load when the object is made; the speech layer is chosen and
// loaded by the first Speak, whichever thread makes it. Empty texts are not
// sent. Make one per run: each object loads its own speech layer.
class WindowsAnnouncer : public Announcer {
 public:
  explicit WindowsAnnouncer(const std::filesystem::path& cues_folder);

  // Any thread; returns at once, the texts are handed over in order.
  void Speak(const std::string& text, bool interrupt) override;
  // Any thread; never cuts off speech in progress (see DeliveryFor).
  using Announcer::SpeakInBackground;
  // The Windows speech layers do not say when a text ends: handed over counts as heard.
  void SpeakInBackground(const std::string& text, SpeechFate fate) override {
    speech_.SayInBackground(text);
    if (fate)
      fate(true);
  }
  // Main thread.
  void PlayCue(Cue cue) override;

  // The main window, which UI Automation notifications are raised from.
  void SetNotificationWindow(void* hwnd) { speech_.SetNotificationWindow(hwnd); }
  // Any thread; a key was pressed. Drops this program's speech not handed
  // over yet and stops a system voice (WindowsSpeech::Silence).
  void Silence() override { speech_.Silence(); }
  // At exit: hands over what is queued, then releases speech and sound.
  void Shutdown();

  const WindowsCues& cues() const { return cues_; }

 private:
  WindowsSpeech speech_;
  WindowsCues cues_;
};

}  // namespace skyvigil
