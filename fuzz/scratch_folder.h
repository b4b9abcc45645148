// A private folder for fuzz targets that must go through real files: on the
// memory file system when there is one, so the many saves stay cheap.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes the fuzzer's input; aborts when it can't, since every check after it
// would be reading something else.
inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush())
    std::abort();
}

}  // namespace skyvigil::fuzz
