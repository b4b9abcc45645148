// The four short sound cues, decoded whole at start and played through
// SDL2_mixer; the audio device is open only while cues sound and shortly after.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "ports/announcer.h"

struct Mix_Chunk;

namespace skyvigil {

// Starts the sound engine and loads "alert.wav", "up.wav", "down.wav" and
// "condition.wav" from one folder. Each cue has its own mixer channel, so
// playing a cue again restarts it while different cues sound together.
//
// An open audio device wakes the process every few milliseconds even when
// silent, so the device is opened by Play and closed `linger` after the last
// cue ended: an idle program does not run at all.
//
// The audio driver is SDL's own choice (SDL_AUDIODRIVER is honoured). Without a
// usable audio device, or for a cue whose file is missing or undecodable,
// playing does nothing. SDL's audio is process-wide: keep one object at a time.
// Play may be called from any thread.
class SoundCues {
 public:
  explicit SoundCues(const std::filesystem::path& folder = "snd",
                     std::chrono::milliseconds linger = std::chrono::milliseconds(2000));
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
  [[nodiscard]] bool IsDeviceOpen() const;
  // Blocks until the device is closed (at once when it is).
  void WaitUntilDeviceClosed();

 private:
  struct Format {
    int frequency = 0;
    uint16_t format = 0;
    int channels = 0;
    bool operator==(const Format&) const = default;
  };

  // With mutex_ held.
  bool OpenDevice();
  void CloseDevice();
  void LoadCues();
  void FreeCues();
  std::chrono::milliseconds Length(const Mix_Chunk& chunk) const;
  void CloseWhenQuiet();  // the closer thread

  std::filesystem::path folder_;
  std::chrono::milliseconds linger_;
  bool engine_started_ = false;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool device_open_ = false;
  Format decoded_for_;  // the device format the cues were decoded for
  std::optional<std::chrono::steady_clock::time_point> close_at_;
  bool quitting_ = false;
  std::thread closer_;
  std::array<Mix_Chunk*, 4> chunks_{};
};

}  // namespace skyvigil
