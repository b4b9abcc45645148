// The Windows announcer under wine: speech through a recording Tolk.dll beside
// the test program, the other speech layers failing quietly, and the cues.
#include "platform/win32/windows_announcer.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"
#include "fakes/wav_bytes.h"
#include "platform/win32/windows_speech.h"

namespace skyvigil {
namespace {

using platform_test::TempDir;
using platform_test::WriteBytes;
using ::testing::ElementsAre;

std::vector<std::string> Lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

TEST(WindowsAnnouncerTest, TolkLoadsOnceBeforeTheFirstTextAndSpeaksExactTextsInOrder) {
  TempDir folder;
  const std::filesystem::path log = folder / "tolk.log";
  ASSERT_TRUE(::SetEnvironmentVariableW(L"SKYVIGIL_TOLK_LOG", log.c_str()));
  {
    WindowsAnnouncer announcer(folder.path());
    // The first text comes from another thread, as the update check's does.
    std::thread([&] { announcer.Speak("Exiting", true); }).join();
    announcer.Speak("", false);
    announcer.Speak("Z\xc3\xbcrich: 72 Degrees", false);
    announcer.Speak("Copied", true);
    announcer.Speak("Paris: Light rain", false);
    announcer.SpeakInBackground("London: Sunny");
    announcer.Shutdown();
    announcer.Speak("After shutdown", false);
  }
  EXPECT_THAT(Lines(log),
              ElementsAre("Tolk_Load", "Tolk_TrySAPI 1", "Tolk_Output 1 Exiting",
                          "Tolk_Output 0 Z\xc3\xbcrich: 72 Degrees", "Tolk_Output 1 Copied",
                          "Tolk_Output 0 Paris: Light rain", "Tolk_Output 0 London: Sunny"));
}

// A text queued before Silence may or may not have been handed over yet; what
// follows it is exact.
TEST(WindowsAnnouncerTest, SilenceStopsTolksSystemVoiceButLeavesAScreenReaderAlone) {
  struct Case {
    const char* reader;  // what Tolk says it speaks through
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {"SAPI", {"Tolk_Load", "Tolk_TrySAPI 1", "Tolk_Silence", "Tolk_Output 0 Second"}},
      {"NVDA", {"Tolk_Load", "Tolk_TrySAPI 1", "Tolk_Output 0 Second"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reader);
    TempDir folder;
    const std::filesystem::path log = folder / "tolk.log";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"SKYVIGIL_TOLK_LOG", log.c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("SKYVIGIL_TOLK_READER", c.reader));
    {
      WindowsAnnouncer announcer(folder.path());
      announcer.SpeakInBackground("First");
      announcer.Silence();
      announcer.Speak("Second", false);
      announcer.Shutdown();
    }
    ::SetEnvironmentVariableA("SKYVIGIL_TOLK_READER", nullptr);
    std::vector<std::string> lines = Lines(log);
    std::erase(lines, "Tolk_Output 0 First");
    EXPECT_EQ(lines, c.log);
  }
}

// At exit the notification window waits for this: "Exiting", queued before,
// has reached its layer when the wait ends.
TEST(WindowsAnnouncerTest, TheWaitForTheLastWordsEndsOnceTheyWereHandedOver) {
  TempDir folder;
  const std::filesystem::path log = folder / "tolk.log";
  ASSERT_TRUE(::SetEnvironmentVariableW(L"SKYVIGIL_TOLK_LOG", log.c_str()));
  WindowsSpeech speech;  // Tolk from the program's folder
  EXPECT_TRUE(speech.WaitHandedOver(std::chrono::milliseconds(0)));  // nothing queued
  speech.Say("Monitor sounds on", false);
  speech.Say("Exiting", true);
  ASSERT_TRUE(speech.WaitHandedOver(std::chrono::seconds(30)));
  EXPECT_THAT(Lines(log), ElementsAre("Tolk_Load", "Tolk_TrySAPI 1",
                                      "Tolk_Output 0 Monitor sounds on", "Tolk_Output 1 Exiting"));
  speech.Shutdown();
}

TEST(WindowsCuesTest, UsableCuesPlayAndBadFilesStaySilent) {
  TempDir folder;
  WriteBytes(folder / "alert.wav", testing::ToneWav(5 * 22050));  // long enough to still sound
  WriteBytes(folder / "up.wav", testing::ToneWav(220));
  WriteBytes(folder / "condition.wav", "not a wav at all");
  // down.wav is missing.
  WindowsCues cues(folder.path());

  EXPECT_TRUE(cues.IsLoaded(Cue::alert));
  EXPECT_TRUE(cues.IsLoaded(Cue::up));
  EXPECT_FALSE(cues.IsLoaded(Cue::down));
  EXPECT_FALSE(cues.IsLoaded(Cue::condition));
  EXPECT_FALSE(cues.IsEngineRunning());  // nothing started before the first cue

  const bool engine = cues.Play(Cue::alert);
  if (!engine)
    GTEST_SKIP() << "no audio engine here (XAudio2 needs an audio device)";
  EXPECT_TRUE(cues.IsEngineRunning());
  EXPECT_TRUE(cues.Play(Cue::alert));  // restarted while it sounds
  EXPECT_TRUE(cues.Play(Cue::up));     // mixed with it
  EXPECT_FALSE(cues.Play(Cue::down));
  EXPECT_FALSE(cues.Play(Cue::condition));
  cues.StopWhenQuiet();  // the idle timer's work, early: a cue still sounds
  EXPECT_TRUE(cues.IsEngineRunning());

  cues.Shutdown();
  EXPECT_FALSE(cues.IsEngineRunning());
  EXPECT_FALSE(cues.Play(Cue::alert));
}

}  // namespace
}  // namespace skyvigil
