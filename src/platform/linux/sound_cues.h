// The four short sound cues, decoded whole at start and mixed into SDL2's audio
// device; the device, and SDL2 itself, are loaded only while cues sound and
// shortly after.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "ports/announcer.h"

namespace skyvigil {

// Plays the cues' WAV files ("alert.wav", ...: kCueNames) from one folder,
// read and converted when the first cue plays. Each cue has its own voice, so playing a cue
// again restarts it while different cues sound together.
//
// An open audio device wakes the process every few milliseconds even when
// silent, so the device is opened by Play and closed `linger` after the last
// cue ended: an idle program does not run at all. SDL2 is loaded with the
// device and unloaded with it, as its audio stack (PulseAudio, ALSA and the
// codecs they bring) would otherwise stay resident for the life of the
// program. The mixing is done here, on
// SDL's audio thread, rather than by SDL2_mixer, whose decoders of a dozen
// formats would be loaded into memory for four WAV files.
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

  // True until Shutdown.
  [[nodiscard]] bool IsEngineStarted() const { return engine_started_; }
  // Read and converted; nothing is before the first cue played.
  [[nodiscard]] bool IsLoaded(Cue cue) const;
  [[nodiscard]] bool IsDeviceOpen() const;
  // Blocks until the device is closed (at once when it is).
  void WaitUntilDeviceClosed();

 private:
  struct Format {
    int frequency = 0;
    int channels = 0;
    bool operator==(const Format&) const = default;
  };
  // Where a cue's samples are in its playing.
  struct Voice {
    const std::vector<int16_t>* samples = nullptr;
    size_t next = 0;
  };

  static void MixInto(void* self, uint8_t* stream, int bytes);  // SDL's audio thread

  struct Sdl;  // SDL2's library and the functions used from it

  // With mutex_ held.
  bool LoadSdl();
  void UnloadSdl();
  bool OpenDevice();
  void CloseDevice();
  void LoadCues();
  bool AnyVoiceSounds();
  void CloseWhenQuiet();  // the closer thread

  std::filesystem::path folder_;
  std::chrono::milliseconds linger_;
  bool engine_started_ = false;
  mutable std::mutex mutex_;
  std::unique_ptr<Sdl> sdl_;  // loaded while the device is open
  std::condition_variable changed_;
  uint32_t device_ = 0;  // SDL's device id; 0 when closed
  Format decoded_for_;   // the device format the cues were converted to
  std::array<std::vector<int16_t>, 4> cues_;
  std::array<Voice, 4> voices_{};  // guarded by SDL's device lock
  std::optional<std::chrono::steady_clock::time_point> close_at_;
  bool quitting_ = false;
  std::thread closer_;
};

}  // namespace skyvigil
