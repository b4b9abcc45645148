// The program's one message loop: waits for messages, gives the windows' keys
// to the core first, tells it of the focus the user moves, and runs its idle
// step.
#pragma once

#include <functional>

#include "app/core_gate.h"

namespace skyvigil {

class WinUi;

// Returns the code of the WM_QUIT that the core's exit posts.
int RunMessageLoop(CoreGate& gate, WinUi& ui);

// While it lives, every key pressed in a window of this thread calls
// `on_key_down` before anything handles the key: the main and secondary
// windows, their menus, and the message and input boxes, whose modal loops
// bypass RunMessageLoop. One at a time.
class KeyDownWatch {
 public:
  explicit KeyDownWatch(std::function<void()> on_key_down);
  ~KeyDownWatch();
  KeyDownWatch(const KeyDownWatch&) = delete;
  KeyDownWatch& operator=(const KeyDownWatch&) = delete;

 private:
  void* hook_ = nullptr;
};

}  // namespace skyvigil
