// The four short sound cues, loaded whole at start and played through SDL2_mixer.
#pragma once

#include <array>
#include <filesystem>

#include "ports/announcer.h"

struct Mix_Chunk;

namespace skyvigil {

// Starts the sound engine and loads "alert.wav", "up.wav", "down.wav" and
// "condition.wav" from one folder. Each cue has its own mixer channel, so
// playing a cue again restarts it while different cues sound together.
//
// The audio driver is SDL's own choice (SDL_AUDIODRIVER is honoured). Without a
// usable audio device, or for a cue whose file is missing or undecodable,
// playing does nothing. SDL's audio is process-wide: keep one object at a time.
// Play is meant for one thread; the mixer plays on SDL's own audio thread.
class SoundCues {
 public:
  explicit SoundCues(const std::filesystem::path& folder = "snd");
  SoundCues(const SoundCues&) = delete;
  SoundCues& operator=(const SoundCues&) = delete;
  ~SoundCues();

  // Plays `cue` once from its start and returns at once; false when nothing
  // plays (empty cue or no engine).
  bool Play(Cue cue);

  // Stops playback, frees the cues and closes the engine. Idempotent.
  void Shutdown();

  [[nodiscard]] bool IsEngineStarted() const { return engine_started_; }
  [[nodiscard]] bool IsLoaded(Cue cue) const;

 private:
  bool engine_started_ = false;
  std::array<Mix_Chunk*, 4> chunks_{};
};

}  // namespace skyvigil
