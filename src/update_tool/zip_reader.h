// Reads the update archive: the zip central directory and its stored or
// deflated entries, every entry checked against its CRC-32.
#pragma once

#include <cstdint>
#include <functional>
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

// No update comes near this, in one entry or in all; a larger claim is a
// damaged archive (or a zip bomb).
inline constexpr std::uint64_t kMaxUnpackedSize = 256u << 20;

// `archive` is the whole file. Zip64 and split archives are refused, and so
// are entries whose data overlap or are out of order (one deflated stream
// shared by many entries) and more than kMaxUnpackedSize in all; no entries
// come with an error.
ZipDirectory ReadZipDirectory(std::string_view archive);

// Unpacks `entry` in parts of at most 64 KiB handed to `sink`, which returns
// false to stop. The error, empty when every byte came and matched the CRC-32;
// parts already handed over are then to be thrown away.
using ZipSink = std::function<bool(std::string_view part)>;
std::string StreamEntry(std::string_view archive, const ZipEntry& entry, const ZipSink& sink);

// The whole entry in memory (the tests and the fuzzer).
ZipData ExtractEntry(std::string_view archive, const ZipEntry& entry);

}  // namespace skyvigil::update_tool
