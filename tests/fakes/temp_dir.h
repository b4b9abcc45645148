// Scratch folders for the platform tests, made fresh and removed with
// everything in them: under /tmp on POSIX (short paths, so unix socket names
// fit), in the user's temporary folder on Windows.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skyvigil::platform_test {

inline std::filesystem::path ScratchBase() {
#ifdef _WIN32
  return std::filesystem::temp_directory_path();
#else
  return "/tmp";
#endif
}

class TempDir {
 public:
  TempDir() {
    const std::filesystem::path base = ScratchBase();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("skyvigil-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) {
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
        return;
      }
    }
    throw std::runtime_error("no fresh scratch folder in " + base.string());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The names in `folder`, sorted, in UTF-8.
inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace skyvigil::platform_test
