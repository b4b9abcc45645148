// The process list from the terminal services' API, which names each
// process's session itself.
#include "platform/win32/narrator_probe.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <wtsapi32.h>

#include <algorithm>
#include <cwctype>

namespace skyvigil {

bool IsOurNarrator(std::wstring_view process_name, unsigned long its_session,
                   unsigned long our_session) {
  constexpr std::wstring_view kNarrator = L"Narrator.exe";
  return its_session == our_session &&
         std::equal(process_name.begin(), process_name.end(), kNarrator.begin(), kNarrator.end(),
                    [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

bool NarratorRuns() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session))
    return false;
  WTS_PROCESS_INFOW* processes = nullptr;
  DWORD count = 0;
  if (!::WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count))
    return false;
  bool found = false;
  for (DWORD i = 0; i < count && !found; ++i) {
    const wchar_t* name = processes[i].pProcessName != nullptr ? processes[i].pProcessName : L"";
    found = IsOurNarrator(name, processes[i].SessionId, session);
  }
  ::WTSFreeMemory(processes);
  return found;
}

}  // namespace skyvigil
