// Builds zip archives byte by byte for the updater's tests: stored or deflated
// entries, with the fields a test wants to spoil. Needs zlib.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skyvigil::testing {

struct ZipFileSpec {
  std::string name;
  std::string bytes;
  bool deflate = false;
  std::uint16_t flags = 0;
  std::uint16_t method_override = 0xffff;  // written instead of the real method
};

inline void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>((value >> 8) & 0xff));
}

inline void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
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

inline std::string BuildZip(const std::vector<ZipFileSpec>& files,
                            const std::string& comment = "") {
  std::string archive;
  std::string directory;
  for (const ZipFileSpec& file : files) {
    const std::string packed = file.deflate ? RawDeflate(file.bytes) : file.bytes;
    const std::uint32_t crc =
        static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(file.bytes.data()),
                                         static_cast<uInt>(file.bytes.size())));
    const std::uint16_t method =
        file.method_override != 0xffff ? file.method_override : (file.deflate ? 8 : 0);
    const std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
    // Local header: version, flags, method, time, date (1980-01-01), sizes.
    Put32(archive, 0x04034b50);
    Put16(archive, 20);
    Put16(archive, file.flags);
    Put16(archive, method);
    Put16(archive, 0);
    Put16(archive, 0x21);
    Put32(archive, crc);
    Put32(archive, static_cast<std::uint32_t>(packed.size()));
    Put32(archive, static_cast<std::uint32_t>(file.bytes.size()));
    Put16(archive, static_cast<std::uint32_t>(file.name.size()));
    Put16(archive, 0);
    archive += file.name;
    archive += packed;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, file.flags);
    Put16(directory, method);
    Put16(directory, 0);
    Put16(directory, 0x21);
    Put32(directory, crc);
    Put32(directory, static_cast<std::uint32_t>(packed.size()));
    Put32(directory, static_cast<std::uint32_t>(file.bytes.size()));
    Put16(directory, static_cast<std::uint32_t>(file.name.size()));
    Put16(directory, 0);  // extra
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, offset);
    directory += file.name;
  }
  const std::uint32_t directory_offset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<std::uint32_t>(files.size()));
  Put16(archive, static_cast<std::uint32_t>(files.size()));
  Put32(archive, static_cast<std::uint32_t>(directory.size()));
  Put32(archive, directory_offset);
  Put16(archive, static_cast<std::uint32_t>(comment.size()));
  archive += comment;
  return archive;
}

}  // namespace skyvigil::testing
