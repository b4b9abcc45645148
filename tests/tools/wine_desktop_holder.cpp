// Keeps wine's desktop open for a whole test run. Wine closes the desktop a
// moment after the last program using it ends and opens a new one for the
// next; a program that starts while the old one is closing cannot create
// windows. The test runner starts this first, and ending the server ends it.
#include <windows.h>

int main() {
  // A window of our own makes this program one of the desktop's users.
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr)
    return 1;
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
    ::DispatchMessageW(&msg);
  return 0;
}
