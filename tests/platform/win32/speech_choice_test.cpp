// The order of the speech layers and what each kind of text asks of them.
#include "platform/win32/speech_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skyvigil {
namespace {

struct ChoiceCase {
  SpeechProbes probes;  // tolk, jaws, screen reader, notifications
  SpeechBackend chosen;
};

TEST(SpeechChoiceTest, TolkThenJawsThenNotificationsForAScreenReaderThenTheSystemVoice) {
  using enum SpeechBackend;
  const std::vector<ChoiceCase> cases = {
      {{true, true, true, true}, tolk},
      {{true, false, false, false}, tolk},
      {{false, true, true, true}, jaws},
      {{false, true, false, false}, jaws},
      {{false, false, true, true}, ui_automation},
      {{false, false, true, false}, sapi},  // a screen reader, but no notifications
      {{false, false, false, true}, sapi},  // notifications nobody would read
      {{false, false, false, false}, sapi},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.probes.tolk << c.probes.jaws << c.probes.screen_reader
                                      << c.probes.notifications);
    EXPECT_EQ(ChooseSpeechBackend(c.probes), c.chosen);
  }
}

TEST(SpeechChoiceTest, OnlyTheUsersOwnTextsInterruptAndBackgroundNotificationsMayWait) {
  struct Case {
    SpeechUrgency urgency;
    bool flush;
    int processing;
    std::wstring activity;
  };
  const std::vector<Case> cases = {
      {SpeechUrgency::interrupt, true, 3, L"Skyvigil"},         // MostRecent
      {SpeechUrgency::queued, false, 0, L"Skyvigil"},           // ImportantAll
      {SpeechUrgency::background, false, 2, L"Skyvigil.News"},  // All
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
      {tolk, false, false},          {tolk, true, true},  {jaws, false, false},
      {ui_automation, false, false}, {sapi, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.backend) << c.tolk_speaks_through_sapi);
    EXPECT_EQ(SilenceStopsLayer(c.backend, c.tolk_speaks_through_sapi), c.stops);
  }
}

}  // namespace
}  // namespace skyvigil
