// How Skyvigil starts its updater: from a copy, so that an update never has
// to replace the file its updater runs from.
#pragma once

#include <filesystem>

namespace skyvigil::win32 {

// Copies `updater` (updater.exe in the program folder) into update.run beside
// it and starts the copy, which installs into that folder once this process
// has ended. Without a copy (a full disk) updater.exe itself is started; an
// update that brings a new updater.exe is then refused whole. The right to
// the foreground passes to it. False when nothing could be started.
bool StartUpdaterFromCopy(const std::filesystem::path& updater);

}  // namespace skyvigil::win32
