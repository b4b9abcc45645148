// A second start's requests on Windows: a registered message sent to a
// message-only window, its wParam naming the request. The message, the window's class and its title
// all come from a hash of the marker's path, so each marker has a channel of its own.
//
// FindWindowExW(HWND_MESSAGE, ...) finds only windows of the caller's desktop,
// and a desktop belongs to one window station of one session, which is one
// signed-in user's: another user's instance is never found, nor reached.
#include "ports/show_requests.h"

#include <windows.h>

#include "platform/win32/show_requests_win32.h"

#include <cstdint>
#include <cwchar>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

namespace skyvigil {

namespace {

namespace fs = std::filesystem;

// What the listener answers, so that any other window that happens to take
// the message cannot pass for it.
constexpr LRESULT kShown = 0x53686f77;  // "Show"
constexpr WPARAM kAsk = 0x41736b;       // "Ask": show the window
constexpr WPARAM kSpeak = 0x53706b;     // "Spk": speak the summary
// A listener that hangs must not keep the second start from ending.
constexpr UINT kAnswerWaitMs = 2000;

// One name for the message, the class and the window. NTFS ignores case, so
// the path is compared folded.
std::wstring ChannelName(const fs::path& marker) {
  std::error_code ignored;
  std::wstring key = fs::absolute(marker, ignored).lexically_normal().wstring();
  if (!key.empty())
    ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  uint64_t hash = 14695981039346656037u;  // FNV-1a over the UTF-16 units
  for (const wchar_t unit : key) {
    hash = (hash ^ (static_cast<uint64_t>(unit) & 0xff)) * 1099511628211u;
    hash = (hash ^ (static_cast<uint64_t>(unit) >> 8)) * 1099511628211u;
  }
  wchar_t name[64];
  std::swprintf(name, std::size(name), L"Skyvigil.ShowRequest.%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

DWORD RunningInstanceProcess(const fs::path& marker) {
  const std::wstring name = ChannelName(marker);
  HWND listener = ::FindWindowExW(HWND_MESSAGE, nullptr, name.c_str(), name.c_str());
  DWORD process = 0;
  if (listener != nullptr)
    ::GetWindowThreadProcessId(listener, &process);
  return process;
}

bool AskRunningInstance(const fs::path& marker, InstanceRequest request) {
  const std::wstring name = ChannelName(marker);
  HWND listener = ::FindWindowExW(HWND_MESSAGE, nullptr, name.c_str(), name.c_str());
  const UINT message = ::RegisterWindowMessageW(name.c_str());
  if (listener == nullptr || message == 0)
    return false;
  // Windows keeps the foreground for the program the user started last (this
  // one, which the user's answer to its box reached last); handing that right
  // on lets the running instance come to the front.
  if (request == InstanceRequest::show) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(listener, &process);
    if (process != 0)
      ::AllowSetForegroundWindow(process);
  }
  DWORD_PTR answer = 0;
  return ::SendMessageTimeoutW(listener, message, request == InstanceRequest::speak ? kSpeak : kAsk,
                               0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kAnswerWaitMs, &answer) != 0 &&
         static_cast<LRESULT>(answer) == kShown;
}

struct ShowRequestListener::Channel {
  std::wstring name;
  UINT message = 0;
  std::function<void(InstanceRequest)> on_request;
  HWND window = nullptr;
  std::thread thread;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* channel = reinterpret_cast<Channel*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (channel != nullptr && msg == channel->message && (wparam == kAsk || wparam == kSpeak)) {
      channel->on_request(wparam == kSpeak ? InstanceRequest::speak : InstanceRequest::show);
      return kShown;
    }
    if (msg == WM_DESTROY)
      ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  }

  // The listener's thread: makes the window, then sleeps in GetMessageW
  // until a request or the WM_CLOSE of the destructor comes.
  void Run(std::promise<bool>& made) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Channel::Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    const bool registered = ::RegisterClassExW(&wc) != 0;
    window = registered ? ::CreateWindowExW(0, name.c_str(), name.c_str(), 0, 0, 0, 0, 0,
                                            HWND_MESSAGE, nullptr, instance, nullptr)
                        : nullptr;
    if (window != nullptr)
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    made.set_value(window != nullptr);
    if (window != nullptr) {
      MSG msg{};
      while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    }
    // A later listener in this process registers the class again.
    if (registered)
      ::UnregisterClassW(name.c_str(), instance);
  }
};

ShowRequestListener::ShowRequestListener() = default;

ShowRequestListener::~ShowRequestListener() {
  if (!channel_)
    return;
  ::PostMessageW(channel_->window, WM_CLOSE, 0, 0);
  channel_->thread.join();
}

bool ShowRequestListener::Listen(const fs::path& marker,
                                 std::function<void(InstanceRequest)> on_request) {
  if (channel_)
    return false;
  auto channel = std::make_unique<Channel>();
  channel->name = ChannelName(marker);
  channel->message = ::RegisterWindowMessageW(channel->name.c_str());
  channel->on_request = std::move(on_request);
  if (channel->message == 0)
    return false;
  std::promise<bool> made;
  std::future<bool> done = made.get_future();
  // The thread owns the promise, so nothing of it outlives this call's frame.
  channel->thread =
      std::thread([made = std::move(made), raw = channel.get()]() mutable { raw->Run(made); });
  if (!done.get()) {
    channel->thread.join();
    return false;
  }
  channel_ = std::move(channel);
  return true;
}

}  // namespace skyvigil
