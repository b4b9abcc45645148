// Reads the update archive: the zip central directory and its stored or
// deflated entries, every entry checked against its CRC-32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace skyvigil::update_tool {

struct ZipEntry {
  std::string name;  // as stored, '/' between folders
  std::uint16_t flags = 0;
  std::uint16_t method = 0;  // 0 stored, 8 deflated
  std::uint32_t crc32 = 0;
  std::uint32_t compressed_size = 0;
  std::uint32_t size = 0;
  std::uint32_t local_header_offset = 0;

  bool IsFolder() const { return !name.empty() && name.back() == '/'; }
};

struct ZipDirectory {
  std::vector<ZipEntry> entries;
  std::string error;  // empty when the directory was read whole
};

struct ZipData {
  std::string bytes;
  std::string error;  // empty when the bytes are the entry's, CRC checked
};

// No entry of an update is near this; a larger claim is a damaged archive.
inline constexpr std::uint32_t kMaxEntrySize = 512u << 20;

// `archive` is the whole file. Zip64 and split archives are refused; no
// entries come with an error.
ZipDirectory ReadZipDirectory(std::string_view archive);

ZipData ExtractEntry(std::string_view archive, const ZipEntry& entry);

}  // namespace skyvigil::update_tool
