// Replaces a file's whole content so that a crash or a full disk never leaves
// it empty or cut short: readers see either the old or the new version. One
// header, one source file per platform; the build picks the platform's.
#pragma once

#include <filesystem>
#include <string_view>

namespace skyvigil {

// Who may read the file. `owner_only` is for secrets such as the service key;
// where the platform has no such permissions (the user's own folder on
// Windows) both are the same.
enum class FileAccess { usual, owner_only };

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. Returns false, leaving `path` untouched, on any failure.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                       FileAccess access = FileAccess::usual);

// Takes every right to the file at `path` from everyone but its owner, whose
// rights stay (0644 becomes 0600, 0444 0400); its bytes stay as they are.
// False when `path` is not a file or its rights can't be changed. Where the
// platform has no such permissions (Windows) the file is left as it is: true.
bool KeepForOwnerOnly(const std::filesystem::path& path);

}  // namespace skyvigil
