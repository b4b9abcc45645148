// XAudio2 playback of the cues: the DLL is found at run time (2.9, else 2.8),
// the engine made on the first cue and stopped by a one-shot idle timer.
#include "platform/win32/sound/windows_cues.h"

#include <windows.h>
#include <xaudio2.h>

#include <cstring>
#include <string>

namespace skyvigil {

namespace {

using CreateEngine = HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);

constexpr long long kIdleMs = 500;  // after the last cue's end, before the engine stops

std::size_t Index(Cue cue) {
  return static_cast<std::size_t>(cue);
}

void CALLBACK OnIdle(PTP_CALLBACK_INSTANCE, void* cues, PTP_TIMER) {
  static_cast<WindowsCues*>(cues)->StopWhenQuiet();
}

void Schedule(PTP_TIMER timer, long long milliseconds) {
  // Negative: relative, in 100 ns units.
  const long long due = -milliseconds * 10000;
  FILETIME when;
  when.dwLowDateTime = static_cast<DWORD>(due & 0xffffffff);
  when.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(due) >> 32);
  ::SetThreadpoolTimer(timer, &when, 0, 0);
}

}  // namespace

WindowsCues::WindowsCues(const std::filesystem::path& folder) {
  for (std::size_t i = 0; i < sounds_.size(); ++i)
    sounds_[i] = ReadWav(folder / (std::string(kCueNames[i]) + ".wav"));
}

WindowsCues::~WindowsCues() {
  Shutdown();
}

bool WindowsCues::IsLoaded(Cue cue) const {
  return sounds_[Index(cue)].has_value();
}

bool WindowsCues::IsEngineRunning() {
  std::lock_guard lock(mutex_);
  return running_;
}

bool WindowsCues::StartEngine() {
  if (engine_ == nullptr && !failed_) {
    failed_ = true;
    // The system's own, never a file of that name beside the program.
    HMODULE library = ::LoadLibraryExW(L"xaudio2_9.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr)
      library = ::LoadLibraryExW(L"xaudio2_8.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr)
      return false;
    library_ = library;
    const auto create = reinterpret_cast<CreateEngine>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, "XAudio2Create")));
    if (create == nullptr || FAILED(create(&engine_, 0, XAUDIO2_DEFAULT_PROCESSOR)))
      return false;
    if (FAILED(engine_->CreateMasteringVoice(&master_))) {
      engine_->Release();
      engine_ = nullptr;
      return false;
    }
    idle_timer_ = ::CreateThreadpoolTimer(&OnIdle, this, nullptr);
    failed_ = idle_timer_ == nullptr;
    running_ = !failed_;
  }
  if (engine_ == nullptr || failed_)
    return false;
  if (!running_)
    running_ = SUCCEEDED(engine_->StartEngine());
  return running_;
}

bool WindowsCues::Play(Cue cue) {
  std::lock_guard lock(mutex_);
  const std::optional<WavSound>& sound = sounds_[Index(cue)];
  if (shut_down_ || !sound || !StartEngine())
    return false;
  IXAudio2SourceVoice*& voice = voices_[Index(cue)];
  if (voice == nullptr) {
    // WAVEFORMATEX, or the extensible form it starts; a bare 16-byte PCM
    // format gets its missing size field as zero.
    alignas(WAVEFORMATEX) unsigned char format[64] = {};
    std::memcpy(format, sound->format.data(), sound->format.size());
    if (FAILED(engine_->CreateSourceVoice(&voice, reinterpret_cast<WAVEFORMATEX*>(format)))) {
      voice = nullptr;
      return false;
    }
  }
  voice->Stop(0);
  voice->FlushSourceBuffers();
  XAUDIO2_BUFFER buffer{};
  buffer.Flags = XAUDIO2_END_OF_STREAM;
  buffer.AudioBytes = static_cast<UINT32>(sound->samples.size());
  buffer.pAudioData = reinterpret_cast<const BYTE*>(sound->samples.data());
  if (FAILED(voice->SubmitSourceBuffer(&buffer)) || FAILED(voice->Start(0)))
    return false;
  const long long length_ms =
      static_cast<long long>(sound->samples.size()) * 1000 / sound->bytes_per_second;
  Schedule(idle_timer_, length_ms + kIdleMs);
  return true;
}

void WindowsCues::StopWhenQuiet() {
  std::lock_guard lock(mutex_);
  if (!running_ || shut_down_)
    return;
  for (IXAudio2SourceVoice* voice : voices_) {
    XAUDIO2_VOICE_STATE state{};
    if (voice != nullptr) {
      voice->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
      if (state.BuffersQueued > 0) {
        Schedule(idle_timer_, kIdleMs);
        return;
      }
    }
  }
  engine_->StopEngine();
  running_ = false;
}

void WindowsCues::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    if (shut_down_)
      return;
    shut_down_ = true;
  }
  if (idle_timer_ != nullptr) {
    ::SetThreadpoolTimer(idle_timer_, nullptr, 0, 0);
    ::WaitForThreadpoolTimerCallbacks(idle_timer_, TRUE);
    ::CloseThreadpoolTimer(idle_timer_);
    idle_timer_ = nullptr;
  }
  std::lock_guard lock(mutex_);
  for (IXAudio2SourceVoice*& voice : voices_) {
    if (voice != nullptr)
      voice->DestroyVoice();
    voice = nullptr;
  }
  if (master_ != nullptr)
    master_->DestroyVoice();
  master_ = nullptr;
  if (engine_ != nullptr) {
    engine_->StopEngine();
    engine_->Release();
  }
  engine_ = nullptr;
  running_ = false;
  if (library_ != nullptr)
    ::FreeLibrary(static_cast<HMODULE>(library_));
  library_ = nullptr;
}

}  // namespace skyvigil
