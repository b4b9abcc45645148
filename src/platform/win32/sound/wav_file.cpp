// RIFF/WAVE reading: chunk by chunk, refusing anything cut short or unusual.
#include "platform/win32/sound/wav_file.h"

#include <fstream>
#include <iterator>

namespace skyvigil {

namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kExtensible = 0xFFFE;
constexpr std::size_t kMaxCueBytes = 64u << 20;

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

std::uint16_t Read16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

bool UsableFormat(const WavSound& sound, std::uint16_t tag) {
  const bool bits_fit = tag == kFloat
                            ? sound.bits_per_sample == 32
                            : sound.bits_per_sample == 8 || sound.bits_per_sample == 16 ||
                                  sound.bits_per_sample == 24 || sound.bits_per_sample == 32;
  return (tag == kPcm || tag == kFloat || tag == kExtensible) && bits_fit && sound.channels >= 1 &&
         sound.channels <= 8 && sound.samples_per_second >= 1000 &&
         sound.samples_per_second <= 384000 &&
         sound.block_align == sound.channels * sound.bits_per_sample / 8 &&
         sound.bytes_per_second == sound.samples_per_second * sound.block_align;
}

}  // namespace

std::optional<WavSound> ParseWav(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return std::nullopt;
  WavSound sound;
  bool have_format = false;
  std::uint16_t tag = 0;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::string_view id = bytes.substr(at, 4);
    const std::uint32_t size = Read32(bytes, at + 4);
    at += 8;
    if (size > bytes.size() - at)
      return std::nullopt;  // cut short
    if (id == "fmt ") {
      if (size < 16 || size > 40)
        return std::nullopt;
      sound.format.assign(bytes.substr(at, size));
      tag = Read16(bytes, at);
      sound.channels = Read16(bytes, at + 2);
      sound.samples_per_second = Read32(bytes, at + 4);
      sound.bytes_per_second = Read32(bytes, at + 8);
      sound.block_align = Read16(bytes, at + 12);
      sound.bits_per_sample = Read16(bytes, at + 14);
      if (!UsableFormat(sound, tag))
        return std::nullopt;
      have_format = true;
    } else if (id == "data") {
      if (!have_format)
        return std::nullopt;
      const std::size_t whole = size - size % sound.block_align;
      if (whole == 0)
        return std::nullopt;
      sound.samples.assign(bytes.substr(at, whole));
      return sound;
    }
    at += size + (size & 1u);  // chunks are padded to an even length
  }
  return std::nullopt;
}

std::optional<WavSound> ReadWav(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxCueBytes)
      return std::nullopt;
  }
  return ParseWav(bytes);
}

}  // namespace skyvigil
