// The commands and events of the main window, driven through the fakes.
#include "app/commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "fakes/app_harness.h"
#include "fakes/screen_text.h"
#include "monitor/refresh.h"
#include "present/format.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using testing::Described;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["62701"] = h.places["Springfield"];
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
  }

  // Starts with the given cities shown and the first one selected.
  void Start(std::vector<city> cities) {
    h.app.state.cities = std::move(cities);
    h.app.state.main_window.started = true;
    h.Draw();
  }

  void Select(int control, int index) {
    h.Run([control, index](App& app) { OnSelect(app, control, index); });
  }

  std::vector<std::string> CityLines() { return h.Drawn().main.cities.lines; }

  std::vector<city> Saved() {
    std::vector<city> saved;
    LoadCities(saved, h.app.state.paths.cities_file, [](std::vector<city>&) {});
    return saved;
  }

  AppHarness h;
};

TEST(CommandTable, MenusHoldTheirItemsInOrder) {
  std::vector<std::string> items;
  for (const CommandInfo& info : MainWindowCommands()) {
    items.push_back(std::string(info.menu) + "/" + std::to_string(info.number) + "/" +
                    std::string(info.item_text) + (info.system_wide ? " [system-wide]" : ""));
  }
  EXPECT_THAT(
      items,
      ElementsAre("Application/5/Hide Window (Escape)", "Application/15/Check for Updates",
                  "Application/19/Announcement History (Control+H)", "Application/7/Exit",
                  "City/4/Add City (Control+N)", "City/8/Remove City (Delete)",
                  "City/14/Search for City (Control+S)", "City/6/Toggle Skyvigil (Control+M)",
                  "City/12/Toggle weather alerts (Control+G)", "City/11/View forecast (Enter)",
                  "City/24/View next hours (Shift+Enter)",
                  "City/13/Copy focused item to clipboard (Control+Shift+C)",
                  "City/28/Speak Summary (Control+Shift+W)",
                  "Settings/9/Toggle temperature display unit (Control+1)",
                  "Settings/10/Set monitor temperature difference (Control+2)",
                  "Settings/16/Toggle monitor sounds (control+shift+m)",
                  "Settings/20/Speak Each Alert Once", "Settings/25/Announce Rain Ahead",
                  "Settings/26/Daily Briefing...", "Settings/29/Quiet Hours...",
                  "Settings/21/Weather Service Key...", "Settings/18/Start at Login",
                  "Settings/22/Larger Text (Control+Plus)",
                  "Settings/23/Smaller Text (Control+Minus)",
                  "Settings/30/Speak Summary from Any Program (Control+Alt+Shift+W) "
                  "[system-wide]",
                  "Help/34/Keyboard Shortcuts", "Help/35/About Skyvigil"));
}

// A row without a handler would make its menu item and shortcut do nothing.
TEST(CommandTable, EveryRowHasAHandlerAndANumberOfItsOwn) {
  std::set<int> numbers;
  for (const CommandInfo& info : MainWindowCommands()) {
    EXPECT_NE(info.run, nullptr) << info.number;
    EXPECT_TRUE(numbers.insert(info.number).second) << info.number << " listed twice";
  }
  EXPECT_EQ(numbers.size(), 27u);
  EXPECT_FALSE(IsCommand(17));
}

// What the desktops report changes the state only when it names what the
// window shows; an event echoed with what the core holds changes nothing.
TEST_F(CommandsTest, EventsMoveTheSelectionAndTheFocusOnlyWithinWhatIsShown) {
  const std::string paris = "No weather yet for Paris.";
  const struct {
    const char* event;
    std::function<void(App&)> run;
    std::vector<std::string> changes;
  } cases[] = {
      {"a city selected: its report from its first line",
       [](App& a) { OnSelect(a, kCityList, 1); },
       {"select 1 1", "text 2: Weather for Paris", "lines 3: " + paris, "select 3 0",
        "text 4: " + paris, "tooltip Paris - Skyvigil"}},
      {"the city selected already", [](App& a) { OnSelect(a, kCityList, 0); }, {}},
      {"a line past the list", [](App& a) { OnSelect(a, kCityList, 2); }, {}},
      {"a report line: the box shows it",
       [](App& a) { OnSelect(a, kReportList, 2); },
       {"select 3 2", "text 4: Temperature: 70 degrees F"}},
      {"a list of no open window", [](App& a) { OnSelect(a, kForecastList, 0); }, {}},
      {"the focus in the report", [](App& a) { OnFocus(a, kReportList); }, {"focus 3"}},
      {"the focus in no open window", [](App& a) { OnFocus(a, kResultsAdd); }, {}},
      {"a window closed that is not open", [](App& a) { OnWindowClose(a, WindowKind::alert); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    AppHarness run;
    run.places = h.places;
    city paris_city;
    paris_city.name = "Paris";
    run.app.state.cities = {run.CityAt("Springfield"), paris_city};
    run.app.state.main_window.started = true;
    run.Draw();
    run.ui.changes.clear();
    run.Run(c.run);
    EXPECT_EQ(Described(run.ui.changes), c.changes);
  }
}

// Steps of 25 from 100 to 300 percent, said each time (the ends too), shown
// and saved.
TEST_F(CommandsTest, TextSizeStepsWithinItsRangeAndIsSaved) {
  Start({h.CityAt("Paris")});
  const struct {
    int command;
    int64_t before;
    int after;
  } cases[] = {
      {kLargerText, 100, 125},  {kLargerText, 275, 300},  {kLargerText, 300, 300},
      {kSmallerText, 125, 100}, {kSmallerText, 100, 100}, {kSmallerText, 300, 275},
      {kLargerText, 999, 300},  {kSmallerText, -5, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    h.app.state.prefs.text_size = c.before;
    h.announcer.events.clear();
    RunCommand(h.app, c.command);
    EXPECT_THAT(h.announcer.events,
                ElementsAre("SAY!:Text size " + std::to_string(c.after) + " percent"));
    EXPECT_EQ(h.app.state.prefs.text_size, c.after);
  }
  EXPECT_NE(h.ReadFile("prefs.ini").find("cities_index = 0\r\ntext_size = 100\r\n[monitors]"),
            std::string::npos);
}

TEST_F(CommandsTest, RemovingACityAsksFirstAndNoKeepsIt) {
  Start({h.CityAt("Springfield"), h.CityAt("Paris")});
  Select(kCityList, 1);
  h.ui.yes_no_answers = {false};
  RunCommand(h.app, kRemoveCity);
  EXPECT_THAT(
      h.ui.dialogs,
      ElementsAre("Remove City|Are you sure you wish to remove Paris, Ile-de-France, France?"));
  EXPECT_EQ(h.app.state.cities.size(), 2u);

  h.ui.yes_no_answers = {true};
  RunCommand(h.app, kRemoveCity);
  ASSERT_EQ(h.app.state.cities.size(), 1u);
  EXPECT_EQ(Saved().size(), 1u);
  EXPECT_EQ(h.app.state.main_window.selected_city, 0);
  EXPECT_EQ(h.app.state.main_window.report_city, 0);
}

TEST_F(CommandsTest, RemovingTheLastCityAsksForANewOneAndFetchesIt) {
  Start({h.CityAt("Springfield")});
  h.ui.yes_no_answers = {true};
  h.ui.text_answers = {"Oslo"};
  RunCommand(h.app, kRemoveCity);
  h.FinishRefreshes();
  EXPECT_EQ(h.ui.dialogs.back(),
            "New City|Enter either a zip code or a city name to use with the program.|");
  ASSERT_EQ(h.app.state.cities.size(), 1u);
  EXPECT_EQ(h.app.state.cities[0].name, "Oslo, Oslo, Norway");
  EXPECT_EQ(h.app.state.cities[0].alerts, 1);
  EXPECT_THAT(CityLines(), ElementsAre("Oslo: Snow, 23 degrees F"));
  EXPECT_EQ(Saved()[0].name, "Oslo, Oslo, Norway");
}

TEST_F(CommandsTest, RemovingTheLastCityAndGivingNoneEndsTheProgram) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(""), std::optional<std::string>()}) {
    AppHarness run;
    run.app.state.cities = {h.CityAt("Springfield")};
    run.ui.yes_no_answers = {true};
    run.ui.text_answers = {answer};
    run.Run([](App& app) { RunCommand(app, kRemoveCity); });
    EXPECT_EQ(run.ui.dialogs.back(), "Alert!|You have to add a city to use the program.");
    std::vector<city> saved = {city{}};
    LoadCities(saved, run.app.state.paths.cities_file, [](std::vector<city>&) {});
    EXPECT_THAT(saved, IsEmpty());
    EXPECT_TRUE(run.process.marker_released);
    EXPECT_EQ(run.process.loop_quit_code, 0);
  }
}

TEST_F(CommandsTest, UnitCyclesThroughFourNamesAndRedrawsTemperatures) {
  Start({h.CityAt("Springfield")});
  const std::vector<std::pair<std::string, std::string>> steps = {
      {"say:Celcius", "Springfield: Sunny, 21 Degrees C"},
      {"say:Both (Celcius first)", "Springfield: Sunny, 21 degrees C (70 degrees F)"},
      {"say:Both (fahrenheit first)", "Springfield: Sunny, 70 degrees F (21 degrees C)"},
      {"say:fahrenheit", "Springfield: Sunny, 70 degrees F"}};
  for (const auto& [spoken, line] : steps) {
    h.announcer.events.clear();
    RunCommand(h.app, kToggleUnit);
    EXPECT_THAT(h.announcer.events, ElementsAre(spoken));
    EXPECT_THAT(CityLines(), ElementsAre(line));
  }
  EXPECT_EQ(h.app.state.prefs.celcius, 0);
  EXPECT_NE(h.ReadFile("prefs.ini").find("celcius = 0\r\n"), std::string::npos);

  h.app.state.prefs.celcius = 7;
  RunCommand(h.app, kToggleUnit);
  EXPECT_EQ(h.app.state.prefs.celcius, 0);
}

// The copy takes what the focused control shows: a report or secondary
// window's selected line, the forecast's box, else the whole report.
TEST_F(CommandsTest, CopyTakesWhatTheFocusedControlShows) {
  h.places.erase("62701");
  h.places["Springfield"].days = 1;
  Start({h.CityAt("Springfield"), h.CityAt("Paris")});
  Select(kReportList, 2);
  const std::string report = JoinedLines(h.Drawn().main.report.lines);
  const auto focus = [](int control) {
    return [control](AppHarness& a) { a.Run([control](App& app) { OnFocus(app, control); }); };
  };
  const struct {
    const char* focus;
    std::function<void(AppHarness&)> before;
    std::string copied;
  } cases[] = {
      {"report list", focus(kReportList), "Temperature: 70 degrees F"},
      {"detail box", focus(kDetailBox), "Temperature: 70 degrees F"},
      {"city list", focus(kCityList), report},
      {"the main window hidden", [](AppHarness& a) { a.Run(&ToggleWindow); }, report},
      {"a forecast just opened: its box is still empty",
       [](AppHarness& a) {
         a.Run([](App& app) { RunCommand(app, kViewForecast); });
         a.FinishFetches();
       },
       ""},
      {"the forecast's box after a move",
       [](AppHarness& a) {
         a.Run([](App& app) { OnSelect(app, kForecastList, 1); });
         a.Run([](App& app) { OnFocus(app, kForecastBox); });
       },
       "Sunny"},
      {"a forecast button", focus(kForecastCopy), report},
      {"the history's selected line",
       [](AppHarness& a) {
         a.Run([](App& app) { RunCommand(app, kAnnouncementHistory); });
         a.Run([](App& app) { OnSelect(app, kHistoryList, 1); });
       },
       "09:30 Copied"},
  };
  h.clock.now = {9, 30};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.focus);
    c.before(h);
    h.ui.clipboard = "-";
    h.announcer.events.clear();
    RunCommand(h.app, kCopy);
    EXPECT_EQ(h.ui.clipboard, c.copied);
    EXPECT_THAT(h.announcer.events, ElementsAre("SAY!:Copied"));
  }
}

// "Copy forecast" and "Copy all" copy the whole list, unsaid.
TEST_F(CommandsTest, TheCopyButtonsTakeTheWholeListSilently) {
  h.places["Paris"].days = 2;
  Start({h.CityAt("Paris")});
  const struct {
    int open;
    int copy;
    bool service_down;
    size_t lines;
  } cases[] = {
      {kViewForecast, kCopyForecast, false, 2 * 14 + 1},
      {kViewNextHours, kCopyAll, true, 0},
  };
  for (const auto& c : cases) {
    h.service_down = c.service_down;
    RunCommand(h.app, c.open);
    h.FinishFetches();
    h.announcer.events.clear();
    h.ui.clipboard = "-";
    RunCommand(h.app, c.copy);
    EXPECT_EQ(h.ui.clipboard, JoinedLines(h.Drawn().secondary->list.lines));
    EXPECT_EQ(h.Drawn().secondary->list.lines.size(), c.lines);
    EXPECT_THAT(h.announcer.events, IsEmpty());
  }
}

TEST_F(CommandsTest, HideAndShowRememberTheStateAtOnce) {
  Start({h.CityAt("Springfield")});
  RunCommand(h.app, kHideWindow);
  EXPECT_EQ(h.Drawn().main.shown, MainWindowShown::hidden);
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 1\r\n"), std::string::npos);
  h.Run(&OnTrayIconClick);
  EXPECT_EQ(h.Drawn().main.shown, MainWindowShown::shown);
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 0\r\n"), std::string::npos);
  // Hiding is said; showing is announced by the screen reader itself.
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Skyvigil hidden"));
}

// Without a tray a hidden window could not come back: it is minimised, and
// the reason said the first time only; the saved state stays "shown".
TEST_F(CommandsTest, WithoutATrayEscapeMinimisesAndSaysWhyOnce) {
  h.app.state.desktop.tray = false;
  Start({h.CityAt("Springfield")});
  h.ui.changes.clear();
  RunCommand(h.app, kHideWindow);
  h.Draw();
  RunCommand(h.app, kHideWindow);
  h.Draw();
  EXPECT_THAT(Described(h.ui.changes), ElementsAre("minimise main", "minimise main"));
  EXPECT_EQ(h.Drawn().main.shown, MainWindowShown::shown);
  EXPECT_FALSE(std::filesystem::exists(h.folder / "prefs.ini"));
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Skyvigil minimised. This desktop has no tray."));
}

TEST_F(CommandsTest, ASecondStartBringsTheWindowBackFocusedAndRemembersIt) {
  Start({h.CityAt("Springfield")});
  RunCommand(h.app, kHideWindow);
  h.ui.changes.clear();
  h.Run(&OnShowRequest);
  EXPECT_THAT(Described(h.ui.changes), ElementsAre("show main in front", "focus 1"));
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 0\r\n"), std::string::npos);
  // Already shown, it is only brought to the front: the settings stay untouched.
  std::filesystem::remove(h.folder / "prefs.ini");
  h.Run([](App& app) { OnFocus(app, kReportList); });
  h.ui.changes.clear();
  h.Run(&OnShowRequest);
  EXPECT_THAT(Described(h.ui.changes), ElementsAre("show main in front", "focus 1"));
  EXPECT_FALSE(std::filesystem::exists(h.folder / "prefs.ini"));
}

// The selection waits a second to be written, once for a run of arrow keys,
// but never past the window's hiding, the exit or a second start's show.
TEST_F(CommandsTest, TheSelectionIsWrittenASecondLaterOrBeforeHidingExitAndASecondStartsShow) {
  const std::pair<const char*, CommandHandlerFn> cases[] = {
      {"a second later", +[](App&) {}},
      {"hide", +[](App& app) { RunCommand(app, kHideWindow); }},
      {"exit", +[](App& app) { RunCommand(app, kExit); }},
      {"second start", &OnShowRequest},
  };
  for (const auto& [name, action] : cases) {
    SCOPED_TRACE(name);
    AppHarness run;
    run.app.state.cities = {h.CityAt("Springfield"), h.CityAt("Paris"), h.CityAt("Oslo")};
    run.Draw();
    for (int index : {1, 2, 1})
      run.Run([index](App& app) { OnSelect(app, kCityList, index); });
    EXPECT_FALSE(std::filesystem::exists(run.folder / "prefs.ini"));
    EXPECT_EQ(run.main_thread.delays,
              std::vector<std::chrono::milliseconds>{std::chrono::seconds(1)});
    run.Run(action);
    run.main_thread.RunDelayed();
    run.main_thread.RunPosted();
    EXPECT_NE(run.ReadFile("prefs.ini").find("cities_index = 1\r\n"), std::string::npos);
  }
}

// Said and checked as the process port leaves it, a failed switch included.
TEST_F(CommandsTest, StartAtLoginSaysAndChecksTheStateItIsLeftIn) {
  Start({h.CityAt("Springfield")});
  std::vector<bool> checked;
  auto switch_it = [&] {
    RunCommand(h.app, kStartAtLogin);
    const std::vector<int> on = h.Drawn().checked_commands;
    checked.push_back(std::find(on.begin(), on.end(), kStartAtLogin) != on.end());
  };
  switch_it();
  switch_it();
  h.process.start_at_login_fails = true;
  switch_it();
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Start at login on", "say:Start at login off",
                                              "say:Start at login off"));
  EXPECT_THAT(checked, ElementsAre(true, false, false));
}

// The command only asks; the gate ends the program once the handler returns,
// in one order for every way out, and runs nothing after it.
TEST_F(CommandsTest,
       ExitSaysExitingFirstStopsTheWorkClosesTheWindowReleasesTheMarkerThenEndsTheLoop) {
  for (CommandHandlerFn ask : {+[](App& app) { RunCommand(app, kExit); },
                               +[](App& app) { OnWindowClose(app, WindowKind::main); }}) {
    AppHarness run;
    run.places = h.places;
    run.app.state.cities = {run.CityAt("Springfield")};
    run.app.state.main_window.started = true;
    run.http.abort_log = run.process.log = &run.announcer.events;
    RefreshCities(run.app, RefreshMode::all_cities);  // a refresh in flight
    bool ran_after = false;
    run.Run([&run, &ran_after, ask](App& app) {
      ask(app);
      EXPECT_THAT(run.announcer.events, IsEmpty());  // not inside the handler
      run.gate.Run([&ran_after](App&) { ran_after = true; });
    });
    EXPECT_THAT(run.announcer.events,
                ElementsAre("SAY!:Exiting", "abort", "marker released", "loop quit 0"));
    const std::vector<std::string> changes = Described(run.ui.changes);
    EXPECT_THAT(std::vector(changes.end() - 2, changes.end()),
                ElementsAre("remove tray", "close main"));
    run.Run([&ran_after](App&) { ran_after = true; });
    run.gate.Idle();
    run.main_thread.RunPosted();
    EXPECT_FALSE(ran_after);
    EXPECT_THAT(run.announcer.events, ::testing::SizeIs(4));
  }
}

TEST_F(CommandsTest, AddingAPlaceAlreadyInTheListKeepsOneEntry) {
  Start({h.CityAt("Springfield"), h.CityAt("Paris")});
  Select(kCityList, 1);
  h.ui.text_answers = {"62701"};
  RunCommand(h.app, kAddCity);
  h.FinishRefreshes();
  EXPECT_EQ(h.ui.dialogs.back(), "Alert|You already have added this city to Skyvigil.");
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(Saved().size(), 2u);
  EXPECT_EQ(h.Drawn().main.cities.selected, 1);
  // Only the new city was fetched.
  EXPECT_THAT(h.Queries("/current.json"), ElementsAre("62701"));
}

TEST_F(CommandsTest, AddingANewPlaceAppendsItRefreshedAndKeepsTheSelection) {
  h.places["Oslo"].alerts = {{"Moderate", "Wind"}};
  Start({h.CityAt("Springfield")});
  h.ui.text_answers = {"Oslo"};
  RunCommand(h.app, kAddCity);
  EXPECT_THAT(CityLines(), ElementsAre("Springfield: Sunny, 70 degrees F", "Oslo"));
  h.FinishRefreshes();
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(h.app.state.cities[1].name, "Oslo, Oslo, Norway");
  EXPECT_EQ(h.app.state.cities[1].monitor, 0);
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_EQ(h.app.state.main_window.selected_city, 0);
  EXPECT_THAT(h.announcer.events,
              ElementsAre("cue:alert", "alert:Oslo: Moderate Wind. View the forecast For more.",
                          "say:Added Oslo, Oslo, Norway"));
  EXPECT_EQ(Saved()[1].name, "Oslo, Oslo, Norway");
}

TEST_F(CommandsTest, AddingAPlaceTheServiceDoesNotKnowOrCannotAskSaysWhatHappened) {
  const struct {
    std::string typed;
    bool reachable;
    std::vector<std::string> said;
  } cases[] = {
      {"Atlantis", true, {"say:Not found: Atlantis"}},
      // The service's state is told instead; the place may well exist.
      {"Oslo",
       false,
       {"news:The weather service cannot be reached; check the network connection."}},
      // Already in the list under the name the service gives: the dialog says it.
      {"Springfield", true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Start({h.CityAt("Springfield")});
    h.app.state.service_problem = ServiceProblem::none;
    const auto weather = h.http.answer;
    if (!c.reachable)
      h.http.answer = [](const HttpRequest&) { return HttpResponse{}; };
    h.ui.text_answers = {c.typed};
    h.announcer.events.clear();
    RunCommand(h.app, kAddCity);
    h.FinishRefreshes();
    h.http.answer = weather;
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAreArray(c.said));
  }
}

TEST_F(CommandsTest, CancellingTheAddPromptKeepsTwinCitiesAndTheirSwitches) {
  Start({h.CityAt("Paris"), h.CityAt("Springfield", 0, 1), h.CityAt("Springfield", 1, 0)});
  h.ui.text_answers = {std::nullopt};
  RunCommand(h.app, kAddCity);
  h.FinishRefreshes();
  EXPECT_THAT(h.ui.dialogs, ElementsAre("New City|Enter either a zip code or a city name to use "
                                        "with the program.|"));
  ASSERT_EQ(h.app.state.cities.size(), 3u);
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_EQ(h.app.state.cities[2].monitor, 1);
}

TEST_F(CommandsTest, StartWithoutSavedCitiesAsksForOneAndShowsIt) {
  h.ui.text_answers = {"Paris"};
  LoadSettingsAndCities(h.app);
  EXPECT_EQ(h.ReadFile("prefs.ini"),
            "\xEF\xBB\xBF\r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\ncities_index = "
            "0\r\n[monitors]\r\ntemp_diff = 10\r\nmonitor_sounds = 1\r\n");
  ASSERT_EQ(h.app.state.cities.size(), 1u);
  FirstRefresh(h.app);
  h.FinishRefreshes();
  EXPECT_THAT(CityLines(), ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(Saved()[0].name, "Paris, Ile-de-France, France");
}

// Removing the last city leaves "[]"; the next start asks as a first one does.
TEST_F(CommandsTest, StartWithTheEmptyListLeftByRemovingTheLastCityAsksForOne) {
  {
    std::ofstream out(h.app.state.paths.cities_file, std::ios::binary);
    out << "[]";
  }
  h.ui.text_answers = {"Paris"};
  LoadSettingsAndCities(h.app);
  FirstRefresh(h.app);
  h.FinishRefreshes();
  EXPECT_THAT(CityLines(), ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(Saved()[0].name, "Paris, Ile-de-France, France");
}

TEST_F(CommandsTest, FirstStartKeepsTheTypedCityWhenTheKeyDialogIsCancelled) {
  h.app.state.service.api_key.clear();
  h.ui.text_answers = {"Paris"};
  h.ui.key_answers = {std::nullopt};
  LoadSettingsAndCities(h.app);
  FirstRefresh(h.app);
  ASSERT_EQ(h.ui.key_prompts.size(), 1u);
  ASSERT_EQ(Saved().size(), 1u);
  EXPECT_EQ(Saved()[0].name, "Paris");
  EXPECT_EQ(h.Drawn().main.shown, MainWindowShown::shown);
}

// A city never fetched reads as its name until the first refresh fills it;
// a later failed refresh leaves that weather in place.
TEST_F(CommandsTest, ACityWithoutWeatherShowsItsNameUntilARefreshFillsIt) {
  city paris;
  paris.name = "Paris, Ile-de-France, France";
  ASSERT_TRUE(SaveCities({paris}, h.app.state.paths.cities_file));
  LoadSettingsAndCities(h.app);
  FirstRefresh(h.app);
  EXPECT_THAT(CityLines(), ElementsAre("Paris"));

  h.FinishRefreshes();
  EXPECT_THAT(CityLines(), ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(h.Drawn().main.report.lines.size(), 17u);

  h.service_down = true;
  RefreshCities(h.app, RefreshMode::all_cities);
  h.FinishRefreshes();
  EXPECT_THAT(CityLines(), ElementsAre("Paris: Light rain, 50 degrees F"));
}

// A cities.json that can't be read is kept aside and the user asked for a
// first city; one that is valid JSON but holds no list starts with no city at
// all, which the first refresh reports before the program ends, file untouched.
TEST_F(CommandsTest, StartWithAnUnusableCitiesFile) {
  const struct {
    const char* content;
    bool readable;
  } cases[] = {
      {"this is not json", false},
      {"[{\"name\": \"Oslo\"", false},
      {"{}", true},
      {"null", true},
      {"{\"cities\": [{\"name\": \"Oslo\"}]}", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    AppHarness run;
    run.places["Paris"] = h.places["Paris"];
    {
      std::ofstream out(run.app.state.paths.cities_file, std::ios::binary);
      out << c.content;
    }
    run.ui.text_answers = {"Paris"};
    LoadSettingsAndCities(run.app);
    if (!c.readable) {
      ASSERT_EQ(run.ui.dialogs.size(), 1u);
      EXPECT_THAT(run.app.state.cities, ::testing::SizeIs(1));
      EXPECT_EQ(run.ReadFile("cities.json.bad"), c.content);
      FirstRefresh(run.app);
      run.FinishRefreshes();
      EXPECT_THAT(run.Drawn().main.cities.lines, ElementsAre("Paris: Light rain, 50 degrees F"));
    } else {
      EXPECT_THAT(run.ui.dialogs, IsEmpty());
      EXPECT_THAT(run.app.state.cities, IsEmpty());
      run.gate.RunBeforeLoop(&FirstRefresh);
      EXPECT_THAT(run.ui.dialogs, ElementsAre("Alert!|You have to add a city to use the program."));
      EXPECT_EQ(run.process.loop_quit_code, 0);
      EXPECT_EQ(run.ReadFile("cities.json"), c.content);
      EXPECT_FALSE(std::filesystem::exists(run.folder / "cities.json.bad"));
    }
  }
}

TEST_F(CommandsTest, StartRestoresTheSavedSelection) {
  ASSERT_TRUE(
      SaveCities({h.CityAt("Springfield"), h.CityAt("Paris")}, h.app.state.paths.cities_file));
  h.app.state.prefs.cities_index = 1;
  SavePreferences(h.app.state.prefs, h.app.state.paths.prefs_file);
  h.app.state.prefs = Preferences{};
  LoadSettingsAndCities(h.app);
  FirstRefresh(h.app);
  h.FinishRefreshes();
  EXPECT_EQ(h.app.state.main_window.selected_city, 1);
  EXPECT_EQ(h.app.state.main_window.report_city, 1);
}

// The start's refresh says its alerts first; the briefing due at start follows.
TEST_F(CommandsTest, AtStartTheBriefingWaitsForTheFirstRefreshsAlerts) {
  h.places["Paris"].alerts = {{"Moderate", "Flood Warning"}};
  h.places["Paris"].days = 1;
  city paris = h.CityAt("Paris", 1, 1);
  paris.temp = paris.weather.temp_f;  // announced already: the change check stays quiet
  paris.condition = paris.weather.condition.text;
  ASSERT_TRUE(SaveCities({paris}, h.app.state.paths.cities_file));
  h.app.state.prefs.briefing = "07:30";
  SavePreferences(h.app.state.prefs, h.app.state.paths.prefs_file);
  h.app.state.prefs = Preferences{};
  h.clock.now = {7, 30};
  LoadSettingsAndCities(h.app);
  h.http.Hold();
  FirstRefresh(h.app);
  EXPECT_EQ(h.app.state.fetch.awaited[static_cast<size_t>(Asker::briefing)], 0u);
  h.http.Release();
  h.FinishFetches();
  EXPECT_THAT(h.announcer.events,
              ElementsAre("cue:alert",
                          "alert:Paris, Ile-de-France, France: Moderate Flood Warning. View the "
                          "forecast For more.",
                          "news:Today in Paris: Light rain, high 55 degrees F, low 45 degrees F, 0 "
                          "percent chance of rain."));
}

}  // namespace
}  // namespace skyvigil
