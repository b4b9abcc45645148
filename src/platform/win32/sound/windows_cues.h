// The four sound cues on XAudio2, loaded whole from WAV files at start.
#pragma once

#include <array>
#include <filesystem>
#include <mutex>
#include <optional>

#include "platform/win32/sound/wav_file.h"
#include "ports/announcer.h"

struct IXAudio2;
struct IXAudio2MasteringVoice;
struct IXAudio2SourceVoice;
struct _TP_TIMER;

namespace skyvigil {

// Reads the cues' WAV files ("alert.wav", ...: kCueNames) of one folder
// when made; a cue whose file is missing or unusable stays silent. The engine
// starts with the first cue played and stops soon after the last one ends, so
// an idle program keeps no audio thread busy. Each cue has its own voice:
// playing it again restarts it, different cues mix.
class WindowsCues {
 public:
  explicit WindowsCues(const std::filesystem::path& folder);
  ~WindowsCues();
  WindowsCues(const WindowsCues&) = delete;
  WindowsCues& operator=(const WindowsCues&) = delete;

  // Main thread. False when nothing plays (silent cue or no audio engine).
  bool Play(Cue cue);
  // Stops playback and releases the engine and voices. Idempotent.
  void Shutdown();

  [[nodiscard]] bool IsLoaded(Cue cue) const;
  [[nodiscard]] bool IsEngineRunning();

  // Called by the idle timer: stops the engine when no cue sounds any more.
  void StopWhenQuiet();

 private:
  bool StartEngine();

  std::array<std::optional<WavSound>, 4> sounds_;
  std::array<IXAudio2SourceVoice*, 4> voices_{};
  std::mutex mutex_;  // the engine between Play and the idle timer
  void* library_ = nullptr;
  IXAudio2* engine_ = nullptr;
  IXAudio2MasteringVoice* master_ = nullptr;
  _TP_TIMER* idle_timer_ = nullptr;
  bool running_ = false;
  bool failed_ = false;  // no audio device or engine: stay silent
  bool shut_down_ = false;
};

}  // namespace skyvigil
