// The Windows Announcer: speech through the screen reader (or the system
// voice), cues through XAudio2.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/win32/uia_notifier.h"
#include "platform/win32/windows_cues.h"
#include "platform/win32/windows_speech.h"
#include "ports/announcer.h"

namespace skyvigil {

// The cues load when the object is made; the speech layer is chosen for each
// text on the speech thread, whichever thread speaks. Empty texts are not
// sent. Make one per run: each object loads its own speech layers.
class WindowsAnnouncer : public Announcer {
 public:
  explicit WindowsAnnouncer(const std::filesystem::path& cues_folder);
  ~WindowsAnnouncer() override;

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
  // Any thread; news that Narrator must not drop (DeliveryFor).
  using Announcer::SpeakAlert;
  void SpeakAlert(const std::string& text, SpeechFate fate) override {
    speech_.SayAlert(text);
    if (fate)
      fate(true);
  }
  // Main thread.
  void PlayCue(Cue cue) override;

  // Main thread, once: makes the window that Narrator's notifications are
  // raised from.
  void MakeNotificationWindow();
  // Any thread; a key was pressed. Drops this program's speech not handed
  // over yet and stops a system voice (WindowsSpeech::Silence).
  void Silence() override { speech_.Silence(); }
  // Main thread, at exit: hands over what is queued, then releases speech
  // and sound. The notification window stays until what was queued before
  // ("Exiting") has been raised, at most kLastWordsWait.
  void Shutdown();

  static constexpr std::chrono::milliseconds kLastWordsWait{1000};

  const WindowsCues& cues() const { return cues_; }

 private:
  std::shared_ptr<UiaNotifier> notifier_;
  WindowsSpeech speech_;
  WindowsCues cues_;
};

}  // namespace skyvigil
