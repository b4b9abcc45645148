// A small reader of RIFF/WAVE files holding PCM or float samples, for the cues.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace skyvigil {

struct WavSound {
  std::string format;  // the "fmt " chunk as stored: a WAVEFORMAT(EX/EXTENSIBLE)
  std::uint16_t channels = 0;
  std::uint32_t samples_per_second = 0;
  std::uint32_t bytes_per_second = 0;
  std::uint16_t block_align = 0;
  std::uint16_t bits_per_sample = 0;
  std::string samples;  // the "data" chunk, whole blocks only
};

// Nothing when `bytes` is no complete WAVE file with integer PCM (8, 16, 24 or
// 32 bits), 32-bit float or an extensible format, or holds no samples.
std::optional<WavSound> ParseWav(std::string_view bytes);

// Reads the whole file; nothing when it is missing, unreadable or not a WAVE.
std::optional<WavSound> ReadWav(const std::filesystem::path& path);

}  // namespace skyvigil
