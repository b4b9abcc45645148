// GetMessageW loop with the idle step whenever the queue runs empty.
#include "platform/win32/message_loop.h"

#include <windows.h>

#include "platform/win32/win_keys.h"

namespace skyvigil {

namespace {

// Accelerators first, so Delete, Enter and Escape never reach the lists; then
// Tab and Shift+Tab between the controls of the window.
bool TranslateWindowKeys(MSG& message) {
  if (message.hwnd == nullptr)
    return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  HACCEL accelerators = root != nullptr ? WindowAccelerators(root) : nullptr;
  if (accelerators == nullptr)
    return false;  // not one of the windows with keys of their own
  if (TranslateAcceleratorW(root, accelerators, &message))
    return true;
  return IsDialogMessageW(root, &message) != 0;
}

}  // namespace

int RunMessageLoop(CoreGate& gate) {
  MSG message{};
  for (;;) {
    // The queue ran empty: one idle pass before waiting again. Nothing wakes
    // the loop while nothing happens.
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
      gate.Idle();
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1)
      return got == 0 ? static_cast<int>(message.wParam) : 0;
    if (TranslateWindowKeys(message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace skyvigil
