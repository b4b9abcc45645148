// The speech thread and the four speech layers it may load: Tolk (run-time
// linked), JAWS's automation object, UI Automation notifications and SAPI.
#include "platform/win32/windows_speech.h"

#include <windows.h>
// After windows.h, which they build on.
#include <oleauto.h>
#include <sapi.h>
#include <uiautomationcore.h>

#include <cwchar>
#include <filesystem>
#include <utility>

#include "platform/win32/speech_choice.h"
#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

using TolkLoad = void (*)();
using TolkTrySapi = void (*)(bool);
using TolkOutput = bool (*)(const wchar_t*, bool);
using TolkSilence = bool (*)();
using TolkDetect = const wchar_t* (*)();
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
// Not in every SDK's headers; present in UIAutomationCore.dll from Windows 10 1709.
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
constexpr int kNotificationKindOther = 4;

// {96749377-3391-11D2-9EE3-00C04F797396}; spelled out so no import library's
// copy is needed.
constexpr CLSID kSpVoice = {
    0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

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

}  // namespace

struct WindowsSpeech::Layer {
  SpeechBackend backend = SpeechBackend::sapi;
  TolkOutput tolk_output = nullptr;
  TolkSilence tolk_silence = nullptr;  // these two may be missing from a Tolk.dll
  TolkDetect tolk_detect = nullptr;
  IDispatch* jaws = nullptr;
  DISPID say_string = 0;
  HostProvider host_provider = nullptr;
  RaiseNotification raise = nullptr;
  ISpVoice* voice = nullptr;
};

namespace {

using Layer = WindowsSpeech::Layer;

bool LoadTolk(Layer& layer, const std::filesystem::path& folder) {
  const std::filesystem::path dll = (folder.empty() ? ProgramFolder() : folder) / L"Tolk.dll";
  // Its own helpers (screen readers' client libraries) sit beside it.
  HMODULE tolk = ::LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (tolk == nullptr)
    return false;
  const auto load = Find<TolkLoad>(tolk, "Tolk_Load");
  const auto try_sapi = Find<TolkTrySapi>(tolk, "Tolk_TrySAPI");
  layer.tolk_output = Find<TolkOutput>(tolk, "Tolk_Output");
  if (load == nullptr || try_sapi == nullptr || layer.tolk_output == nullptr) {
    ::FreeLibrary(tolk);
    return false;
  }
  layer.tolk_silence = Find<TolkSilence>(tolk, "Tolk_Silence");
  layer.tolk_detect = Find<TolkDetect>(tolk, "Tolk_DetectScreenReader");
  // Tolk stays loaded for the rest of the run.
  load();
  try_sapi(true);
  return true;
}

bool MakeJaws(Layer& layer) {
  if (::FindWindowW(L"JFWUI2", nullptr) == nullptr)
    return false;
  CLSID jaws_class{};
  if (FAILED(::CLSIDFromProgID(L"FreedomSci.JawsApi", &jaws_class)) ||
      FAILED(::CoCreateInstance(jaws_class, nullptr, CLSCTX_ALL, __uuidof(IDispatch),
                                reinterpret_cast<void**>(&layer.jaws)))) {
    return false;
  }
  LPOLESTR name = const_cast<LPOLESTR>(L"SayString");
  if (FAILED(
          layer.jaws->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &layer.say_string))) {
    layer.jaws->Release();
    layer.jaws = nullptr;
    return false;
  }
  return true;
}

bool FindNotifications(Layer& layer) {
  HMODULE uia = ::LoadLibraryW(L"UIAutomationCore.dll");
  if (uia == nullptr)
    return false;
  layer.host_provider = Find<HostProvider>(uia, "UiaHostProviderFromHwnd");
  layer.raise = Find<RaiseNotification>(uia, "UiaRaiseNotificationEvent");
  return layer.host_provider != nullptr && layer.raise != nullptr;
}

bool ScreenReaderRuns() {
  BOOL running = FALSE;
  return ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

Layer LoadLayer(const std::filesystem::path& tolk_folder) {
  Layer layer;
  SpeechProbes probes;
  probes.tolk = LoadTolk(layer, tolk_folder);
  probes.jaws = !probes.tolk && MakeJaws(layer);
  probes.screen_reader = ScreenReaderRuns();
  probes.notifications = FindNotifications(layer);
  layer.backend = ChooseSpeechBackend(probes);
  if (layer.backend == SpeechBackend::sapi &&
      FAILED(::CoCreateInstance(kSpVoice, nullptr, CLSCTX_ALL, __uuidof(ISpVoice),
                                reinterpret_cast<void**>(&layer.voice)))) {
    layer.voice = nullptr;
  }
  return layer;
}

void SayThroughJaws(Layer& layer, const std::wstring& text, bool interrupt) {
  BSTR said = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  VARIANT arguments[2];  // in reverse order: flush, then the text
  ::VariantInit(&arguments[0]);
  arguments[0].vt = VT_BOOL;
  arguments[0].boolVal = interrupt ? VARIANT_TRUE : VARIANT_FALSE;
  ::VariantInit(&arguments[1]);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = said;
  DISPPARAMS parameters{arguments, nullptr, 2, 0};
  VARIANT result;
  ::VariantInit(&result);
  layer.jaws->Invoke(layer.say_string, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                     &result, nullptr, nullptr);
  ::VariantClear(&result);
  ::SysFreeString(said);
}

void RaiseNotificationFrom(Layer& layer, HWND window, const std::wstring& text,
                           const SpeechDelivery& delivery) {
  if (window == nullptr)
    return;
  IRawElementProviderSimple* provider = nullptr;
  if (FAILED(layer.host_provider(window, &provider)) || provider == nullptr)
    return;
  BSTR said = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  BSTR activity = ::SysAllocString(delivery.activity);
  layer.raise(provider, kNotificationKindOther, delivery.notification_processing, said, activity);
  ::SysFreeString(activity);
  ::SysFreeString(said);
  provider->Release();
}

// Tolk names its system-voice driver "SAPI"; every other name is a screen reader's.
bool TolkSpeaksThroughSapi(const Layer& layer) {
  const wchar_t* name = layer.tolk_detect != nullptr ? layer.tolk_detect() : nullptr;
  return name != nullptr && std::wcscmp(name, L"SAPI") == 0;
}

void StopOwnSpeech(Layer& layer) {
  const bool tolk_sapi = layer.backend == SpeechBackend::tolk && TolkSpeaksThroughSapi(layer);
  if (!SilenceStopsLayer(layer.backend, tolk_sapi))
    return;
  if (layer.backend == SpeechBackend::tolk) {
    if (layer.tolk_silence != nullptr)
      layer.tolk_silence();
  } else if (layer.voice != nullptr) {
    layer.voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  }
}

void Output(Layer& layer, const std::wstring& text, SpeechUrgency urgency, void* window) {
  const SpeechDelivery delivery = DeliveryFor(urgency);
  switch (layer.backend) {
    case SpeechBackend::tolk:
      layer.tolk_output(text.c_str(), delivery.flush);
      break;
    case SpeechBackend::jaws:
      SayThroughJaws(layer, text, delivery.flush);
      break;
    case SpeechBackend::ui_automation:
      RaiseNotificationFrom(layer, static_cast<HWND>(window), text, delivery);
      break;
    case SpeechBackend::sapi:
      if (layer.voice != nullptr) {
        const DWORD flags =
            SPF_ASYNC | SPF_IS_NOT_XML | (delivery.flush ? SPF_PURGEBEFORESPEAK : 0);
        layer.voice->Speak(text.c_str(), flags, nullptr);
      }
      break;
  }
}

void Release(Layer& layer) {
  if (layer.jaws != nullptr)
    layer.jaws->Release();
  if (layer.voice != nullptr)
    layer.voice->Release();
  layer.jaws = nullptr;
  layer.voice = nullptr;
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

void WindowsSpeech::SetNotificationWindow(void* hwnd) {
  std::lock_guard lock(mutex_);
  window_ = hwnd;
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
  Layer layer = LoadLayer(tolk_folder_);
  {
    std::lock_guard lock(mutex_);
    backend_ = layer.backend;
  }
  for (;;) {
    Item item;
    void* window = nullptr;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopped_ || !queue_.empty(); });
      if (queue_.empty())
        break;
      item = std::move(queue_.front());
      queue_.pop_front();
      window = window_;
    }
    if (item.purge)
      StopOwnSpeech(layer);
    else
      Output(layer, item.text, item.urgency, window);
  }
  Release(layer);
  if (SUCCEEDED(com))
    ::CoUninitialize();
}

}  // namespace skyvigil
