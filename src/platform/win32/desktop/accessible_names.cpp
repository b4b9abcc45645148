// IAccPropServices: the accessible name of a control window (OBJID_CLIENT).
#include "platform/win32/desktop/accessible_names.h"

#include <initguid.h>
#include <oleacc.h>

namespace skyvigil {

AccessibleNames::AccessibleNames() {
  void* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, &services))) {
    services_ = static_cast<IAccPropServices*>(services);
  }
}

AccessibleNames::~AccessibleNames() {
  if (services_ != nullptr)
    services_->Release();
}

void AccessibleNames::Set(HWND control, const std::wstring& name) {
  if (services_ != nullptr && control != nullptr) {
    services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              PROPID_ACC_NAME, name.c_str());
    // A reader that already knows the control hears of the new name.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
  }
}

void AccessibleNames::Clear(HWND control) {
  if (services_ != nullptr && control != nullptr) {
    MSAAPROPID name = PROPID_ACC_NAME;
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
}

}  // namespace skyvigil
