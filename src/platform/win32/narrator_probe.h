// Whether Narrator runs in this session: Narrator sets no screen-reader flag,
// and its window may be closed to the tray while it speaks, so its process is
// what tells.
#pragma once

#include <string_view>

namespace skyvigil {

// Read from the session's process list, without opening any process
// (Narrator runs with UI access, and opening it may be refused).
bool NarratorRuns();

// Whether a process of that name and session is this session's Narrator.
bool IsOurNarrator(std::wstring_view process_name, unsigned long its_session,
                   unsigned long our_session);

}  // namespace skyvigil
