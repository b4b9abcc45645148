// Screen-reader names of controls set explicitly through IAccPropServices, so a
// name never depends on which static text was created before the control.
#pragma once

#include <windows.h>

#include <string>

struct IAccPropServices;

namespace skyvigil {

class AccessibleNames {
 public:
  // Needs COM on this thread; without the service, names fall back to the
  // label created right before each control.
  AccessibleNames();
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  void Set(HWND control, const std::wstring& name);
  // Drops the names of a window's controls before it is destroyed.
  void Clear(HWND control);

 private:
  IAccPropServices* services_ = nullptr;
};

}  // namespace skyvigil
