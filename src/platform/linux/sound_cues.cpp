// The sound cues on SDL2's audio: WAV files converted once, mixed here.
#include "platform/linux/sound_cues.h"

#include <SDL.h>  // types and constants; the library itself is loaded at run time
#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace skyvigil {

namespace {

using SteadyClock = std::chrono::steady_clock;

}  // namespace

struct SoundCues::Sdl {
  void* library = nullptr;
  decltype(&SDL_SetHint) SetHint = nullptr;
  decltype(&SDL_Init) Init = nullptr;
  decltype(&SDL_Quit) Quit = nullptr;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
  decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
  decltype(&SDL_RWFromFile) RWFromFile = nullptr;
  decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
  decltype(&SDL_BuildAudioCVT) BuildAudioCVT = nullptr;
  decltype(&SDL_ConvertAudio) ConvertAudio = nullptr;
  decltype(&SDL_FreeWAV) FreeWAV = nullptr;

  // Every function found, or false.
  bool Resolve() {
    return Find(SetHint, "SDL_SetHint") && Find(Init, "SDL_Init") && Find(Quit, "SDL_Quit") &&
           Find(OpenAudioDevice, "SDL_OpenAudioDevice") &&
           Find(PauseAudioDevice, "SDL_PauseAudioDevice") &&
           Find(CloseAudioDevice, "SDL_CloseAudioDevice") &&
           Find(LockAudioDevice, "SDL_LockAudioDevice") &&
           Find(UnlockAudioDevice, "SDL_UnlockAudioDevice") && Find(RWFromFile, "SDL_RWFromFile") &&
           Find(LoadWAV_RW, "SDL_LoadWAV_RW") && Find(BuildAudioCVT, "SDL_BuildAudioCVT") &&
           Find(ConvertAudio, "SDL_ConvertAudio") && Find(FreeWAV, "SDL_FreeWAV");
  }

  // The WAV at `path` as signed 16-bit samples in the device's format; empty
  // when it cannot be read or converted.
  std::vector<int16_t> LoadConverted(const std::filesystem::path& path, int frequency,
                                     int channels) const {
    SDL_AudioSpec wav;
    Uint8* bytes = nullptr;
    Uint32 length = 0;
    if (LoadWAV_RW(RWFromFile(path.c_str(), "rb"), 1, &wav, &bytes, &length) == nullptr)
      return {};
    SDL_AudioCVT cvt;
    std::vector<int16_t> samples;
    if (BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, AUDIO_S16SYS,
                      static_cast<Uint8>(channels), frequency) >= 0) {
      std::vector<Uint8> work(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
      std::memcpy(work.data(), bytes, length);
      cvt.buf = work.data();
      cvt.len = static_cast<int>(length);
      if (ConvertAudio(&cvt) == 0) {
        samples.resize(static_cast<size_t>(cvt.len_cvt) / sizeof(int16_t));
        std::memcpy(samples.data(), work.data(), samples.size() * sizeof(int16_t));
      }
    }
    FreeWAV(bytes);
    return samples;
  }

 private:
  template <typename Function>
  bool Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
  }
};

SoundCues::SoundCues(const std::filesystem::path& folder, std::chrono::milliseconds linger)
    : folder_(folder), linger_(linger) {
  // Nothing is loaded until the first cue: its device's format decides the
  // format the cues are converted to.
  engine_started_ = true;
  closer_ = std::thread([this] { CloseWhenQuiet(); });
}

SoundCues::~SoundCues() {
  Shutdown();
}

void SoundCues::MixInto(void* self, uint8_t* stream, int bytes) {
  auto& voices = static_cast<SoundCues*>(self)->voices_;
  auto* out = reinterpret_cast<int16_t*>(stream);
  const size_t count = static_cast<size_t>(bytes) / sizeof(int16_t);
  std::fill(out, out + count, int16_t{0});
  for (Voice& voice : voices) {
    if (voice.samples == nullptr)
      continue;
    const std::vector<int16_t>& in = *voice.samples;
    const size_t n = std::min(count, in.size() - voice.next);
    for (size_t i = 0; i < n; ++i) {
      const int sum = out[i] + in[voice.next + i];
      out[i] = static_cast<int16_t>(std::clamp(sum, int{std::numeric_limits<int16_t>::min()},
                                               int{std::numeric_limits<int16_t>::max()}));
    }
    voice.next += n;
    if (voice.next >= in.size())
      voice = Voice{};
  }
}

bool SoundCues::LoadSdl() {
  auto sdl = std::make_unique<Sdl>();
  sdl->library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (sdl->library == nullptr)
    return false;
  if (!sdl->Resolve()) {
    dlclose(sdl->library);
    return false;
  }
  sdl->SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Skyvigil");
  // SDL would otherwise catch SIGINT and SIGTERM and wait for an SDL_QUIT
  // event that this program never reads, so a logout could not end it.
  sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (sdl->Init(SDL_INIT_AUDIO) != 0) {
    sdl->Quit();
    dlclose(sdl->library);
    return false;
  }
  sdl_ = std::move(sdl);
  return true;
}

void SoundCues::UnloadSdl() {
  if (!sdl_)
    return;
  sdl_->Quit();  // SDL's threads have ended when this returns
  dlclose(sdl_->library);
  sdl_.reset();
}

bool SoundCues::OpenDevice() {
  if (!sdl_ && !LoadSdl())
    return false;
  // CD rate, stereo, ~23 ms buffers: a cue starts without a noticeable delay.
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &SoundCues::MixInto;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = sdl_->OpenAudioDevice(
      nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (device_ == 0) {
    UnloadSdl();
    return false;
  }
  // Converted once; again only if a device came back with another format.
  const Format now{have.freq, have.channels};
  if (now != decoded_for_) {
    decoded_for_ = now;
    LoadCues();
  }
  sdl_->PauseAudioDevice(device_, 0);
  return true;
}

void SoundCues::CloseDevice() {
  if (device_ == 0)
    return;
  sdl_->CloseAudioDevice(device_);  // the callback has stopped when this returns
  device_ = 0;
  voices_ = {};
  UnloadSdl();
  changed_.notify_all();
}

void SoundCues::LoadCues() {
  for (size_t i = 0; i < kCueNames.size(); ++i)
    cues_[i] = sdl_->LoadConverted(folder_ / (std::string(kCueNames[i]) + ".wav"),
                                   decoded_for_.frequency, decoded_for_.channels);
}

bool SoundCues::AnyVoiceSounds() {
  sdl_->LockAudioDevice(device_);
  const bool any = std::any_of(voices_.begin(), voices_.end(),
                               [](const Voice& voice) { return voice.samples != nullptr; });
  sdl_->UnlockAudioDevice(device_);
  return any;
}

bool SoundCues::Play(Cue cue) {
  std::lock_guard lock(mutex_);
  const size_t index = static_cast<size_t>(cue);
  if (!engine_started_ || quitting_ || (decoded_for_.frequency != 0 && cues_[index].empty()))
    return false;
  if (device_ == 0 && !OpenDevice())
    return false;
  const std::vector<int16_t>& samples = cues_[index];  // converted again if the format changed
  if (samples.empty()) {
    // Opened for a cue that cannot sound: closed again like after any other.
    if (!close_at_)
      close_at_ = SteadyClock::now() + linger_;
    changed_.notify_all();
    return false;
  }
  // A cue played again starts over on its own voice.
  sdl_->LockAudioDevice(device_);
  voices_[index] = Voice{&samples, 0};
  sdl_->UnlockAudioDevice(device_);
  const auto length = std::chrono::milliseconds(
      1000 * samples.size() / static_cast<size_t>(decoded_for_.frequency * decoded_for_.channels) +
      1);
  const SteadyClock::time_point until = SteadyClock::now() + length + linger_;
  close_at_ = close_at_ ? std::max(*close_at_, until) : until;
  changed_.notify_all();
  return true;
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
    if (device_ != 0 && AnyVoiceSounds()) {
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
  UnloadSdl();
  cues_ = {};
  engine_started_ = false;
}

bool SoundCues::IsLoaded(Cue cue) const {
  std::lock_guard lock(mutex_);
  return !cues_[static_cast<size_t>(cue)].empty();
}

bool SoundCues::IsDeviceOpen() const {
  std::lock_guard lock(mutex_);
  return device_ != 0;
}

void SoundCues::WaitUntilDeviceClosed() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return device_ == 0; });
}

}  // namespace skyvigil
