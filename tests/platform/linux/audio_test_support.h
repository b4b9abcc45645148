// Test helpers for the sound cues: WAV files of a constant level, so that what
// reaches the output tells which cues sounded and whether they overlapped, and
// the samples of SDL's "disk" audio driver.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"

namespace skyvigil::platform_test {

inline void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16-bit PCM, 44.1 kHz mono WAV file holding `level` for `milliseconds`.
inline void WriteLevelWav(const std::filesystem::path& path, int16_t level, int milliseconds) {
  const uint32_t frames = 44100u * static_cast<uint32_t>(milliseconds) / 1000u;
  std::string data;
  for (uint32_t i = 0; i < frames; ++i)
    AppendLittleEndian(data, static_cast<uint16_t>(level), 2);
  std::string wav = "RIFF";
  AppendLittleEndian(wav, static_cast<uint32_t>(36 + data.size()), 4);
  wav += "WAVEfmt ";
  AppendLittleEndian(wav, 16, 4);     // fmt chunk size
  AppendLittleEndian(wav, 1, 2);      // PCM
  AppendLittleEndian(wav, 1, 2);      // mono
  AppendLittleEndian(wav, 44100, 4);  // frames per second
  AppendLittleEndian(wav, 88200, 4);  // bytes per second
  AppendLittleEndian(wav, 2, 2);      // bytes per frame
  AppendLittleEndian(wav, 16, 2);     // bits per sample
  wav += "data";
  AppendLittleEndian(wav, static_cast<uint32_t>(data.size()), 4);
  WriteBytes(path, wav + data);
}

// The signed 16-bit little-endian samples of a raw file.
inline std::vector<int16_t> ReadSamples(const std::filesystem::path& path) {
  const std::string bytes = ReadBytes(path);
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto low = static_cast<uint8_t>(bytes[2 * i]);
    const auto high = static_cast<uint8_t>(bytes[2 * i + 1]);
    samples[i] = static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
  }
  return samples;
}

// How many samples lie within 2 of `level` (format conversion may round by one).
inline long CountNear(const std::vector<int16_t>& samples, int level) {
  long count = 0;
  for (int16_t s : samples)
    count += std::abs(s - level) <= 2 ? 1 : 0;
  return count;
}

inline long CountNonSilent(const std::vector<int16_t>& samples) {
  long count = 0;
  for (int16_t s : samples)
    count += s != 0 ? 1 : 0;
  return count;
}

}  // namespace skyvigil::platform_test
