// Zip reading after PKWARE's APPNOTE: end record, central directory, local
// headers; inflation and CRC-32 by zlib.
#include "update_tool/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>

namespace skyvigil::update_tool {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::uint16_t kEncryptedFlag = 0x0001;

std::uint16_t Read16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(Read16(bytes, at)) |
         static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

// The end record sits in the last 22 bytes plus at most a 65535-byte comment.
std::size_t FindEndRecord(std::string_view archive) {
  if (archive.size() < kEndSize)
    return std::string_view::npos;
  const std::size_t lowest =
      archive.size() > kEndSize + 0xffff ? archive.size() - kEndSize - 0xffff : 0;
  for (std::size_t at = archive.size() - kEndSize + 1; at-- > lowest;) {
    if (Read32(archive, at) == kEndSignature &&
        at + kEndSize + Read16(archive, at + 20) == archive.size())
      return at;
  }
  return std::string_view::npos;
}

ZipDirectory ReadEntries(std::string_view archive) {
  ZipDirectory directory;
  const std::size_t end = FindEndRecord(archive);
  if (end == std::string_view::npos) {
    directory.error = "it is not a zip archive, or it is cut short";
    return directory;
  }
  const std::uint16_t disk = Read16(archive, end + 4);
  const std::uint16_t directory_disk = Read16(archive, end + 6);
  const std::uint16_t count_here = Read16(archive, end + 8);
  const std::uint16_t count = Read16(archive, end + 10);
  const std::uint32_t size = Read32(archive, end + 12);
  const std::uint32_t offset = Read32(archive, end + 16);
  if (disk != 0 || directory_disk != 0 || count_here != count || count == 0xffff ||
      offset == 0xffffffff) {
    directory.error = "it is a split or zip64 archive";
    return directory;
  }
  if (static_cast<std::uint64_t>(offset) + size > end) {
    directory.error = "its directory is cut short";
    return directory;
  }

  std::size_t at = offset;
  const std::size_t directory_end = static_cast<std::size_t>(offset) + size;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (at + kCentralSize > directory_end || Read32(archive, at) != kCentralSignature) {
      directory.error = "its directory is damaged";
      return directory;
    }
    ZipEntry entry;
    entry.flags = Read16(archive, at + 8);
    entry.method = Read16(archive, at + 10);
    entry.crc32 = Read32(archive, at + 16);
    entry.compressed_size = Read32(archive, at + 20);
    entry.size = Read32(archive, at + 24);
    const std::size_t name_size = Read16(archive, at + 28);
    const std::size_t extra_size = Read16(archive, at + 30);
    const std::size_t comment_size = Read16(archive, at + 32);
    entry.local_header_offset = Read32(archive, at + 42);
    const std::size_t next = at + kCentralSize + name_size + extra_size + comment_size;
    if (next > directory_end) {
      directory.error = "its directory is damaged";
      return directory;
    }
    entry.name.assign(archive.substr(at + kCentralSize, name_size));
    directory.entries.push_back(std::move(entry));
    at = next;
  }

  // Each entry's data after the one before and before the directory: no
  // shared bytes, so the unpacked total is bounded by the sizes summed here.
  std::uint64_t total = 0;
  std::uint64_t previous_end = 0;
  for (const ZipEntry& entry : directory.entries) {
    total += entry.size;
    const std::uint64_t header = entry.local_header_offset;
    std::uint64_t start = header + kLocalSize;
    if (start <= offset && Read32(archive, header) == kLocalSignature)
      start += Read16(archive, header + 26) + Read16(archive, header + 28);
    if (header < previous_end || start + entry.compressed_size > offset) {
      directory.error = "its entries overlap each other or the directory";
      return directory;
    }
    previous_end = start + entry.compressed_size;
  }
  if (total > kMaxUnpackedSize)
    directory.error = "it would unpack to more than 256 MiB";
  return directory;
}

}  // namespace

ZipDirectory ReadZipDirectory(std::string_view archive) {
  ZipDirectory directory = ReadEntries(archive);
  if (!directory.error.empty())
    directory.entries.clear();
  return directory;
}

std::string StreamEntry(std::string_view archive, const ZipEntry& entry, const ZipSink& sink) {
  const auto fail = [&](const std::string& why) { return entry.name + ": " + why; };
  if (entry.flags & kEncryptedFlag)
    return fail("encrypted");
  if (entry.method != 0 && entry.method != 8)
    return fail("compressed with an unknown method");
  // One deflated byte unpacks to at most 1032: a larger size is a lie.
  const std::uint64_t most =
      entry.method == 0 ? entry.compressed_size : entry.compressed_size * 1032ull + 1032;
  if (entry.size > kMaxUnpackedSize || entry.size > most ||
      (entry.method == 0 && entry.compressed_size != entry.size))
    return fail("its sizes are damaged");

  const std::size_t header = entry.local_header_offset;
  if (header + kLocalSize > archive.size() || Read32(archive, header) != kLocalSignature)
    return fail("its header is damaged");
  const std::size_t start =
      header + kLocalSize + Read16(archive, header + 26) + Read16(archive, header + 28);
  if (start + entry.compressed_size > archive.size())
    return fail("it is cut short");
  const std::string_view packed = archive.substr(start, entry.compressed_size);

  constexpr std::size_t kPart = 64 * 1024;
  uLong crc = crc32(0L, Z_NULL, 0);
  std::uint64_t produced = 0;
  // Counts and checks what goes out; more than the promised size is damage.
  const auto hand_over = [&](std::string_view part) {
    produced += part.size();
    crc = crc32(crc, reinterpret_cast<const Bytef*>(part.data()), static_cast<uInt>(part.size()));
    return produced <= entry.size && (part.empty() || sink(part));
  };
  if (entry.method == 0) {
    for (std::size_t at = 0; at < packed.size(); at += kPart) {
      if (!hand_over(packed.substr(at, kPart)))
        return fail("it could not be written");
    }
  } else {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
      return fail("it cannot be unpacked");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    std::string out(kPart, '\0');
    int result = Z_OK;
    bool sunk = true;
    while (result == Z_OK && sunk) {
      stream.next_out = reinterpret_cast<Bytef*>(out.data());
      stream.avail_out = static_cast<uInt>(out.size());
      result = inflate(&stream, Z_NO_FLUSH);
      const std::size_t got = out.size() - stream.avail_out;
      if ((result == Z_OK || result == Z_STREAM_END) && got > 0)
        sunk = hand_over(std::string_view(out).substr(0, got));
      // No progress with input left means the data ends early.
      if (result == Z_OK && got == 0 && stream.avail_in == 0)
        result = Z_DATA_ERROR;
    }
    inflateEnd(&stream);
    if (!sunk && produced <= entry.size)
      return fail("it could not be written");
    if (result != Z_STREAM_END || produced != entry.size)
      return fail("its compressed data is damaged");
  }
  if (produced != entry.size)
    return fail("its compressed data is damaged");
  if (crc != entry.crc32)
    return fail("its CRC-32 does not match");
  return {};
}

ZipData ExtractEntry(std::string_view archive, const ZipEntry& entry) {
  ZipData data;
  data.error = StreamEntry(archive, entry, [&](std::string_view part) {
    data.bytes.append(part);
    return true;
  });
  if (!data.error.empty())
    data.bytes.clear();
  return data;
}

}  // namespace skyvigil::update_tool
