// The start's news held until the window was shown and activated for a moment.
#include "app/startup_news.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/start_program.h"
#include "fakes/app_harness.h"
#include "fakes/fake_announcer.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeAnnouncer;
using ::testing::IsEmpty;

// What the user asks for passes at once; news, alerts and cues wait, in their
// order, and keep it behind what the user hears meanwhile; a key press does
// not drop what was never heard.
TEST(StartupNewsHold, HoldsNewsAlertsAndCuesUntilReleasedThenPassesAll) {
  FakeAnnouncer inner;
  StartupNewsHold hold(inner);
  std::vector<std::string> fates;
  hold.PlayCue(Cue::alert);
  hold.SpeakAlert("London: Flood alert. View the forecast For more.",
                  [&fates](bool heard) { fates.push_back(heard ? "heard" : "dropped"); });
  hold.SpeakInBackground("Paris: Sunny");
  hold.Speak("Celcius", false);
  hold.Silence();
  EXPECT_THAT(inner.events, ElementsAre("say:Celcius", "hush"));
  EXPECT_TRUE(hold.holding());
  hold.Release();
  hold.Release();  // once only
  hold.SpeakInBackground("Paris: 69.8 Degrees");
  hold.PlayCue(Cue::up);
  EXPECT_FALSE(hold.holding());
  EXPECT_THAT(inner.events, ElementsAre("say:Celcius", "hush", "cue:alert",
                                        "alert:London: Flood alert. View the forecast For more.",
                                        "news:Paris: Sunny", "news:Paris: 69.8 Degrees", "cue:up"));
  EXPECT_THAT(fates, ElementsAre("heard"));
}

// London's alert comes with the start's refresh; the window shown or not.
struct HeldStart {
  explicit HeldStart(int64_t window_hidden) : h(/*hold_start_news=*/true) {
    h.places["London"] = {"London", "City of London", "United Kingdom", "Light rain", 60, 15.6};
    h.places["London"].alerts = {{"Moderate", "Flood alert"}};
    paths = h.app.state.paths;
    paths.marker_file = h.folder / "running";
    h.app.state.paths = {};
    city london = h.CityAt("London", 0, 1);
    EXPECT_TRUE(SaveCities({london}, paths.cities_file));
    Preferences prefs;
    prefs.window_hidden = window_hidden;
    SavePreferences(prefs, paths.prefs_file);
    desktop.build_services = [this]() -> App& { return h.app; };
    desktop.build_main_window = [](App&, const std::string&) {};
    desktop.show_main_window = [this] { steps.push_back("shown"); };
    desktop.run_event_loop = [] { return 0; };
  }

  // The start, its refresh applied.
  void Start() {
    InstanceLock marker;
    ShowRequestListener show_requests;
    StartProgram(paths, marker, show_requests, h.gate, desktop);
    h.FinishRefreshes();
  }

  // The timers run out; what they posted runs.
  void TimePasses() {
    h.main_thread.RunDelayed();
    h.main_thread.RunPosted();
  }

  AppHarness h;
  AppPaths paths;
  DesktopStart desktop;
  std::vector<std::string> steps;
};

const std::vector<std::string> kLondonAlert = {
    "cue:alert",
    "alert:London, City of London, United Kingdom: Moderate Flood alert. View the forecast For "
    "more."};

TEST(StartupNews, FollowsAMomentAfterTheShownWindowIsActivated) {
  HeldStart start(0);
  start.Start();
  EXPECT_THAT(start.steps, ElementsAre("shown"));
  EXPECT_THAT(start.h.announcer.events, IsEmpty());
  const auto& delays = start.h.main_thread.delays;  // the selection's save has one too
  ASSERT_FALSE(delays.empty());
  EXPECT_EQ(delays.back(), kNewsAfterShow);
  const size_t timers = delays.size();
  start.h.gate.Run(&OnMainWindowActivated);
  EXPECT_EQ(delays.size(), timers + 1);
  EXPECT_EQ(delays.back(), kNewsAfterActivation);
  EXPECT_THAT(start.h.announcer.events, IsEmpty());
  start.TimePasses();
  EXPECT_THAT(start.h.announcer.events, ElementsAreArray(kLondonAlert));
  // Later activations wait for nothing.
  start.h.gate.Run(&OnMainWindowActivated);
  EXPECT_EQ(delays.size(), timers + 1);
}

TEST(StartupNews, ComesAtOnceWhenTheWindowStartsHidden) {
  HeldStart start(1);
  start.Start();
  EXPECT_THAT(start.steps, IsEmpty());
  EXPECT_THAT(start.h.announcer.events, ElementsAreArray(kLondonAlert));
}

TEST(StartupNews, NothingHeldIsSaidAfterTheExit) {
  HeldStart start(0);
  start.Start();
  start.h.gate.Run(&OnMainWindowActivated);
  start.h.gate.Run(&OnMainWindowClose);
  start.TimePasses();
  EXPECT_THAT(start.h.announcer.events, ElementsAre("SAY!:Exiting"));
}

}  // namespace
}  // namespace skyvigil
