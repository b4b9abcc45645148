// SDL2_mixer implementation of the sound cues, with the device opened on demand.
#include "platform/linux/sound_cues.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

namespace skyvigil {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Indexed by Cue; each cue also plays on the mixer channel of its index.
constexpr std::array<const char*, 4> kCueFiles = {"alert.wav", "up.wav", "down.wav",
                                                  "condition.wav"};

int ChannelOf(Cue cue) {
  return static_cast<int>(cue);
}

}  // namespace

SoundCues::SoundCues(const std::filesystem::path& folder, std::chrono::milliseconds linger)
    : folder_(folder), linger_(linger) {
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Skyvigil");
  // SDL would otherwise catch SIGINT and SIGTERM and wait for an SDL_QUIT
  // event that this program never reads, so a logout could not end it.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_AUDIO) != 0)
    return;
  std::lock_guard lock(mutex_);
  if (!OpenDevice()) {
    SDL_Quit();
    return;
  }
  engine_started_ = true;
  CloseDevice();  // until the first cue
  closer_ = std::thread([this] { CloseWhenQuiet(); });
}

SoundCues::~SoundCues() {
  Shutdown();
}

bool SoundCues::OpenDevice() {
  // CD rate, stereo, ~23 ms buffers: a cue starts without a noticeable delay.
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0)
    return false;
  Mix_AllocateChannels(static_cast<int>(kCueFiles.size()));
  Format now;
  Mix_QuerySpec(&now.frequency, &now.format, &now.channels);
  // Decoded once; again only if a device came back with another format.
  if (now != decoded_for_) {
    decoded_for_ = now;
    LoadCues();
  }
  device_open_ = true;
  return true;
}

void SoundCues::CloseDevice() {
  if (!device_open_)
    return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  device_open_ = false;
  changed_.notify_all();
}

void SoundCues::LoadCues() {
  FreeCues();
  // Each file is read and decoded whole now; nothing is streamed when it plays.
  for (size_t i = 0; i < kCueFiles.size(); ++i)
    chunks_[i] = Mix_LoadWAV((folder_ / kCueFiles[i]).c_str());
}

void SoundCues::FreeCues() {
  for (Mix_Chunk*& chunk : chunks_) {
    if (chunk != nullptr)
      Mix_FreeChunk(chunk);
    chunk = nullptr;
  }
}

std::chrono::milliseconds SoundCues::Length(const Mix_Chunk& chunk) const {
  const long bytes_per_second = static_cast<long>(decoded_for_.frequency) * decoded_for_.channels *
                                (SDL_AUDIO_BITSIZE(decoded_for_.format) / 8);
  if (bytes_per_second <= 0)
    return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(1000L * static_cast<long>(chunk.alen) / bytes_per_second + 1);
}

bool SoundCues::Play(Cue cue) {
  std::lock_guard lock(mutex_);
  Mix_Chunk* chunk = chunks_[static_cast<size_t>(cue)];
  if (!engine_started_ || quitting_ || chunk == nullptr)
    return false;
  if (!device_open_ && !OpenDevice())
    return false;
  chunk = chunks_[static_cast<size_t>(cue)];  // decoded again if the format changed
  if (chunk == nullptr)
    return false;
  // Playing on the cue's own channel halts what that channel still plays.
  const bool playing = Mix_PlayChannel(ChannelOf(cue), chunk, 0) >= 0;
  const SteadyClock::time_point until = SteadyClock::now() + Length(*chunk) + linger_;
  close_at_ = close_at_ ? std::max(*close_at_, until) : until;
  changed_.notify_all();
  return playing;
}

void SoundCues::CloseWhenQuiet() {
  std::unique_lock lock(mutex_);
  while (!quitting_) {
    if (!close_at_) {
      changed_.wait(lock);
      continue;
    }
    const SteadyClock::time_point at = *close_at_;
    if (changed_.wait_until(lock, at) != std::cv_status::timeout || close_at_ != at)
      continue;
    if (Mix_Playing(-1) > 0) {
      close_at_ = SteadyClock::now() + linger_;  // a cue outlasted its expected length
      continue;
    }
    close_at_.reset();
    CloseDevice();
  }
}

void SoundCues::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    if (!engine_started_)
      return;
    quitting_ = true;
  }
  changed_.notify_all();
  if (closer_.joinable())
    closer_.join();
  std::lock_guard lock(mutex_);
  CloseDevice();
  FreeCues();
  SDL_Quit();
  engine_started_ = false;
}

bool SoundCues::IsLoaded(Cue cue) const {
  std::lock_guard lock(mutex_);
  return chunks_[static_cast<size_t>(cue)] != nullptr;
}

bool SoundCues::IsDeviceOpen() const {
  std::lock_guard lock(mutex_);
  return device_open_;
}

void SoundCues::WaitUntilDeviceClosed() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !device_open_; });
}

}  // namespace skyvigil
