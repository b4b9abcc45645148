// The background refresh: answers reach the cities that are still there, by
// identity, whatever changed while they travelled.
#include "monitor/refresh.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "monitor/monitor_cycle.h"
#include "state/fetch.h"
#include "views/city_list.h"
#include "weather/cities_store.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;

constexpr char kParisAlert[] = "alert:Paris: Severe Storm. View the forecast For more.";

// Two typed cities, alerts on, the second selected.
struct RefreshBed {
  RefreshBed() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Paris"].alerts = {{"Severe", "Storm"}};
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
    for (const char* typed : {"Springfield", "Paris"}) {
      city c;
      c.name = typed;
      c.alerts = 1;
      h.app.state.cities.push_back(c);
    }
    RefreshCityList(h.app, false);
    h.ui.city_selection = 1;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const city& c : h.app.state.cities)
      names.push_back(c.name);
    return names;
  }

  AppHarness h;
};

struct MeanwhileCase {
  const char* label;
  std::function<void(AppHarness&)> meanwhile;  // while the timer's refresh is in flight
  std::vector<std::string> names;
  std::vector<std::string> lines;
  std::vector<std::string> events;
  std::vector<std::string> current_queries;
};

TEST(Refresh, AnswersReachOnlyTheCitiesStillThereAndKeepWhatChangedMeanwhile) {
  const std::string springfield = "Springfield, Illinois, United States of America";
  const std::vector<MeanwhileCase> cases = {
      {"nothing changed",
       [](AppHarness&) {},
       {springfield, "Paris, Ile-de-France, France"},
       {"Springfield: Sunny, 70 degrees F", "Paris: Light rain, 50 degrees F"},
       {"cue:alert", kParisAlert},
       {"Springfield", "Paris"}},
      {"a city removed gets nothing",
       [](AppHarness& h) {
         h.ui.yes_no_answers = {true};
         RunCommand(h.app, kRemoveCity);
       },
       {springfield},
       {"Springfield: Sunny, 70 degrees F"},
       {},
       {"Springfield", "Paris"}},
      {"a city added is fetched by its own refresh afterwards",
       [](AppHarness& h) {
         h.ui.text_answers = {"Oslo"};
         RunCommand(h.app, kAddCity);
         // Listed at once, before any answer.
         EXPECT_EQ(h.ui.city_lines.size(), 3u);
       },
       {springfield, "Paris, Ile-de-France, France", "Oslo, Oslo, Norway"},
       {"Springfield: Sunny, 70 degrees F", "Paris: Light rain, 50 degrees F",
        "Oslo: Snow, 23 degrees F"},
       {"cue:alert", kParisAlert, "say:Added Oslo, Oslo, Norway"},
       {"Springfield", "Paris", "Oslo"}},
      {"a switch and the unit changed are kept",
       [](AppHarness& h) {
         RunCommand(h.app, kToggleMonitor);
         RunCommand(h.app, kToggleUnit);
         h.announcer.events.clear();
       },
       {springfield, "Paris, Ile-de-France, France"},
       {"Springfield: Sunny, 21 Degrees C", "Paris: Light rain, 10 Degrees C"},
       {"cue:alert", kParisAlert, "cue:condition", "news:Paris: Light rain", "cue:up",
        "news:Paris: 50 Degrees"},
       {"Springfield", "Paris"}},
  };
  for (const MeanwhileCase& c : cases) {
    SCOPED_TRACE(c.label);
    RefreshBed fresh;
    AppHarness& run = fresh.h;
    OnRefreshTimer(run.app);
    c.meanwhile(run);
    run.FinishRefreshes();
    EXPECT_EQ(fresh.Names(), c.names);
    EXPECT_EQ(run.ui.city_lines, c.lines);
    EXPECT_EQ(run.announcer.events, c.events);
    EXPECT_EQ(run.Queries("/current.json"), c.current_queries);
    std::vector<city> saved;
    LoadCities(saved, run.app.state.paths.cities_file, [](std::vector<city>&) {});
    ASSERT_EQ(saved.size(), c.names.size());
    EXPECT_EQ(saved.back().name, c.names.back());
    EXPECT_EQ(saved.back().monitor, run.app.state.cities.back().monitor);
  }
}

TEST(Refresh, RefreshesAskedForDuringOneRunOnceAfterItThenEachFollowUpInOrder) {
  RefreshBed bed;
  AppHarness& h = bed.h;
  std::vector<std::string> steps;
  auto step = [&steps](std::string name) {
    return [&steps, name](App& app) {
      steps.push_back(name + ":" + std::to_string(app.state.refresh.running));
    };
  };
  RefreshCities(h.app, RefreshMode::new_cities, step("first"));
  RefreshCities(h.app, RefreshMode::new_cities, step("second"));
  RefreshCities(h.app, RefreshMode::all_cities, step("third"));
  h.FinishRefreshes();
  // The waiting refresh covers every city either one asked for.
  EXPECT_THAT(h.http.batch_sizes, ElementsAre(4u, 4u));
  EXPECT_THAT(steps, ElementsAre("first:0", "second:0", "third:0"));
  // Each refresh hands its answers' memory back once they are gone.
  EXPECT_EQ(h.ui.memory_releases, 2);
  EXPECT_THAT(h.announcer.events,
              ElementsAre("cue:alert", kParisAlert, "cue:alert",
                          "alert:Paris, Ile-de-France, France: Severe Storm. View the forecast For "
                          "more."));
}

TEST(Refresh, ExitDuringARefreshStopsItAndNothingIsAppliedOrSaved) {
  RefreshBed bed;
  AppHarness& h = bed.h;
  OnRefreshTimer(h.app);
  h.gate.Run([](App& app) { RunCommand(app, kExit); });
  ASSERT_TRUE(AwaitFetchWorkers(h.app, std::chrono::seconds(30)));  // as after the loop
  h.main_thread.RunPosted();
  EXPECT_TRUE(h.http.aborted);
  EXPECT_THAT(bed.Names(), ElementsAre("Springfield", "Paris"));
  EXPECT_THAT(h.announcer.events, ElementsAre("SAY!:Exiting"));
  EXPECT_FALSE(std::filesystem::exists(h.app.state.paths.cities_file));
  // Nothing new starts either.
  RefreshCities(h.app, RefreshMode::all_cities);
  EXPECT_FALSE(h.app.state.refresh.running);
  EXPECT_THAT(h.http.batch_sizes, ElementsAre(4u));
}

TEST(Refresh, StartShowsTheSavedWeatherAtOnceAndSpeaksAsBeforeAfterTheFirstRefresh) {
  RefreshBed bed;
  AppHarness& h = bed.h;
  city saved = h.CityAt("Paris", 1, 1);
  saved.weather.condition.text = "Fog";
  saved.weather.temp_f = 50;
  saved.condition = "Clear";
  saved.temp = 50;
  h.app.state.cities = {saved};
  FirstRefresh(h.app);
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Fog, 50 degrees F"));
  OnIdle(h.app);  // the saved weather is not announced before the first refresh
  EXPECT_THAT(h.announcer.events, ::testing::IsEmpty());
  h.FinishRefreshes();
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_THAT(h.announcer.events,
              ElementsAre("cue:alert",
                          "alert:Paris, Ile-de-France, France: Severe Storm. View the forecast For "
                          "more.",
                          "cue:condition", "news:Paris: Light rain"));
}

}  // namespace
}  // namespace skyvigil
