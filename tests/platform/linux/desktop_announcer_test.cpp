// The desktop Announcer with both of its outputs live: a private
// speech-dispatcher that records texts, and SDL's "disk" audio driver.
#include "platform/linux/desktop_announcer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <latch>
#include <thread>

#include "fakes/temp_dir.h"
#include "platform/linux/audio_test_support.h"
#include "platform/linux/speechd_testbed.h"

namespace skyvigil {
namespace {

using platform_test::CountNear;
using platform_test::CountNonSilent;
using platform_test::ScopedEnv;
using std::chrono::milliseconds;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class DesktopAnnouncerTest : public ::testing::Test {
 protected:
  DesktopAnnouncerTest()
      : driver_("SDL_AUDIODRIVER", "disk"),
        output_file_("SDL_DISKAUDIOFILE", (dir_ / "output.raw").string()),
        address_("SPEECHD_ADDRESS", server_.address()) {
    std::filesystem::create_directory(cues_);
    platform_test::WriteLevelWav(cues_ / "alert.wav", 1000, 300);
    platform_test::WriteLevelWav(cues_ / "up.wav", 3000, 300);
    platform_test::WriteLevelWav(cues_ / "condition.wav", 7000, 300);
    // No down.wav.
  }

  void SetUp() override { ASSERT_TRUE(server_.started()); }

  std::vector<int16_t> Output() const { return platform_test::ReadSamples(dir_ / "output.raw"); }

  platform_test::TempDir dir_;
  ScopedEnv driver_;
  ScopedEnv output_file_;
  platform_test::SpeechdTestbed server_;
  ScopedEnv address_;
  std::filesystem::path cues_ = dir_ / "snd";
};

TEST_F(DesktopAnnouncerTest, FirstSpeechFromTwoThreadsAtOnceConnectsOnceAndSpeaksBoth) {
  DesktopAnnouncer announcer(cues_);
  const int sockets_before = platform_test::OpenSockets();
  std::latch start(2);
  std::thread update([&] {
    start.arrive_and_wait();
    announcer.Speak("Downloading update", false);
  });
  start.arrive_and_wait();
  announcer.Speak("Oslo: Light snow", false);
  update.join();

  EXPECT_EQ(platform_test::OpenSockets() - sockets_before, 1);
  EXPECT_THAT(server_.WaitForTexts(2),
              UnorderedElementsAre("Downloading update", "Oslo: Light snow"));
}

TEST_F(DesktopAnnouncerTest, SilenceBeforeAnySpeechConnectsNothingAndABackgroundTextConnects) {
  DesktopAnnouncer announcer(cues_);
  const int sockets_before = platform_test::OpenSockets();
  announcer.Silence();
  EXPECT_EQ(platform_test::OpenSockets() - sockets_before, 0);

  announcer.SpeakInBackground("London: Minor Flood alert");
  EXPECT_EQ(platform_test::OpenSockets() - sockets_before, 1);
  EXPECT_THAT(server_.WaitForTexts(1), ElementsAre("London: Minor Flood alert"));
}

TEST_F(DesktopAnnouncerTest, CueAndSpeechSoundTogetherAndAMissingCueOnlySilencesItself) {
  DesktopAnnouncer announcer(cues_);
  announcer.PlayCue(Cue::down);  // no file: nothing sounds, the text still goes
  announcer.Speak("Oslo: 20 Degrees", false);
  announcer.PlayCue(Cue::condition);
  announcer.Speak("Oslo: Light snow", false);
  std::this_thread::sleep_for(milliseconds(600));
  announcer.Shutdown();

  EXPECT_THAT(server_.WaitForTexts(2), ElementsAre("Oslo: 20 Degrees", "Oslo: Light snow"));
  const auto samples = Output();
  EXPECT_GT(CountNear(samples, 7000), 0);
  EXPECT_EQ(CountNonSilent(samples), CountNear(samples, 7000));
}

TEST_F(DesktopAnnouncerTest, SpeechStillWorksAfterTheSoundEngineShutDown) {
  DesktopAnnouncer announcer(cues_);
  announcer.Shutdown();
  announcer.PlayCue(Cue::alert);
  announcer.Speak("Exiting", true);
  EXPECT_THAT(server_.WaitForTexts(1), ElementsAre("Exiting"));
}

}  // namespace
}  // namespace skyvigil
