// The order of the speech layers and what each kind of text asks of them.
#include "platform/win32/speech_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skyvigil {
namespace {

struct ChoiceCase {
  const char* what;
  SpeechProbes probes;  // tolk, nvda, jaws, narrator, notifications, screen reader flag
  SpeechBackend chosen;
};

TEST(SpeechChoiceTest, TolkThenNvdaThenJawsThenNarratorThenTheSystemVoice) {
  using enum SpeechBackend;
  const std::vector<ChoiceCase> cases = {
      {"Tolk beside the program, whatever runs", {true, true, true, true, true, true}, tolk},
      {"Tolk, no reader running", {true, false, false, false, false, false}, tolk},
      {"NVDA reachable", {false, true, false, false, true, true}, nvda},
      {"NVDA and JAWS both running", {false, true, true, false, true, true}, nvda},
      {"NVDA and Narrator both running", {false, true, false, true, true, false}, nvda},
      {"JAWS", {false, false, true, false, true, true}, jaws},
      {"JAWS and Narrator", {false, false, true, true, true, true}, jaws},
      {"Narrator, which never sets the flag", {false, false, false, true, true, false}, narrator},
      {"Narrator without notifications", {false, false, false, true, false, false}, sapi},
      {"a stale flag, no reader running", {false, false, false, false, true, true}, sapi},
      {"notifications nobody reads", {false, false, false, false, true, false}, sapi},
      {"nothing at all", {false, false, false, false, false, false}, sapi},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChooseSpeechBackend(c.probes), c.chosen);
  }
}

TEST(SpeechChoiceTest, OnlyTheUsersOwnTextsInterruptAndOnlyAlertsAreImportant) {
  struct Case {
    SpeechUrgency urgency;
    bool flush;
    int processing;
    std::wstring activity;
  };
  const std::vector<Case> cases = {
      {SpeechUrgency::interrupt, true, 2, L"Skyvigil"},         // All
      {SpeechUrgency::queued, false, 2, L"Skyvigil"},           // All
      {SpeechUrgency::background, false, 2, L"Skyvigil.News"},  // All
      {SpeechUrgency::alert, false, 0, L"Skyvigil.Alert"},      // ImportantAll
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.urgency));
    const SpeechDelivery delivery = DeliveryFor(c.urgency);
    EXPECT_EQ(delivery.flush, c.flush);
    EXPECT_EQ(delivery.notification_processing, c.processing);
    EXPECT_EQ(delivery.activity, c.activity);
  }
}

TEST(SpeechChoiceTest, SilencingStopsOnlyASystemVoice) {
  using enum SpeechBackend;
  struct Case {
    SpeechBackend backend;
    bool tolk_speaks_through_sapi;
    bool stops;
  };
  const std::vector<Case> cases = {
      {tolk, false, false}, {tolk, true, true},       {nvda, false, false},
      {jaws, false, false}, {narrator, false, false}, {sapi, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.backend) << c.tolk_speaks_through_sapi);
    EXPECT_EQ(SilenceStopsLayer(c.backend, c.tolk_speaks_through_sapi), c.stops);
  }
}

}  // namespace
}  // namespace skyvigil
