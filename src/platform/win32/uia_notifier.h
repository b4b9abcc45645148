// UI Automation notifications for Narrator, raised on an element of our own:
// a small tool window, owned by the main window and kept off screen, that
// answers WM_GETOBJECT with our provider. It stays shown while the main
// window is hidden, so a reader still takes its events.
#pragma once

#include <string>

namespace skyvigil {

class UiaNotifier {
 public:
  // Main thread (the window's messages come there). `owner` is the main window.
  explicit UiaNotifier(void* owner);
  ~UiaNotifier();
  UiaNotifier(const UiaNotifier&) = delete;
  UiaNotifier& operator=(const UiaNotifier&) = delete;

  // Whether notifications can be raised: the window exists and the system
  // has UiaRaiseNotificationEvent (Windows 10 1709 and later).
  bool Ready() const { return window_ != nullptr && raise_ != nullptr; }
  // Any thread. False when UI Automation refused it.
  bool Raise(const std::wstring& text, int processing, const wchar_t* activity);

  void* window() const { return window_; }

  struct Provider;

 private:
  void* window_ = nullptr;
  Provider* provider_ = nullptr;
  void* raise_ = nullptr;  // UiaRaiseNotificationEvent
};

}  // namespace skyvigil
