// The notification window, its provider and the raise.
#include "platform/win32/uia_notifier.h"

#include <windows.h>
// After windows.h, which they build on.
#include <oleauto.h>
#include <uiautomationcore.h>

#include <atomic>
#include <utility>

namespace skyvigil {

namespace {

// UIAutomationCore.dll is loaded at run time (mingw has no import library for
// it, and wine lacks some of it), from System32 only.
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
constexpr int kNotificationKindOther = 4;
constexpr PROPERTYID kNameProperty = 30005;
constexpr LONG kRootObjectId = -25;  // UiaRootObjectId
constexpr wchar_t kClassName[] = L"SkyvigilSpeech";

template <typename Function>
Function Find(HMODULE module, const char* name) {
  // Through a generic function type, which the compiler accepts without warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

HMODULE Uia() {
  static HMODULE uia =
      ::LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return uia;
}

}  // namespace

// A server-side provider named "Skyvigil"; everything else comes from its
// window's host provider. Free-threaded: it holds only constants.
struct UiaNotifier::Provider final : public IRawElementProviderSimple {
  explicit Provider(HWND window) : window(window) {}
  virtual ~Provider() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr)
      return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IRawElementProviderSimple)) {
      *object = static_cast<IRawElementProviderSimple*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references;
    if (left == 0)
      delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
    *options = ProviderOptions_ServerSideProvider;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
    *pattern = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
    ::VariantInit(value);
    if (property == kNameProperty) {
      value->vt = VT_BSTR;
      value->bstrVal = ::SysAllocString(L"Skyvigil");
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
    *host = nullptr;
    const auto from_window = Find<HostProvider>(Uia(), "UiaHostProviderFromHwnd");
    return from_window != nullptr ? from_window(window, host) : S_OK;
  }

  const HWND window;
  std::atomic<ULONG> references{1};
};

namespace {

LRESULT CALLBACK NotifierProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETOBJECT && static_cast<LONG>(lparam) == kRootObjectId) {
    auto* provider =
        reinterpret_cast<IRawElementProviderSimple*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto give = Find<ReturnProvider>(Uia(), "UiaReturnRawElementProvider");
    if (provider != nullptr && give != nullptr)
      return give(window, wparam, lparam, provider);
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

UiaNotifier::UiaNotifier() {
  HMODULE uia = Uia();
  if (uia == nullptr)
    return;
  raise_ = reinterpret_cast<void*>(Find<RaiseNotification>(uia, "UiaRaiseNotificationEvent"));
  WNDCLASSEXW type{};
  type.cbSize = sizeof(type);
  type.lpfnWndProc = NotifierProc;
  type.hInstance = ::GetModuleHandleW(nullptr);
  type.lpszClassName = kClassName;
  ::RegisterClassExW(&type);
  // Beyond the left edge of every monitor: shown, sized, never seen; a tool
  // window, so neither the taskbar nor Alt+Tab lists it.
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN) - 200;
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN) - 200;
  HWND window =
      ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"Skyvigil", WS_OVERLAPPED,
                        left, top, 100, 100, nullptr, nullptr, type.hInstance, nullptr);
  if (window == nullptr)
    return;
  provider_ = new Provider(window);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(provider_));
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  window_ = window;
}

UiaNotifier::~UiaNotifier() {
  Close();
}

void UiaNotifier::Close() {
  HWND window = nullptr;
  Provider* provider = nullptr;
  {
    std::lock_guard lock(mutex_);
    window = static_cast<HWND>(std::exchange(window_, nullptr));
    provider = std::exchange(provider_, nullptr);
  }
  if (window != nullptr) {
    // Tells UI Automation the provider is gone before the window is.
    const auto give = Find<ReturnProvider>(Uia(), "UiaReturnRawElementProvider");
    if (give != nullptr)
      give(window, 0, 0, nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
  }
  if (provider != nullptr)
    provider->Release();
}

bool UiaNotifier::Ready() {
  std::lock_guard lock(mutex_);
  return window_ != nullptr && raise_ != nullptr;
}

bool UiaNotifier::Raise(const std::wstring& text, int processing, const wchar_t* activity) {
  // The lock is not held while raising: UI Automation may ask the window,
  // whose thread may be closing it.
  Provider* provider = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (window_ == nullptr || raise_ == nullptr)
      return false;
    provider = provider_;
    provider->AddRef();
  }
  const auto raise = reinterpret_cast<RaiseNotification>(raise_);
  BSTR said = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  BSTR id = ::SysAllocString(activity);
  const HRESULT result = raise(provider, kNotificationKindOther, processing, said, id);
  ::SysFreeString(id);
  ::SysFreeString(said);
  provider->Release();
  return SUCCEEDED(result);
}

}  // namespace skyvigil
