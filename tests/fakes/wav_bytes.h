// Builds the bytes of small RIFF/WAVE files for the cue tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skyvigil::testing {

inline std::string Little(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
  return out;
}

inline std::string Chunk(std::string_view id, std::string_view body) {
  std::string out(id);
  out += Little(static_cast<std::uint32_t>(body.size()), 4);
  out += body;
  if (body.size() % 2 == 1)
    out.push_back('\0');
  return out;
}

// A 16-byte PCM "fmt " body.
inline std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                             std::uint16_t tag = 1) {
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  return Little(tag, 2) + Little(channels, 2) + Little(rate, 4) + Little(rate * align, 4) +
         Little(align, 2) + Little(bits, 2);
}

inline std::string Riff(std::string_view chunks) {
  return "RIFF" + Little(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" +
         std::string(chunks);
}

// A mono 16-bit 22050 Hz tone of `samples` samples.
inline std::string ToneWav(std::uint32_t samples = 2205) {
  std::string data;
  for (std::uint32_t i = 0; i < samples; ++i)
    data += Little(static_cast<std::uint16_t>((i % 50) < 25 ? 0x2000 : 0xe000), 2);
  return Riff(Chunk("fmt ", PcmFormat(1, 22050, 16)) + Chunk("data", data));
}

}  // namespace skyvigil::testing
