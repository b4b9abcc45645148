// Speech and sound output: the only two ways the application makes itself heard.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace skyvigil {

enum class Cue { alert, up, down, condition };

// Each cue's name, indexed by Cue: a desktop plays "<name>.wav" of its cue
// folder (snd/ beside the program, or the package's), which the packages
// install from snd/ of the source tree.
inline constexpr std::array<const char*, 4> kCueNames = {"alert", "up", "down", "condition"};

class Announcer {
 public:
  virtual ~Announcer() = default;
  // Hands `text` to the screen reader; `interrupt` cuts off speech in progress,
  // otherwise the text queues behind it.
  virtual void Speak(const std::string& text, bool interrupt) = 0;
  // News the user did not ask for at that moment (a refresh's alerts, the
  // monitor's changes, the service's state): spoken in this program's order,
  // but never holding up the user's own screen reader for long.
  void SpeakInBackground(const std::string& text) { SpeakInBackground(text, {}); }
  // The same, telling `fate` once, on any thread, what became of the text:
  // heard (it finished sounding, or went to a screen reader that does not
  // report back) or not (cut off unheard and dropped, by a key press say).
  using SpeechFate = std::function<void(bool heard)>;
  virtual void SpeakInBackground(const std::string& text, SpeechFate fate) = 0;
  // A weather alert: background news that a screen reader should not drop
  // when the user is busy. A desktop that cannot tell the two apart speaks it
  // like other news. `fate` as above.
  void SpeakAlert(const std::string& text) { SpeakAlert(text, {}); }
  virtual void SpeakAlert(const std::string& text, SpeechFate fate) {
    SpeakInBackground(text, std::move(fate));
  }
  // News held back (quiet hours): not said, only kept where spoken texts are
  // kept, for the history. Nothing else keeps it.
  virtual void KeepUnspoken(const std::string& /*text*/) {}
  // A key was pressed in one of the program's windows: this program's speech,
  // playing or queued, stops, as a screen reader's own speech does.
  virtual void Silence() = 0;
  // Plays a cue once from its start, restarting it if it still sounds.
  virtual void PlayCue(Cue cue) = 0;
};

}  // namespace skyvigil
