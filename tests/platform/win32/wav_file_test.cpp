// The cue files' reader: exact fields of usable files, nothing for bad ones.
#include "platform/win32/sound/wav_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/wav_bytes.h"

namespace skyvigil {
namespace {

using testing::Chunk;
using testing::Little;
using testing::PcmFormat;
using testing::Riff;
using testing::ToneWav;

TEST(WavFileTest, ReadsFormatAndSamplesOfPcm) {
  const std::optional<WavSound> sound = ParseWav(ToneWav(100));
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->channels, 1);
  EXPECT_EQ(sound->samples_per_second, 22050u);
  EXPECT_EQ(sound->bytes_per_second, 44100u);
  EXPECT_EQ(sound->block_align, 2);
  EXPECT_EQ(sound->bits_per_sample, 16);
  EXPECT_EQ(sound->format, PcmFormat(1, 22050, 16));
  EXPECT_EQ(sound->samples.size(), 200u);
}

TEST(WavFileTest, SkipsOtherChunksWithTheirPaddingAndDropsAPartialBlock) {
  const std::string bytes = Riff(Chunk("LIST", "odd") + Chunk("fmt ", PcmFormat(2, 44100, 16)) +
                                 Chunk("data", std::string(9, '\x01')));
  const std::optional<WavSound> sound = ParseWav(bytes);
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->channels, 2);
  EXPECT_EQ(sound->samples, std::string(8, '\x01'));
}

TEST(WavFileTest, AcceptsFloatSamples) {
  const std::optional<WavSound> sound =
      ParseWav(Riff(Chunk("fmt ", PcmFormat(1, 48000, 32, 3)) + Chunk("data", "abcd")));
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->bits_per_sample, 32);
}

struct BadFile {
  const char* name;
  std::string bytes;
};

TEST(WavFileTest, BadFilesGiveNothing) {
  const std::string format = Chunk("fmt ", PcmFormat(1, 22050, 16));
  const std::string whole = ToneWav(10);
  const std::vector<BadFile> cases = {
      {"empty", ""},
      {"not a wav", "ID3\x03 an mp3 perhaps, certainly no RIFF"},
      {"RIFF but not WAVE", "RIFF" + Little(4, 4) + "AVI "},
      {"cut inside the RIFF header", whole.substr(0, 10)},
      {"cut inside the fmt chunk", whole.substr(0, 20 + 8)},
      {"cut inside the data chunk", whole.substr(0, whole.size() - 1)},
      {"no data chunk", Riff(format)},
      {"data before fmt", Riff(Chunk("data", "abcd") + format)},
      {"no samples", Riff(format + Chunk("data", ""))},
      {"less than one block", Riff(format + Chunk("data", "a"))},
      {"compressed (ADPCM)", Riff(Chunk("fmt ", PcmFormat(1, 22050, 4, 2)) + Chunk("data", "ab"))},
      {"12-bit samples", Riff(Chunk("fmt ", PcmFormat(1, 22050, 12)) + Chunk("data", "abcd"))},
      {"no channels", Riff(Chunk("fmt ", PcmFormat(0, 22050, 16)) + Chunk("data", "abcd"))},
      {"short fmt chunk",
       Riff(Chunk("fmt ", PcmFormat(1, 22050, 16).substr(0, 14)) + Chunk("data", "abcd"))},
      {"block size that does not fit",
       Riff(Chunk("fmt ", Little(1, 2) + Little(1, 2) + Little(22050, 4) + Little(44100, 4) +
                              Little(4, 2) + Little(16, 2)) +
            Chunk("data", "abcd"))},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(ParseWav(c.bytes).has_value());
  }
}

TEST(WavFileTest, MissingFileGivesNothing) {
  EXPECT_FALSE(ReadWav("no-such-folder/alert.wav").has_value());
}

}  // namespace
}  // namespace skyvigil
