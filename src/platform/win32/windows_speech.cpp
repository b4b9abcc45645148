// The speech thread and the five speech layers it may use: Tolk (run-time
// linked), NVDA's controller, JAWS's automation object, UI Automation
// notifications for Narrator, and SAPI.
#include "platform/win32/windows_speech.h"

#include <windows.h>
// After windows.h, which they build on.
#include <sapi.h>

#include <cwchar>
#include <filesystem>
#include <utility>

#include "platform/win32/jaws_client.h"
#include "platform/win32/narrator_probe.h"
#include "platform/win32/nvda_client.h"
#include "platform/win32/speech_choice.h"
#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

using TolkLoad = void (*)();
using TolkTrySapi = void (*)(bool);
using TolkOutput = bool (*)(const wchar_t*, bool);
using TolkSilence = bool (*)();
using TolkDetect = const wchar_t* (*)();

// {96749377-3391-11D2-9EE3-00C04F797396}; spelled out so no import library's
// copy is needed.
constexpr CLSID kSpVoice = {
    0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

// The screen readers' client libraries that Tolk loads by name, which it
// expects beside it.
constexpr const wchar_t* kTolkReaderLibraries[] = {L"nvdaControllerClient64.dll", L"SAAPI64.dll",
                                                   L"dolapi64.dll"};

template <typename Function>
Function Find(HMODULE module, const char* name) {
  // Through a generic function type, which the compiler accepts without warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

std::filesystem::path ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path).parent_path();
    }
    path.resize(path.size() * 2);
  }
}

void Log(const std::wstring& text) {
  ::OutputDebugStringW(text.c_str());
}

std::wstring Hex(HRESULT result) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
  return text;
}

}  // namespace

struct WindowsSpeech::Layers {
  // Tolk, looked for once; it finds the running reader itself.
  TolkOutput tolk_output = nullptr;
  TolkSilence tolk_silence = nullptr;  // these two may be missing from a Tolk.dll
  TolkDetect tolk_detect = nullptr;
  NvdaClient nvda;
  JawsClient jaws;
  // Made for the first text that needs it, kept for the run.
  ISpVoice* voice = nullptr;
};

namespace {

using Layers = WindowsSpeech::Layers;

// Tolk comes from the given folder on purpose, with what it needs beside it;
// everything else the program loads comes from System32 only. The readers'
// libraries beside it are loaded first by their full paths, so Tolk's own
// loads by name find them loaded.
bool LoadTolk(Layers& layers, const std::filesystem::path& folder) {
  const std::filesystem::path home = folder.empty() ? ProgramFolder() : folder;
  constexpr DWORD kBesideItThenSystem =
      LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
  for (const wchar_t* reader : kTolkReaderLibraries) {
    const std::filesystem::path library = home / reader;
    std::error_code unreadable;
    if (std::filesystem::exists(library, unreadable))
      ::LoadLibraryExW(library.c_str(), nullptr, kBesideItThenSystem);
  }
  HMODULE tolk = ::LoadLibraryExW((home / L"Tolk.dll").c_str(), nullptr, kBesideItThenSystem);
  if (tolk == nullptr)
    return false;
  const auto load = Find<TolkLoad>(tolk, "Tolk_Load");
  const auto try_sapi = Find<TolkTrySapi>(tolk, "Tolk_TrySAPI");
  const auto output = Find<TolkOutput>(tolk, "Tolk_Output");
  if (load == nullptr || try_sapi == nullptr || output == nullptr) {
    ::FreeLibrary(tolk);
    return false;
  }
  layers.tolk_output = output;
  layers.tolk_silence = Find<TolkSilence>(tolk, "Tolk_Silence");
  layers.tolk_detect = Find<TolkDetect>(tolk, "Tolk_DetectScreenReader");
  // Tolk and the readers' libraries stay loaded for the rest of the run.
  load();
  try_sapi(true);
  return true;
}

// A voice that could not be made is made again for the next text; one that
// failed to speak is dropped and made again too (its audio device may be gone).
bool SayThroughSapi(Layers& layers, const std::wstring& text, bool flush) {
  if (layers.voice == nullptr) {
    const HRESULT made = ::CoCreateInstance(kSpVoice, nullptr, CLSCTX_ALL, __uuidof(ISpVoice),
                                            reinterpret_cast<void**>(&layers.voice));
    if (FAILED(made)) {
      layers.voice = nullptr;
      Log(L"Skyvigil speech via sapi failed (no voice, " + Hex(made) + L"): " + text);
      return false;
    }
  }
  const DWORD flags = SPF_ASYNC | SPF_IS_NOT_XML | (flush ? SPF_PURGEBEFORESPEAK : 0);
  const HRESULT spoken = layers.voice->Speak(text.c_str(), flags, nullptr);
  if (FAILED(spoken)) {
    layers.voice->Release();
    layers.voice = nullptr;
    Log(L"Skyvigil speech via sapi failed (" + Hex(spoken) + L"): " + text);
    return false;
  }
  return true;
}

// Tolk names its system-voice driver "SAPI"; every other name is a screen reader's.
bool TolkSpeaksThroughSapi(const Layers& layers) {
  const wchar_t* name = layers.tolk_detect != nullptr ? layers.tolk_detect() : nullptr;
  return name != nullptr && std::wcscmp(name, L"SAPI") == 0;
}

void StopOwnSpeech(Layers& layers) {
  if (layers.tolk_output != nullptr && layers.tolk_silence != nullptr &&
      SilenceStopsLayer(SpeechBackend::tolk, TolkSpeaksThroughSapi(layers))) {
    layers.tolk_silence();
  }
  // Our voice holds only our texts.
  if (layers.voice != nullptr && SilenceStopsLayer(SpeechBackend::sapi, false))
    layers.voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
}

bool Runs(Layers& layers, SpeechBackend layer, UiaNotifier* notifier) {
  switch (layer) {
    case SpeechBackend::tolk:
      return layers.tolk_output != nullptr;
    case SpeechBackend::nvda:
      return layers.nvda.Running();
    case SpeechBackend::jaws:
      return layers.jaws.Running();
    case SpeechBackend::narrator:
      return NarratorRuns() && notifier != nullptr && notifier->Ready();
    case SpeechBackend::sapi:
      break;
  }
  return true;
}

// False when the layer did not take the text.
bool Output(Layers& layers, SpeechBackend layer, const std::wstring& text,
            const SpeechDelivery& delivery, UiaNotifier* notifier) {
  switch (layer) {
    case SpeechBackend::tolk:
      return layers.tolk_output(text.c_str(), delivery.flush);
    case SpeechBackend::nvda:
      return layers.nvda.Say(text, delivery.flush);
    case SpeechBackend::jaws:
      return layers.jaws.Say(text, delivery.flush);
    case SpeechBackend::narrator:
      return notifier->Raise(text, delivery.notification_processing, delivery.activity);
    case SpeechBackend::sapi:
      break;
  }
  return SayThroughSapi(layers, text, delivery.flush);
}

std::optional<SpeechBackend> Speak(Layers& layers, const std::wstring& text, SpeechUrgency urgency,
                                   UiaNotifier* notifier) {
  const SpeechDelivery delivery = DeliveryFor(urgency);
  return DeliverInOrder(
      [&](SpeechBackend layer) { return Runs(layers, layer, notifier); },
      [&](SpeechBackend layer) { return Output(layers, layer, text, delivery, notifier); });
}

// "Exiting" is spoken asynchronously just before the process ends: let the
// voice finish it, but never hold the exit for long.
void Release(Layers& layers) {
  if (layers.voice != nullptr) {
    layers.voice->WaitUntilDone(2000);
    layers.voice->Release();
  }
  layers.voice = nullptr;
}

}  // namespace

WindowsSpeech::WindowsSpeech(std::filesystem::path tolk_folder)
    : tolk_folder_(std::move(tolk_folder)) {}

WindowsSpeech::~WindowsSpeech() {
  Shutdown();
}

void WindowsSpeech::Say(const std::string& text, bool interrupt) {
  Queue(text, interrupt ? SpeechUrgency::interrupt : SpeechUrgency::queued);
}

void WindowsSpeech::SayInBackground(const std::string& text) {
  Queue(text, SpeechUrgency::background);
}

void WindowsSpeech::SayAlert(const std::string& text) {
  Queue(text, SpeechUrgency::alert);
}

void WindowsSpeech::Queue(const std::string& text, SpeechUrgency urgency) {
  if (text.empty())
    return;
  std::lock_guard lock(mutex_);
  if (stopped_)
    return;
  queue_.push_back({win32::Utf8ToUtf16(text), urgency, false});
  if (!thread_.joinable())
    thread_ = std::thread(&WindowsSpeech::Run, this);
  wake_.notify_one();
}

void WindowsSpeech::SetNotifier(std::shared_ptr<UiaNotifier> notifier) {
  std::lock_guard lock(mutex_);
  notifier_ = std::move(notifier);
}

void WindowsSpeech::Silence() {
  std::lock_guard lock(mutex_);
  // After Shutdown the queue holds the last words ("Exiting"): they stay.
  if (stopped_)
    return;
  queue_.clear();
  if (thread_.joinable()) {
    queue_.push_back({L"", SpeechUrgency::queued, true});
    wake_.notify_one();
  }
}

bool WindowsSpeech::WaitHandedOver(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return handed_over_.wait_for(lock, limit, [this] { return queue_.empty() && !in_hand_; });
}

void WindowsSpeech::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    wake_.notify_one();
  }
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
    thread_.join();
}

std::optional<SpeechBackend> WindowsSpeech::backend() {
  std::lock_guard lock(mutex_);
  return backend_;
}

void WindowsSpeech::Run() {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Layers layers;
  LoadTolk(layers, tolk_folder_);
  for (;;) {
    Item item;
    std::shared_ptr<UiaNotifier> notifier;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopped_ || !queue_.empty(); });
      if (queue_.empty())
        break;
      item = std::move(queue_.front());
      queue_.pop_front();
      notifier = notifier_;
      in_hand_ = true;
    }
    if (item.purge) {
      StopOwnSpeech(layers);
    } else {
      const std::optional<SpeechBackend> used =
          Speak(layers, item.text, item.urgency, notifier.get());
      // Where each text went, for a debugger (DebugView, wine's +debugstr);
      // the system voice logged its own failure.
      if (used.has_value()) {
        Log(L"Skyvigil speech via " + win32::Utf8ToUtf16(SpeechBackendName(*used)) + L": " +
            item.text);
      }
      std::lock_guard lock(mutex_);
      backend_ = used;
    }
    std::lock_guard lock(mutex_);
    in_hand_ = false;
    if (queue_.empty())
      handed_over_.notify_all();
  }
  Release(layers);
  if (SUCCEEDED(com))
    ::CoUninitialize();
}

}  // namespace skyvigil
