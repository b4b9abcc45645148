// SDL2_mixer implementation of the sound cues.
#include "platform/linux/sound_cues.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace skyvigil {

namespace {

// Indexed by Cue; each cue also plays on the mixer channel of its index.
constexpr std::array<const char*, 4> kCueFiles = {"alert.wav", "up.wav", "down.wav",
                                                  "condition.wav"};

int ChannelOf(Cue cue) {
  return static_cast<int>(cue);
}

}  // namespace

SoundCues::SoundCues(const std::filesystem::path& folder) {
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Skyvigil");
  // SDL would otherwise catch SIGINT and SIGTERM and wait for an SDL_QUIT
  // event that this program never reads, so a logout could not end it.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_AUDIO) != 0)
    return;
  // CD rate, stereo, ~23 ms buffers: a cue starts without a noticeable delay.
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_Quit();
    return;
  }
  Mix_AllocateChannels(static_cast<int>(kCueFiles.size()));
  engine_started_ = true;
  // Each file is read and decoded whole now; nothing is streamed when it plays.
  for (size_t i = 0; i < kCueFiles.size(); ++i) {
    chunks_[i] = Mix_LoadWAV((folder / kCueFiles[i]).c_str());
  }
}

SoundCues::~SoundCues() {
  Shutdown();
}

bool SoundCues::Play(Cue cue) {
  Mix_Chunk* chunk = chunks_[static_cast<size_t>(cue)];
  if (!engine_started_ || chunk == nullptr)
    return false;
  // Playing on the cue's own channel halts what that channel still plays.
  return Mix_PlayChannel(ChannelOf(cue), chunk, 0) >= 0;
}

void SoundCues::Shutdown() {
  if (!engine_started_)
    return;
  Mix_HaltChannel(-1);
  for (Mix_Chunk*& chunk : chunks_) {
    if (chunk != nullptr)
      Mix_FreeChunk(chunk);
    chunk = nullptr;
  }
  Mix_CloseAudio();
  SDL_Quit();
  engine_started_ = false;
}

bool SoundCues::IsLoaded(Cue cue) const {
  return chunks_[static_cast<size_t>(cue)] != nullptr;
}

}  // namespace skyvigil
