// The order of the speech layers and what each kind of text asks of them.
#include "platform/win32/speech_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace skyvigil {
namespace {

// Each layer that runs and does not refuse takes the text. `asked` records
// "<layer>?" for each question whether it runs and "<layer>!" for each text
// handed over, in order.
struct DeliveryCase {
  const char* what;
  std::set<SpeechBackend> running;
  std::set<SpeechBackend> refusing;  // fails, or hangs and is given up
  std::string asked;
  std::optional<SpeechBackend> taken;
};

TEST(SpeechChoiceTest, TheFirstLayerThatRunsAndTakesTheTextIsTheLastOneAsked) {
  using enum SpeechBackend;
  const std::vector<DeliveryCase> cases = {
      {"Tolk beside the program, whatever runs",
       {tolk, nvda, jaws, narrator},
       {},
       "tolk? tolk!",
       tolk},
      {"Tolk refuses: NVDA behind it", {tolk, nvda}, {tolk}, "tolk? tolk! nvda? nvda!", nvda},
      {"NVDA answers: no later reader is looked for",
       {nvda, jaws, narrator},
       {},
       "tolk? nvda? nvda!",
       nvda},
      {"NVDA's call fails: JAWS", {nvda, jaws}, {nvda}, "tolk? nvda? nvda! jaws? jaws!", jaws},
      {"JAWS", {jaws, narrator}, {}, "tolk? nvda? jaws? jaws!", jaws},
      {"JAWS hangs: Narrator",
       {jaws, narrator},
       {jaws},
       "tolk? nvda? jaws? jaws! narrator? narrator!",
       narrator},
      {"Narrator", {narrator}, {}, "tolk? nvda? jaws? narrator? narrator!", narrator},
      {"Narrator's raise fails: the system voice",
       {narrator},
       {narrator},
       "tolk? nvda? jaws? narrator? narrator! sapi!",
       sapi},
      {"no reader: the system voice, never asked whether it runs",
       {},
       {},
       "tolk? nvda? jaws? narrator? sapi!",
       sapi},
      {"not even the system voice", {}, {sapi}, "tolk? nvda? jaws? narrator? sapi!", std::nullopt},
  };
  for (const DeliveryCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string asked;
    auto note = [&asked](SpeechBackend layer, char mark) {
      asked += (asked.empty() ? "" : " ") + std::string(SpeechBackendName(layer)) + mark;
    };
    const std::optional<SpeechBackend> taken = DeliverInOrder(
        [&](SpeechBackend layer) {
          note(layer, '?');
          return c.running.contains(layer);
        },
        [&](SpeechBackend layer) {
          note(layer, '!');
          return !c.refusing.contains(layer);
        });
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(taken, c.taken);
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
