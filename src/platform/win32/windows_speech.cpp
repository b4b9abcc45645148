// The speech thread and the five speech layers it may use: Tolk (run-time
// linked), NVDA's controller, JAWS's automation object, UI Automation
// notifications for Narrator, and SAPI.
#include "platform/win32/windows_speech.h"

#include <windows.h>
// After windows.h, which they build on.
#include <oleauto.h>
#include <sapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <utility>

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

struct WindowsSpeech::Layers {
  // Tolk, looked for once; it finds the running reader itself.
  TolkOutput tolk_output = nullptr;
  TolkSilence tolk_silence = nullptr;  // these two may be missing from a Tolk.dll
  TolkDetect tolk_detect = nullptr;
  NvdaClient nvda;
  // JAWS's object, kept while its window exists.
  IDispatch* jaws = nullptr;
  DISPID say_string = 0;
  DISPID run_function = 0;
  // Made for the first text that needs it, kept for the run.
  ISpVoice* voice = nullptr;
};

namespace {

using Layers = WindowsSpeech::Layers;

bool LoadTolk(Layers& layers, const std::filesystem::path& folder) {
  const std::filesystem::path dll = (folder.empty() ? ProgramFolder() : folder) / L"Tolk.dll";
  // Its own helpers (screen readers' client libraries) sit beside it.
  HMODULE tolk = ::LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
  // Tolk stays loaded for the rest of the run.
  load();
  try_sapi(true);
  return true;
}

void ReleaseJaws(Layers& layers) {
  if (layers.jaws != nullptr)
    layers.jaws->Release();
  layers.jaws = nullptr;
}

// JAWS's window tells whether it runs; its object is made once per JAWS run.
bool JawsRuns(Layers& layers) {
  if (::FindWindowW(L"JFWUI2", nullptr) == nullptr) {
    ReleaseJaws(layers);
    return false;
  }
  if (layers.jaws != nullptr)
    return true;
  CLSID jaws_class{};
  if (FAILED(::CLSIDFromProgID(L"FreedomSci.JawsApi", &jaws_class)) ||
      FAILED(::CoCreateInstance(jaws_class, nullptr, CLSCTX_ALL, __uuidof(IDispatch),
                                reinterpret_cast<void**>(&layers.jaws)))) {
    layers.jaws = nullptr;
    return false;
  }
  LPOLESTR say = const_cast<LPOLESTR>(L"SayString");
  LPOLESTR run = const_cast<LPOLESTR>(L"RunFunction");
  if (FAILED(
          layers.jaws->GetIDsOfNames(IID_NULL, &say, 1, LOCALE_USER_DEFAULT, &layers.say_string)) ||
      FAILED(layers.jaws->GetIDsOfNames(IID_NULL, &run, 1, LOCALE_USER_DEFAULT,
                                        &layers.run_function))) {
    ReleaseJaws(layers);
    return false;
  }
  return true;
}

// Narrator sets no screen-reader flag, and its window may be closed to the
// tray while it speaks: its process, in this session, is what tells.
bool NarratorRuns() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session))
    return false;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found;
       more = ::Process32NextW(snapshot, &entry)) {
    DWORD its_session = 0;
    found = ::_wcsicmp(entry.szExeFile, L"Narrator.exe") == 0 &&
            ::ProcessIdToSessionId(entry.th32ProcessID, &its_session) && its_session == session;
  }
  ::CloseHandle(snapshot);
  return found;
}

bool ScreenReaderFlag() {
  BOOL running = FALSE;
  return ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

SpeechProbes Probe(Layers& layers, UiaNotifier* notifier) {
  SpeechProbes probes;
  probes.tolk = layers.tolk_output != nullptr;
  if (probes.tolk)
    return probes;  // it wins whatever else runs
  probes.nvda = layers.nvda.Running();
  probes.jaws = JawsRuns(layers);
  probes.narrator = NarratorRuns();
  probes.notifications = notifier != nullptr && notifier->Ready();
  probes.screen_reader_flag = ScreenReaderFlag();
  return probes;
}

bool Invoke(IDispatch* object, DISPID method, VARIANT* arguments, UINT count) {
  DISPPARAMS parameters{arguments, nullptr, count, 0};
  VARIANT result;
  ::VariantInit(&result);
  const HRESULT invoked = object->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                         &parameters, &result, nullptr, nullptr);
  const bool taken =
      SUCCEEDED(invoked) && !(result.vt == VT_BOOL && result.boolVal == VARIANT_FALSE);
  ::VariantClear(&result);
  return taken;
}

// SayString speaks; the script function BrailleMessage shows the text on the
// display (its string cannot hold a double quote).
bool SayThroughJaws(Layers& layers, const std::wstring& text, bool interrupt) {
  VARIANT arguments[2];  // in reverse order: flush, then the text
  ::VariantInit(&arguments[0]);
  arguments[0].vt = VT_BOOL;
  arguments[0].boolVal = interrupt ? VARIANT_TRUE : VARIANT_FALSE;
  ::VariantInit(&arguments[1]);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  const bool said = Invoke(layers.jaws, layers.say_string, arguments, 2);
  ::VariantClear(&arguments[1]);
  if (!said)
    return false;
  std::wstring shown = text;
  std::replace(shown.begin(), shown.end(), L'"', L'\'');
  VARIANT function;
  ::VariantInit(&function);
  function.vt = VT_BSTR;
  function.bstrVal = ::SysAllocString((L"BrailleMessage(\"" + shown + L"\")").c_str());
  Invoke(layers.jaws, layers.run_function, &function, 1);
  ::VariantClear(&function);
  return true;
}

void SayThroughSapi(Layers& layers, const std::wstring& text, bool flush) {
  if (layers.voice == nullptr &&
      FAILED(::CoCreateInstance(kSpVoice, nullptr, CLSCTX_ALL, __uuidof(ISpVoice),
                                reinterpret_cast<void**>(&layers.voice)))) {
    layers.voice = nullptr;
    return;  // no system voice either: silence
  }
  const DWORD flags = SPF_ASYNC | SPF_IS_NOT_XML | (flush ? SPF_PURGEBEFORESPEAK : 0);
  layers.voice->Speak(text.c_str(), flags, nullptr);
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

// False when the layer did not take the text.
bool Output(Layers& layers, SpeechBackend backend, const std::wstring& text,
            const SpeechDelivery& delivery, UiaNotifier* notifier) {
  switch (backend) {
    case SpeechBackend::tolk:
      layers.tolk_output(text.c_str(), delivery.flush);
      return true;
    case SpeechBackend::nvda:
      return layers.nvda.Say(text, delivery.flush);
    case SpeechBackend::jaws:
      return SayThroughJaws(layers, text, delivery.flush);
    case SpeechBackend::narrator:
      return notifier->Raise(text, delivery.notification_processing, delivery.activity);
    case SpeechBackend::sapi:
      break;
  }
  SayThroughSapi(layers, text, delivery.flush);
  return true;
}

// Speaks through the first layer that takes the text; returns that layer.
SpeechBackend Speak(Layers& layers, const std::wstring& text, SpeechUrgency urgency,
                    UiaNotifier* notifier) {
  SpeechProbes probes = Probe(layers, notifier);
  const SpeechDelivery delivery = DeliveryFor(urgency);
  for (;;) {
    const SpeechBackend backend = ChooseSpeechBackend(probes);
    if (Output(layers, backend, text, delivery, notifier))
      return backend;
    switch (backend) {
      case SpeechBackend::nvda:
        probes.nvda = false;
        break;
      case SpeechBackend::jaws:
        ReleaseJaws(layers);
        probes.jaws = false;
        break;
      case SpeechBackend::narrator:
        probes.narrator = false;
        break;
      case SpeechBackend::tolk:
      case SpeechBackend::sapi:
        return backend;
    }
  }
}

// "Exiting" is spoken asynchronously just before the process ends: let the
// voice finish it, but never hold the exit for long.
void Release(Layers& layers) {
  ReleaseJaws(layers);
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

void WindowsSpeech::SetNotifier(UiaNotifier* notifier) {
  std::lock_guard lock(mutex_);
  notifier_ = notifier;
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
  Layers layers;
  LoadTolk(layers, tolk_folder_);
  for (;;) {
    Item item;
    UiaNotifier* notifier = nullptr;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopped_ || !queue_.empty(); });
      if (queue_.empty())
        break;
      item = std::move(queue_.front());
      queue_.pop_front();
      notifier = notifier_;
    }
    if (item.purge) {
      StopOwnSpeech(layers);
      continue;
    }
    const SpeechBackend used = Speak(layers, item.text, item.urgency, notifier);
    // Where each text went, for a debugger (DebugView, wine's +debugstr).
    const std::wstring where =
        L"Skyvigil speech via " + win32::Utf8ToUtf16(SpeechBackendName(used)) + L": " + item.text;
    ::OutputDebugStringW(where.c_str());
    std::lock_guard lock(mutex_);
    backend_ = used;
  }
  Release(layers);
  if (SUCCEEDED(com))
    ::CoUninitialize();
}

}  // namespace skyvigil
