// The four committed cue files in snd/: their exact format, length and level,
// soft ends, and the shape each cue is meant to have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "ports/announcer.h"

namespace skyvigil {
namespace {

struct Wav {
  uint16_t format = 0;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  std::vector<int16_t> samples;
};

uint32_t Little(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

// Walks the RIFF chunks; fails the test on anything malformed.
Wav ReadWav(const std::filesystem::path& path) {
  const std::string bytes = platform_test::ReadBytes(path);
  Wav wav;
  EXPECT_GE(bytes.size(), 12u);
  if (bytes.size() < 12)
    return wav;
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(Little(bytes, 4, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 4), "WAVE");
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id = bytes.substr(at, 4);
    const uint32_t size = Little(bytes, at + 4, 4);
    EXPECT_LE(at + 8 + size, bytes.size()) << id;
    if (id == "fmt ") {
      wav.format = static_cast<uint16_t>(Little(bytes, at + 8, 2));
      wav.channels = static_cast<uint16_t>(Little(bytes, at + 10, 2));
      wav.rate = Little(bytes, at + 12, 4);
      EXPECT_EQ(Little(bytes, at + 16, 4), wav.rate * 2);  // bytes per second
      EXPECT_EQ(Little(bytes, at + 20, 2), 2u);            // bytes per frame
      wav.bits = static_cast<uint16_t>(Little(bytes, at + 22, 2));
    } else if (id == "data") {
      for (size_t i = 0; i + 1 < size; i += 2) {
        wav.samples.push_back(static_cast<int16_t>(Little(bytes, at + 8 + i, 2)));
      }
    }
    at += 8 + size + (size & 1);
  }
  return wav;
}

std::filesystem::path CueFile(const std::string& name) {
  return std::filesystem::path(SKYVIGIL_TEST_DATA) / ".." / ".." / "snd" / (name + ".wav");
}

int Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from; i < to; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  return peak;
}

// Sign changes per sample between two fractions of the length: the pitch.
double CrossingRate(const std::vector<int16_t>& s, double from, double to) {
  const auto begin = static_cast<size_t>(from * s.size());
  const auto end = static_cast<size_t>(to * s.size());
  int crossings = 0;
  for (size_t i = begin + 1; i < end; ++i)
    crossings += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return static_cast<double>(crossings) / static_cast<double>(end - begin);
}

// Peak level of each 10 ms stretch.
std::vector<int> Envelope(const std::vector<int16_t>& s) {
  std::vector<int> envelope;
  for (size_t at = 0; at < s.size(); at += 441) {
    envelope.push_back(Peak(s, at, std::min(s.size(), at + 441)));
  }
  return envelope;
}

class CueFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CueFileTest, IsShort16BitPcm44100MonoThatStartsAndEndsInSilence) {
  const Wav wav = ReadWav(CueFile(GetParam()));
  EXPECT_EQ(wav.format, 1);  // plain PCM
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.rate, 44100u);
  EXPECT_EQ(wav.bits, 16);
  ASSERT_GT(wav.samples.size(), 44100u / 10);
  EXPECT_LT(wav.samples.size(), 44100u / 2);  // under half a second

  const int peak = Peak(wav.samples, 0, wav.samples.size());
  EXPECT_GT(peak, 32768 / 5) << "too quiet to hear";
  EXPECT_LT(peak, 32768 * 6 / 10) << "too loud beside speech";
  // Faded in and out: no jump from or to silence that would click.
  EXPECT_LE(std::abs(wav.samples.front()), 33);
  EXPECT_LE(std::abs(wav.samples.back()), 33);
  EXPECT_LT(Peak(wav.samples, 0, 44), peak / 4);  // first millisecond
  EXPECT_LT(Peak(wav.samples, wav.samples.size() - 441, wav.samples.size()), peak / 4);
}

INSTANTIATE_TEST_SUITE_P(Cues, CueFileTest, ::testing::ValuesIn(kCueNames));

TEST(CueShapeTest, UpRisesAndDownFalls) {
  const Wav up = ReadWav(CueFile("up"));
  const Wav down = ReadWav(CueFile("down"));
  ASSERT_FALSE(up.samples.empty());
  ASSERT_FALSE(down.samples.empty());
  EXPECT_GT(CrossingRate(up.samples, 0.6, 0.75), 1.2 * CrossingRate(up.samples, 0.1, 0.3));
  EXPECT_LT(CrossingRate(down.samples, 0.6, 0.75), CrossingRate(down.samples, 0.1, 0.3) / 1.2);
}

TEST(CueShapeTest, AlertIsTwoNotesHighThenLow) {
  const Wav alert = ReadWav(CueFile("alert"));
  ASSERT_FALSE(alert.samples.empty());
  const std::vector<int> envelope = Envelope(alert.samples);
  const int peak = *std::max_element(envelope.begin(), envelope.end());
  // The first note dies away before the second is struck.
  const auto first_strike = std::max_element(envelope.begin(), envelope.begin() + 10);
  const auto gap = std::min_element(first_strike, envelope.end() - 10);
  const auto second_strike = std::max_element(gap, envelope.end());
  EXPECT_LT(*gap, peak / 4);
  EXPECT_GT(*first_strike, peak * 3 / 4);
  EXPECT_GT(*second_strike, peak * 3 / 4);
  const double split = static_cast<double>(gap - envelope.begin()) / envelope.size();
  EXPECT_GT(split, 0.25);
  EXPECT_LT(split, 0.6);
  EXPECT_GT(CrossingRate(alert.samples, 0.02, split - 0.05),
            1.2 * CrossingRate(alert.samples, split + 0.05, split + 0.3));
}

TEST(CueShapeTest, ConditionIsOneSteadySoftNote) {
  const Wav condition = ReadWav(CueFile("condition"));
  const Wav up = ReadWav(CueFile("up"));
  ASSERT_FALSE(condition.samples.empty());
  const double early = CrossingRate(condition.samples, 0.1, 0.35);
  const double late = CrossingRate(condition.samples, 0.5, 0.75);
  EXPECT_NEAR(late / early, 1.0, 0.05);
  // One swell: once the level has fallen below half it does not come back.
  const std::vector<int> envelope = Envelope(condition.samples);
  const auto top = std::max_element(envelope.begin(), envelope.end());
  const auto fallen = std::find_if(top, envelope.end(), [&](int v) { return v < *top / 2; });
  ASSERT_NE(fallen, envelope.end());
  EXPECT_LT(*std::max_element(fallen, envelope.end()), *top / 2);
  EXPECT_LT(*top, Peak(up.samples, 0, up.samples.size()));
}

}  // namespace
}  // namespace skyvigil
