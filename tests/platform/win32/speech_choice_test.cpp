// The order of the speech layers.
#include "platform/win32/speech_choice.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace skyvigil
