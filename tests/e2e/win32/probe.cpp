// Test probe for the Windows desktop tests: reads what Skyvigil's windows hold
// (wine's accessibility layer does not name list boxes) and prints it as UTF-8.
//   probe lines <window title> <control>   each line of a list box
//   probe text <window title> <control>    a control's text
//   probe selection <window title> <control>  an edit box's selection, "start end"
//   probe focus <window title>             the number of the focused control
//   probe clipboard                        the clipboard's Unicode text
//   probe dpi <window title>               the window's DPI
//   probe checked <window title> <command> its menu item's check mark, 1 or 0, read
//                                          inside the program by menu_state_hook.dll
//   probe rowheight <window title> <list>  the height of a list box's rows, in pixels
//   probe cities <file>                    the file as the core writes the cities it holds
//   probe icons <program>                  the sizes of the program's icon 1, one a line
//   probe timers <window title>            every timer the program set for later work runs
//                                          out now (the refresh's among them), hidden or not
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "weather/cities_store.h"

using skyvigil::city;
using skyvigil::LoadCities;

namespace {

void Print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  bytes += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

HWND Control(const wchar_t* title, const wchar_t* number) {
  HWND window = FindWindowW(nullptr, title);
  return window != nullptr ? GetDlgItem(window, _wtoi(number)) : nullptr;
}

int Lines(HWND list) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    line.resize(static_cast<size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
    Print(line);
  }
  return 0;
}

// WM_GETTEXT itself: GetWindowTextW does not ask a control of another process.
int Text(HWND control) {
  std::wstring text(static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  Print(text);
  return 0;
}

// The answer itself, not the two pointers, which would not reach another process.
int Selection(HWND box) {
  const LRESULT both = SendMessageW(box, EM_GETSEL, 0, 0);
  Print(std::to_wstring(LOWORD(both)) + L" " + std::to_wstring(HIWORD(both)));
  return 0;
}

int Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
      info.hwndFocus == nullptr)
    return 1;
  Print(std::to_wstring(GetDlgCtrlID(info.hwndFocus)));
  return 0;
}

int Clipboard() {
  if (!OpenClipboard(nullptr))
    return 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    Print(text);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text != nullptr ? 0 : 1;
}

// The program's later work waits on the main window's timers numbered from
// 100 up, the lowest free number first, so a few dozen cover every one that
// waits; a number that waits for nothing does nothing.
int RunOutTimers(HWND window) {
  for (WPARAM id = 100; id < 164; ++id) {
    if (!PostMessageW(window, WM_TIMER, id, 0))
      return 1;
  }
  return 0;
}

// menu_state_hook.dll, beside the probe, runs in the program's thread for one message.
int Checked(HWND window, UINT command) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"menu_state_hook.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  auto* hook_proc = module != nullptr ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                            GetProcAddress(module, "MenuStateHook")))
                                      : nullptr;
  HHOOK hook = hook_proc != nullptr ? SetWindowsHookExW(WH_CALLWNDPROC, hook_proc, module,
                                                        GetWindowThreadProcessId(window, nullptr))
                                    : nullptr;
  if (hook == nullptr)
    return 1;
  SendMessageW(window, RegisterWindowMessageW(L"skyvigil_probe_menu_state"), command, 0);
  UnhookWindowsHookEx(hook);
  const auto mark = reinterpret_cast<UINT_PTR>(GetPropW(window, L"menu_state"));
  if (mark == 0)
    return 1;
  Print(mark == 2 ? L"1" : L"0");
  return 0;
}

}  // namespace

int Cities(const wchar_t* file) {
  std::vector<city> cities;
  LoadCities(cities, file, {});
  const std::string bytes = skyvigil::CitiesJsonText(cities);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
  return 0;
}

// The icon group resource: a 6-byte head, then 14 bytes per image, its width
// first (0 for 256).
int Icons(const wchar_t* program) {
  HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found =
      module != nullptr ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON) : nullptr;
  const auto* group = found != nullptr
                          ? static_cast<const BYTE*>(LockResource(LoadResource(module, found)))
                          : nullptr;
  if (group == nullptr)
    return 1;
  const int count = group[4] | (group[5] << 8);
  for (int i = 0; i < count; ++i) {
    const int width = group[6 + 14 * i];
    Print(std::to_wstring(width == 0 ? 256 : width));
  }
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"clipboard")
    return Clipboard();
  if (argc < 3)
    return 2;
  if (command == L"cities")
    return Cities(argv[2]);
  if (command == L"icons")
    return Icons(argv[2]);
  HWND window = FindWindowW(nullptr, argv[2]);
  if (window == nullptr)
    return 1;
  if (command == L"focus")
    return Focus(window);
  if (command == L"timers")
    return RunOutTimers(window);
  if (command == L"dpi") {
    Print(std::to_wstring(GetDpiForWindow(window)));
    return 0;
  }
  if (command == L"checked" && argc > 3)
    return Checked(window, static_cast<UINT>(_wtoi(argv[3])));
  HWND control = argc > 3 ? Control(argv[2], argv[3]) : nullptr;
  if (control == nullptr)
    return 1;
  if (command == L"lines")
    return Lines(control);
  if (command == L"text")
    return Text(control);
  if (command == L"selection")
    return Selection(control);
  if (command == L"rowheight") {
    Print(std::to_wstring(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0)));
    return 0;
  }
  return 2;
}
