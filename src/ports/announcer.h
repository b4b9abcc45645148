// Speech and sound output: the only two ways the application makes itself heard.
#pragma once

#include <string>

namespace skyvigil {

enum class Cue { alert, up, down, condition };

class Announcer {
 public:
  virtual ~Announcer() = default;
  // Hands `text` to the screen reader; `interrupt` cuts off speech in progress,
  // otherwise the text queues behind it.
  virtual void Speak(const std::string& text, bool interrupt) = 0;
  // Plays a cue once from its start, restarting it if it still sounds.
  virtual void PlayCue(Cue cue) = 0;
};

}  // namespace skyvigil
