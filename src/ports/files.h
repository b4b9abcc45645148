// Replaces a file's whole content so that a crash or a full disk never leaves
// it empty or cut short: readers see either the old or the new version. One
// header, one source file per platform; the build picks the platform's.
#pragma once

#include <filesystem>
#include <string_view>

namespace skyvigil {

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. Returns false, leaving `path` untouched, on any failure.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace skyvigil
