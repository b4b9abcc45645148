// Every command of the main window, driven through the fakes.
#include "app/commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "fakes/app_harness.h"
#include "monitor/monitor_cycle.h"
#include "views/city_list.h"
#include "views/current_weather.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
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
    RefreshCityList(h.app, true);
    ShowCurrentWeather(h.app);
    h.announcer.events.clear();
  }

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
                  "[system-wide]"));
}

// A row without a handler would make its menu item and shortcut do nothing.
TEST(CommandTable, EveryRowHasAHandlerAndANumberOfItsOwn) {
  std::set<int> numbers;
  auto check = [&numbers](int number, CommandHandlerFn run) {
    EXPECT_NE(run, nullptr) << number;
    EXPECT_TRUE(numbers.insert(number).second) << number << " listed twice";
  };
  for (const CommandInfo& info : MainWindowCommands())
    check(info.number, info.run);
  for (const CommandHandler& row : SecondaryWindowCommands())
    check(row.number, row.run);
  EXPECT_EQ(numbers.size(), 28u);
  // The buttons are numbered apart from the commands.
  numbers.clear();
  for (const CommandHandler& row : SecondaryWindowButtons())
    check(row.number, row.run);
  EXPECT_THAT(numbers, ElementsAre(102, 104, 202, 203, 402, 403));
}

TEST(CommandTable, ShortcutsNeedTheirExactModifiers) {
  using K = Shortcut::Key;
  const std::vector<std::pair<Shortcut, int>> cases = {
      {{K::escape, 0, false, false, false}, 5},
      {{K::character, 'M', true, false, false}, 6},
      {{K::character, 'N', true, false, false}, 4},
      {{K::del, 0, false, false, false}, 8},
      {{K::character, '1', true, false, false}, 9},
      {{K::character, '2', true, false, false}, 10},
      {{K::character, 'G', true, false, false}, 12},
      {{K::character, 'C', true, true, false}, 13},
      {{K::character, 'M', true, true, false}, 16},
      {{K::enter, 0, false, false, false}, 11},
      {{K::enter, 0, false, true, false}, 24},
      {{K::character, 'S', true, false, false}, 14},
      {{K::character, '+', true, false, false}, 22},
      {{K::character, '+', true, true, false}, 22},
      {{K::character, '=', true, false, false}, 22},
      {{K::character, '=', true, true, false}, 22},
      {{K::character, '-', true, false, false}, 23},
      {{K::character, 'W', true, true, false}, 28},
      // Not shortcuts: missing or extra modifiers, other keys.
      {{K::character, 'C', true, false, false}, 0},
      {{K::character, 'M', false, false, false}, 0},
      {{K::character, 'N', true, false, true}, 0},
      {{K::escape, 0, false, true, false}, 0},
      {{K::character, 'P', true, false, false}, 0},
      {{K::del, 0, true, false, false}, 0},
      {{K::character, '+', false, false, false}, 0},
      {{K::character, '=', true, false, true}, 0},
      {{K::character, '-', true, true, false}, 0},
      // The system-wide key is no key of the window's.
      {{K::character, 'W', true, true, true}, 0},
  };
  for (const auto& [pressed, command] : cases) {
    EXPECT_EQ(MainWindowCommandFor(pressed), command) << pressed.character;
  }
}

// Steps of 25 from 100 to 300 percent, said each time (the ends too), applied
// to the windows and saved; the saved size is applied at start, brought into range.
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
    h.ui.text_size = 0;
    h.announcer.events.clear();
    RunCommand(h.app, c.command);
    EXPECT_THAT(h.announcer.events,
                ElementsAre("SAY!:Text size " + std::to_string(c.after) + " percent"));
    EXPECT_EQ(h.app.state.prefs.text_size, c.after);
    EXPECT_EQ(h.ui.text_size, c.after == c.before ? 0 : c.after);
  }
  EXPECT_NE(h.ReadFile("prefs.ini").find("cities_index = 0\r\ntext_size = 100\r\n[monitors]"),
            std::string::npos);

  for (const auto& [saved, applied] : {std::pair{int64_t{175}, 175}, {int64_t{40}, 100}}) {
    AppHarness run;
    run.places["Paris"] = h.places["Paris"];
    ASSERT_TRUE(SaveCities({run.CityAt("Paris")}, run.app.state.paths.cities_file));
    run.app.state.prefs.text_size = saved;
    SavePreferences(run.app.state.prefs, run.app.state.paths.prefs_file);
    run.app.state.prefs = Preferences{};
    LoadSettingsAndCities(run.app);
    FirstRefresh(run.app);
    run.FinishRefreshes();
    EXPECT_EQ(run.ui.text_size, applied) << saved;
  }
}

TEST_F(CommandsTest, RemovingACityAsksFirstAndNoKeepsIt) {
  Start({h.CityAt("Springfield"), h.CityAt("Paris")});
  h.ui.city_selection = 1;
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
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Springfield: Sunny, 70 degrees F"));
  EXPECT_EQ(h.ui.city_selection, 0);
  EXPECT_EQ(h.ui.heading, "Weather for Springfield, Illinois, United States of America");
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
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Oslo: Snow, 23 degrees F"));
  EXPECT_EQ(Saved()[0].name, "Oslo, Oslo, Norway");
}

TEST_F(CommandsTest, RemovingTheLastCityAndGivingNoneEndsTheProgram) {
  Start({h.CityAt("Springfield")});
  h.ui.yes_no_answers = {true};
  h.ui.text_answers = {""};
  h.gate.Run([](App& app) { RunCommand(app, kRemoveCity); });
  EXPECT_EQ(h.ui.dialogs.back(), "Alert!|You have to add a city to use the program.");
  EXPECT_THAT(Saved(), IsEmpty());
  EXPECT_TRUE(h.ui.marker_released);
  EXPECT_EQ(h.ui.loop_quit_code, 0);
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
    EXPECT_THAT(h.ui.city_lines, ElementsAre(line));
    EXPECT_EQ(h.ui.report_lines[2], "Temperature: " + line.substr(line.find(", ") + 2));
  }
  EXPECT_EQ(h.app.state.prefs.celcius, 0);
  EXPECT_NE(h.ReadFile("prefs.ini").find("celcius = 0\r\n"), std::string::npos);

  h.app.state.prefs.celcius = 7;
  RunCommand(h.app, kToggleUnit);
  EXPECT_EQ(h.app.state.prefs.celcius, 0);
}

TEST_F(CommandsTest, CopyTakesTheLineOrTheWholeReportByFocus) {
  Start({h.CityAt("Springfield")});
  h.ui.report_selection = 2;
  ShowSelectedLine(h.app);

  h.ui.focus = FocusedControl::report_list;
  RunCommand(h.app, kCopy);
  EXPECT_EQ(h.ui.clipboard, "Temperature: 70 degrees F");
  h.ui.focus = FocusedControl::detail_box;
  h.ui.clipboard.clear();
  RunCommand(h.app, kCopy);
  EXPECT_EQ(h.ui.clipboard, "Temperature: 70 degrees F");

  std::string whole;
  for (const std::string& line : h.ui.report_lines)
    whole += line + "\n";
  whole.pop_back();
  for (FocusedControl focus : {FocusedControl::city_list, FocusedControl::none}) {
    h.ui.focus = focus;
    h.ui.clipboard.clear();
    RunCommand(h.app, kCopy);
    EXPECT_EQ(h.ui.clipboard, whole);
  }
  EXPECT_EQ(h.announcer.events, std::vector<std::string>(4, "SAY!:Copied"));
}

TEST_F(CommandsTest, CopyOfAReportWithBlankLinesAtTheEndsTrimsOnlyLineFeeds) {
  Start({h.CityAt("Springfield")});
  h.app.state.report_lines = {"", "", " middle ", ""};
  h.ui.focus = FocusedControl::city_list;
  RunCommand(h.app, kCopy);
  EXPECT_EQ(h.ui.clipboard, " middle ");
}

TEST_F(CommandsTest, HideAndShowRememberTheStateAtOnce) {
  Start({h.CityAt("Springfield")});
  h.announcer.events.clear();
  RunCommand(h.app, kHideWindow);
  EXPECT_FALSE(h.ui.window_shown);
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 1\r\n"), std::string::npos);
  OnTrayIconClick(h.app);
  EXPECT_TRUE(h.ui.window_shown);
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 0\r\n"), std::string::npos);
  // Hiding is said; showing is announced by the screen reader itself.
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Skyvigil hidden"));
}

TEST_F(CommandsTest, ASecondStartBringsTheWindowBackFocusedAndRemembersIt) {
  Start({h.CityAt("Springfield")});
  RunCommand(h.app, kHideWindow);
  h.ui.focus = FocusedControl::none;
  OnShowRequest(h.app);
  EXPECT_TRUE(h.ui.window_shown);
  EXPECT_EQ(h.ui.focus, FocusedControl::city_list);
  EXPECT_NE(h.ReadFile("prefs.ini").find("window_hidden = 0\r\n"), std::string::npos);
  // Already shown, it is only brought to the front: the settings stay untouched.
  std::filesystem::remove(h.folder / "prefs.ini");
  h.ui.focus = FocusedControl::report_list;
  OnShowRequest(h.app);
  EXPECT_EQ(h.ui.focus, FocusedControl::city_list);
  EXPECT_FALSE(std::filesystem::exists(h.folder / "prefs.ini"));
}

// The selection waits a second to be written, but never past the window's
// hiding, the exit or a second start's show.
TEST_F(CommandsTest, TheSelectionIsWrittenBeforeHidingExitAndASecondStartsShow) {
  const std::pair<const char*, CommandHandlerFn> cases[] = {
      {"hide", +[](App& app) { RunCommand(app, kHideWindow); }},
      {"exit", +[](App& app) { RunCommand(app, kExit); }},
      {"second start", &OnShowRequest},
  };
  for (const auto& [name, action] : cases) {
    SCOPED_TRACE(name);
    AppHarness run;
    run.app.state.cities = {h.CityAt("Springfield"), h.CityAt("Paris")};
    RefreshCityList(run.app, true);
    run.ui.city_selection = 1;
    run.gate.Run(&OnCityListEvent);
    EXPECT_FALSE(std::filesystem::exists(run.folder / "prefs.ini"));
    run.gate.Run(action);
    EXPECT_NE(run.ReadFile("prefs.ini").find("cities_index = 1\r\n"), std::string::npos);
  }
}

TEST_F(CommandsTest, StartAtLoginSaysTheStateItIsLeftIn) {
  Start({h.CityAt("Springfield")});
  RunCommand(h.app, kStartAtLogin);
  RunCommand(h.app, kStartAtLogin);
  h.ui.start_at_login_fails = true;
  RunCommand(h.app, kStartAtLogin);
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Start at login on", "say:Start at login off",
                                              "say:Start at login off"));
}

// The command only asks; the gate ends the program once the handler returns,
// in one order for every way out, and runs nothing after it.
TEST_F(CommandsTest, ExitSaysExitingFirstStopsTheWorkReleasesTheMarkerThenEndsTheLoop) {
  for (CommandHandlerFn ask : {+[](App& app) { RunCommand(app, kExit); }, &OnMainWindowClose}) {
    AppHarness run;
    run.places = h.places;
    run.app.state.cities = {run.CityAt("Springfield")};
    run.http.abort_log = run.ui.process_log = &run.announcer.events;
    OnRefreshTimer(run.app);  // a refresh in flight
    bool ran_after = false;
    run.gate.Run([&run, &ran_after, ask](App& app) {
      ask(app);
      EXPECT_THAT(run.announcer.events, IsEmpty());  // not inside the handler
      run.gate.Run([&ran_after](App&) { ran_after = true; });
    });
    EXPECT_THAT(run.announcer.events,
                ElementsAre("SAY!:Exiting", "abort", "marker released", "loop quit 0"));
    EXPECT_FALSE(run.ui.tray_icon);
    EXPECT_TRUE(run.ui.window_closed);
    run.gate.Run([&ran_after](App&) { ran_after = true; });
    run.gate.Idle();
    run.main_thread.RunPosted();
    EXPECT_FALSE(ran_after);
    EXPECT_THAT(run.announcer.events, ::testing::SizeIs(4));
  }
}

TEST_F(CommandsTest, AddingAPlaceAlreadyInTheListKeepsOneEntry) {
  Start({h.CityAt("Springfield"), h.CityAt("Paris")});
  h.ui.city_selection = 1;
  h.ui.text_answers = {"62701"};
  RunCommand(h.app, kAddCity);
  h.FinishRefreshes();
  EXPECT_EQ(h.ui.dialogs.back(), "Alert|You already have added this city to Skyvigil.");
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(Saved().size(), 2u);
  EXPECT_EQ(h.ui.city_selection, 1);
  // Only the new city was fetched.
  EXPECT_THAT(h.Queries("/current.json"), ElementsAre("62701"));
}

TEST_F(CommandsTest, AddingANewPlaceAppendsItRefreshedAndKeepsTheSelection) {
  h.places["Oslo"].alerts = {{"Moderate", "Wind"}};
  Start({h.CityAt("Springfield")});
  h.ui.text_answers = {"Oslo"};
  RunCommand(h.app, kAddCity);
  h.FinishRefreshes();
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(h.app.state.cities[1].name, "Oslo, Oslo, Norway");
  EXPECT_EQ(h.app.state.cities[1].monitor, 0);
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_THAT(h.ui.city_lines,
              ElementsAre("Springfield: Sunny, 70 degrees F", "Oslo: Snow, 23 degrees F"));
  EXPECT_EQ(h.ui.city_selection, 0);
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
  h.ui.text_answers = {""};
  RunCommand(h.app, kAddCity);
  h.FinishRefreshes();
  EXPECT_THAT(h.ui.dialogs, ElementsAre("New City|Enter either a zip code or a city name to use "
                                        "with the program.|"));
  ASSERT_EQ(h.app.state.cities.size(), 3u);
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_EQ(h.app.state.cities[2].monitor, 1);
}

TEST_F(CommandsTest, TimerRefreshesEveryCityAndTheChangeIsAnnouncedAfterwards) {
  city monitored = h.CityAt("Paris", 1);
  monitored.temp = 50;
  monitored.condition = "Light rain";
  Start({h.CityAt("Springfield"), monitored});
  h.ui.city_selection = 1;
  h.places["Paris"].condition = "Thunder";
  h.places["Paris"].temp_f = 65;
  h.app.state.prefs.window_hidden = 1;
  OnRefreshTimer(h.app);
  EXPECT_THAT(h.ui.city_lines,
              ElementsAre("Springfield: Sunny, 70 degrees F", "Paris: Light rain, 50 degrees F"));
  h.FinishRefreshes();
  EXPECT_THAT(h.ui.city_lines,
              ElementsAre("Springfield: Sunny, 70 degrees F", "Paris: Thunder, 65 degrees F"));
  EXPECT_EQ(h.ui.heading, "Weather for Paris, Ile-de-France, France");
  // The change check follows the apply at once.
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:condition", "news:Paris: Thunder", "cue:up",
                                              "news:Paris: 65 Degrees"));
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
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(h.ui.city_selection, 0);
  EXPECT_EQ(h.ui.detail_text, "Last updated: 2024-03-06 12:00");
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
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
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
}

// A city never fetched reads as its name until the first refresh fills it;
// a later failed refresh leaves that weather in place.
TEST_F(CommandsTest, ACityWithoutWeatherShowsItsNameUntilARefreshFillsIt) {
  city paris;
  paris.name = "Paris, Ile-de-France, France";
  ASSERT_TRUE(SaveCities({paris}, h.app.state.paths.cities_file));
  LoadSettingsAndCities(h.app);
  FirstRefresh(h.app);
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris"));
  EXPECT_THAT(h.ui.report_lines, ElementsAre("No weather yet for Paris, Ile-de-France, France."));
  EXPECT_EQ(h.ui.detail_text, "No weather yet for Paris, Ile-de-France, France.");
  EXPECT_EQ(h.ui.tooltip, "Paris - Skyvigil");

  h.FinishRefreshes();
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(h.ui.report_lines.size(), 17u);

  h.service_down = true;
  OnRefreshTimer(h.app);
  h.FinishRefreshes();
  EXPECT_THAT(h.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(h.ui.report_lines.back(), "pm10: 0.00 (Good)");
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
      EXPECT_THAT(run.ui.city_lines, ElementsAre("Paris: Light rain, 50 degrees F"));
    } else {
      EXPECT_THAT(run.ui.dialogs, IsEmpty());
      EXPECT_THAT(run.app.state.cities, IsEmpty());
      run.gate.RunBeforeLoop(&FirstRefresh);
      EXPECT_THAT(run.ui.dialogs, ElementsAre("Alert!|You have to add a city to use the program."));
      EXPECT_EQ(run.ui.loop_quit_code, 0);
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
  EXPECT_EQ(h.ui.city_selection, 1);
  EXPECT_EQ(h.ui.heading, "Weather for Paris, Ile-de-France, France");
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
