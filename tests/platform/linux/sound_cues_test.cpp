// The sound cues through SDL's "disk" audio driver, which writes the mixed
// output to a file instead of a sound card. Each test cue holds one constant
// level, so the output tells which cues sounded, for how long, and whether two
// copies were layered.
#include "platform/linux/sound_cues.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "fakes/temp_dir.h"
#include "platform/linux/audio_test_support.h"
#include "platform/linux/speechd_testbed.h"  // ScopedEnv

namespace skyvigil {
namespace {

using platform_test::CountNear;
using platform_test::CountNonSilent;
using platform_test::ScopedEnv;
using platform_test::TempDir;
using std::chrono::milliseconds;

// Levels chosen so that any sum of two differs from every single one.
constexpr int kAlert = 1000;
constexpr int kUp = 3000;
constexpr int kDown = 5000;
constexpr int kCondition = 7000;
constexpr int kCueMs = 300;

void Wait(int ms) {
  std::this_thread::sleep_for(milliseconds(ms));
}

class SoundCuesTest : public ::testing::Test {
 protected:
  SoundCuesTest()
      : driver_("SDL_AUDIODRIVER", "disk"),
        output_file_("SDL_DISKAUDIOFILE", (dir_ / "output.raw").string()) {
    std::filesystem::create_directory(cues_);
    platform_test::WriteLevelWav(cues_ / "alert.wav", kAlert, kCueMs);
    platform_test::WriteLevelWav(cues_ / "up.wav", kUp, kCueMs);
    platform_test::WriteLevelWav(cues_ / "down.wav", kDown, kCueMs);
    platform_test::WriteLevelWav(cues_ / "condition.wav", kCondition, kCueMs);
  }

  // What the engine wrote; read after Shutdown, which flushes the file.
  std::vector<int16_t> Output() const { return platform_test::ReadSamples(dir_ / "output.raw"); }

  TempDir dir_;
  ScopedEnv driver_;
  ScopedEnv output_file_;
  std::filesystem::path cues_ = dir_ / "snd";
};

TEST_F(SoundCuesTest, PlayedCueReachesTheOutputAndOthersStaySilent) {
  SoundCues cues(cues_);
  ASSERT_TRUE(cues.IsEngineStarted());
  EXPECT_TRUE(cues.Play(Cue::up));
  Wait(kCueMs + 300);
  cues.Shutdown();

  const auto samples = Output();
  EXPECT_GT(CountNear(samples, kUp), 0);
  EXPECT_EQ(CountNonSilent(samples) - CountNear(samples, kUp), 0);
}

TEST_F(SoundCuesTest, PlayingACueAgainRestartsItInsteadOfLayering) {
  SoundCues cues(cues_);
  ASSERT_TRUE(cues.IsEngineStarted());
  cues.Play(Cue::alert);
  Wait(100);
  cues.Play(Cue::alert);
  Wait(kCueMs + 300);
  cues.Play(Cue::up);  // the length of one whole play, for comparison
  Wait(kCueMs + 300);
  cues.Shutdown();

  const auto samples = Output();
  EXPECT_EQ(CountNear(samples, 2 * kAlert), 0) << "two copies sounded together";
  // Restarted after ~100 ms: it sounded ~400 ms in all, against 300 ms for one play.
  const double ratio = static_cast<double>(CountNear(samples, kAlert)) / CountNear(samples, kUp);
  EXPECT_GT(ratio, 1.15);
  EXPECT_LT(ratio, 1.6);
}

TEST_F(SoundCuesTest, DifferentCuesSoundTogether) {
  SoundCues cues(cues_);
  ASSERT_TRUE(cues.IsEngineStarted());
  cues.Play(Cue::up);
  cues.Play(Cue::condition);
  Wait(kCueMs + 300);
  cues.Play(Cue::down);  // one play alone, for comparison
  Wait(kCueMs + 300);
  cues.Shutdown();

  const auto samples = Output();
  EXPECT_GT(CountNear(samples, kUp + kCondition), 0.8 * CountNear(samples, kDown));
}

struct BrokenCue {
  const char* name;
  std::string content;  // "<missing>": no file at all
};

// Test names and failure messages show the case's name, not its bytes.
void PrintTo(const BrokenCue& cue, std::ostream* out) {
  *out << cue.name;
}

class BrokenCueFileTest : public SoundCuesTest, public ::testing::WithParamInterface<BrokenCue> {};

TEST_P(BrokenCueFileTest, PlaysNothingAndTheOtherCuesStillPlay) {
  std::filesystem::remove(cues_ / "down.wav");
  if (GetParam().content != "<missing>")
    platform_test::WriteBytes(cues_ / "down.wav", GetParam().content);

  SoundCues cues(cues_);
  ASSERT_TRUE(cues.IsEngineStarted());
  EXPECT_TRUE(cues.Play(Cue::up));
  EXPECT_FALSE(cues.IsLoaded(Cue::down));
  EXPECT_TRUE(cues.IsLoaded(Cue::alert));
  EXPECT_TRUE(cues.IsLoaded(Cue::up));
  EXPECT_TRUE(cues.IsLoaded(Cue::condition));

  EXPECT_FALSE(cues.Play(Cue::down));  // must not disturb the up cue
  Wait(kCueMs + 300);
  EXPECT_TRUE(cues.Play(Cue::condition));
  Wait(kCueMs + 300);
  cues.Shutdown();

  const auto samples = Output();
  EXPECT_EQ(CountNear(samples, kDown), 0);
  const double up = static_cast<double>(CountNear(samples, kUp));
  EXPECT_GT(up, 0.9 * CountNear(samples, kCondition));
  EXPECT_LT(up, 1.1 * CountNear(samples, kCondition));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenCueFileTest,
    ::testing::Values(BrokenCue{"Missing", "<missing>"}, BrokenCue{"Empty", ""},
                      BrokenCue{"NotAWav", "This is not a sound file at all.\n"},
                      BrokenCue{"CutInsideTheHeader", std::string("RIFF\x24\x10\0\0WAVEfmt ", 16)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundCuesTest, UnavailableAudioDriverLeavesPlayingSilent) {
  const ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SoundCues cues(cues_);
  for (Cue cue : {Cue::alert, Cue::up, Cue::down, Cue::condition}) {
    EXPECT_FALSE(cues.Play(cue));
    EXPECT_FALSE(cues.IsLoaded(cue));
    EXPECT_FALSE(cues.IsDeviceOpen());
  }
  cues.Shutdown();
}

TEST_F(SoundCuesTest, ShutdownStopsTheEngineAndANewOneCanStart) {
  SoundCues first(cues_);
  ASSERT_TRUE(first.IsEngineStarted());
  first.Shutdown();
  EXPECT_FALSE(first.IsEngineStarted());
  EXPECT_FALSE(first.IsLoaded(Cue::alert));
  EXPECT_FALSE(first.Play(Cue::alert));
  first.Shutdown();  // a second call does nothing

  SoundCues second(cues_);
  ASSERT_TRUE(second.IsEngineStarted());
  EXPECT_TRUE(second.Play(Cue::condition));
  Wait(kCueMs + 300);
  second.Shutdown();
  EXPECT_GT(CountNear(Output(), kCondition), 0);
}

bool SdlIsLoaded() {
  void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (library != nullptr)
    dlclose(library);
  return library != nullptr;
}

// An open device wakes the process all the time, and SDL2's audio stack takes
// memory: both are there only while a cue sounds and for the linger after it,
// and the cue still sounds whole.
TEST_F(SoundCuesTest, TheDeviceOpensToPlayAndClosesAfterTheCue) {
  SoundCues cues(cues_, milliseconds(50));
  ASSERT_TRUE(cues.IsEngineStarted());
  // Nothing before the first cue.
  EXPECT_FALSE(cues.IsDeviceOpen());
  EXPECT_FALSE(SdlIsLoaded());
  for (Cue cue : {Cue::up, Cue::down}) {
    EXPECT_TRUE(cues.Play(cue));
    EXPECT_TRUE(cues.IsDeviceOpen());
    EXPECT_TRUE(SdlIsLoaded());
    cues.WaitUntilDeviceClosed();
    EXPECT_FALSE(cues.IsDeviceOpen());
    EXPECT_FALSE(SdlIsLoaded());
  }
  cues.Shutdown();
  // The second opening wrote the file anew: one whole stereo down cue.
  const auto samples = Output();
  EXPECT_GE(CountNear(samples, kDown), 2 * 44100 * kCueMs / 1000 * 95 / 100);
  EXPECT_EQ(CountNear(samples, kUp), 0);
}

TEST_F(SoundCuesTest, TheRepositoryCuesLoadAndSound) {
  const auto repository_cues = std::filesystem::path(SKYVIGIL_TEST_DATA) / ".." / ".." / "snd";
  for (Cue cue : {Cue::alert, Cue::up, Cue::down, Cue::condition}) {
    SCOPED_TRACE(static_cast<int>(cue));
    SoundCues cues(repository_cues);
    EXPECT_TRUE(cues.Play(cue));
    EXPECT_TRUE(cues.IsLoaded(cue));
    Wait(600);
    cues.Shutdown();
    EXPECT_GT(CountNonSilent(Output()), 44100 / 10);  // at least 0.1 s of sound
  }
}

}  // namespace
}  // namespace skyvigil
