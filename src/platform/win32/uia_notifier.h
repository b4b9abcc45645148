// UI Automation notifications for Narrator, raised on an element of our own:
// a small top-level tool window kept off screen that answers WM_GETOBJECT with
// our provider. It is not a pop-up (UiaRaiseNotificationEvent wants a pop-up
// to be a Window pattern provider as well) and has no owner, so it stays
// shown, and able to raise, while the main window is minimised or hidden.
#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace skyvigil {

class UiaNotifier {
 public:
  // Main thread (the window's messages come there).
  UiaNotifier();
  ~UiaNotifier();
  UiaNotifier(const UiaNotifier&) = delete;
  UiaNotifier& operator=(const UiaNotifier&) = delete;

  // Any thread. Whether notifications can be raised: the window exists and
  // the system has UiaRaiseNotificationEvent (Windows 10 1709 and later).
  bool Ready();
  // Any thread. False when UI Automation refused it, or once closed.
  bool Raise(const std::wstring& text, int processing, const wchar_t* activity);
  // Main thread. Ends the window after a raise in progress; later raises fail.
  void Close();

  struct Provider;

 private:
  std::mutex mutex_;  // guards the two pointers below
  void* window_ = nullptr;
  Provider* provider_ = nullptr;
  void* raise_ = nullptr;  // UiaRaiseNotificationEvent
};

}  // namespace skyvigil
