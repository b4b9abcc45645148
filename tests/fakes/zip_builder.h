// Builds zip archives byte by byte for the updater's tests: stored or deflated
// entries, with the fields a test wants to spoil. Needs zlib.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace skyvigil::testing {

struct ZipItem {
  std::string name;
  std::string bytes;
  bool deflate = false;
  std::uint16_t flags = 0;
  std::uint16_t method = 0xffff;  // written instead of the real method
};

// Little-endian fields of the given byte widths.
inline void Put(std::string& out, std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  for (const auto& [value, width] : fields) {
    for (int i = 0; i < width; ++i)
      out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
  }
}

inline std::string RawDeflate(const std::string& bytes) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

inline std::string BuildZip(const std::vector<ZipItem>& files, const std::string& comment = "") {
  std::string archive;
  std::string directory;
  for (const ZipItem& file : files) {
    const std::string packed = file.deflate ? RawDeflate(file.bytes) : file.bytes;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(file.bytes.data()),
                            static_cast<uInt>(file.bytes.size()));
    const int method = file.method != 0xffff ? file.method : file.deflate ? 8 : 0;
    // Version needed, flags, method, time, date (1980-01-01), CRC, sizes, name and extra sizes.
    std::string common;
    Put(common, {{20, 2},
                 {file.flags, 2},
                 {method, 2},
                 {0, 2},
                 {0x21, 2},
                 {crc, 4},
                 {packed.size(), 4},
                 {file.bytes.size(), 4},
                 {file.name.size(), 2},
                 {0, 2}});
    // Signature and version made by; after the common part: comment size, disk,
    // attributes, local header offset.
    Put(directory, {{0x02014b50, 4}, {20, 2}});
    directory += common;
    Put(directory, {{0, 2}, {0, 2}, {0, 2}, {0, 4}, {archive.size(), 4}});
    directory += file.name;
    Put(archive, {{0x04034b50, 4}});
    archive += common + file.name + packed;
  }
  const std::size_t directory_offset = archive.size();
  archive += directory;
  Put(archive, {{0x06054b50, 4},
                {0, 2},
                {0, 2},
                {files.size(), 2},
                {files.size(), 2},
                {directory.size(), 4},
                {directory_offset, 4},
                {comment.size(), 2}});
  return archive + comment;
}

}  // namespace skyvigil::testing
