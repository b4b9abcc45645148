// A stand-in Skyvigil.exe for the updater's and the installer's tests: writes
// which build it is into "started.txt" in its working folder, then ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const char version[] = STAND_IN_VERSION;
  // Written under another name first, so a reader never sees half of it.
  HANDLE file = ::CreateFileW(L"started.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return 1;
  DWORD wrote = 0;
  ::WriteFile(file, version, sizeof(version) - 1, &wrote, nullptr);
  ::CloseHandle(file);
  return ::MoveFileExW(L"started.tmp", L"started.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
