// Loaded into Skyvigil.exe by the probe's WH_CALLWNDPROC hook: wine keeps a
// menu in the process that made it, so GetMenuState answers only there. Asked
// with the message "skyvigil_probe_menu_state" (wParam: a command), it leaves
// the item's mark in the window's property "menu_state": 1 unchecked, 2
// checked, 0 no such item.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuStateHook(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == RegisterWindowMessageW(L"skyvigil_probe_menu_state")) {
    const UINT state =
        GetMenuState(GetMenu(call->hwnd), static_cast<UINT>(call->wParam), MF_BYCOMMAND);
    const UINT_PTR mark = state == static_cast<UINT>(-1) ? 0 : (state & MF_CHECKED) != 0 ? 2 : 1;
    SetPropW(call->hwnd, L"menu_state", reinterpret_cast<HANDLE>(mark));
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
