// GetMessageW loop with the idle step whenever the queue runs empty, and the
// thread's hook that sees every key pressed.
#include "platform/win32/desktop/message_loop.h"

#include <windows.h>

#include <utility>

#include "platform/win32/desktop/win_ui.h"

namespace skyvigil {

namespace {

// The watch's call; a hook procedure carries no data of its own.
std::function<void()> key_down_call;

// Called by every GetMessageW and PeekMessageW of the thread, the modal loops'
// included; PM_REMOVE once per message actually taken.
LRESULT CALLBACK WatchMessages(int code, WPARAM removal, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && removal == PM_REMOVE &&
      (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) && key_down_call) {
    key_down_call();
  }
  return CallNextHookEx(nullptr, code, removal, lparam);
}

}  // namespace

int RunMessageLoop(CoreGate& gate, WinUi& ui) {
  MSG message{};
  for (;;) {
    // The queue ran empty: one idle pass before waiting again. Nothing wakes
    // the loop while nothing happens.
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
      gate.Idle();
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1)
      return got == 0 ? static_cast<int>(message.wParam) : 0;
    if (!ui.TakeKey(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    ui.NoticeFocus();
  }
}

KeyDownWatch::KeyDownWatch(std::function<void()> on_key_down) {
  key_down_call = std::move(on_key_down);
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, &WatchMessages, nullptr, GetCurrentThreadId());
}

KeyDownWatch::~KeyDownWatch() {
  if (hook_ != nullptr)
    UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  key_down_call = nullptr;
}

}  // namespace skyvigil
