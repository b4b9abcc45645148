// What a second start on Windows needs beyond the show-request port.
#pragma once

#include <windows.h>

#include <filesystem>

namespace skyvigil {

// The process of the instance listening for `marker`'s show requests; 0 when
// none listens.
DWORD RunningInstanceProcess(const std::filesystem::path& marker);

}  // namespace skyvigil
