// A private folder for fuzz targets that must go through real files: on the
// memory file system when there is one, so the many saves stay cheap.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace skyvigil::fuzz {

class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view name) {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error))
      base = std::filesystem::temp_directory_path();
    std::string pattern = (base / ("skyvigil-" + std::string(name) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
      std::abort();
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace skyvigil::fuzz
