// The screen drawn from the state (one table), the changes between two
// screens (one table), and Redraw, which hands the desktop only those.
#include "views/render.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "fakes/app_harness.h"
#include "fakes/screen_text.h"
#include "views/dialogs.h"

namespace skyvigil {
namespace {

using testing::Described;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

// A list as its lines and selection; a long one by its first line and length.
std::string Lines(const ListView& list) {
  std::string text;
  for (const std::string& line : list.lines)
    text += (text.empty() ? "" : "|") + line;
  if (list.lines.size() > 3)
    text = list.lines[0] + "... " + std::to_string(list.lines.size());
  return text + " @" + std::to_string(list.selected);
}

// Every part of a screen as a short text, so a row names the parts it is about.
std::vector<std::string> Parts(const Screen& s) {
  static constexpr const char* kShown[] = {"hidden", "shown", "closed"};
  std::vector<std::string> parts = {
      std::string("main ") + kShown[static_cast<int>(s.main.shown)] + ", front " +
          std::to_string(s.main.front_requests) + ", minimised " +
          std::to_string(s.main.minimise_requests),
      "cities " + Lines(s.main.cities),
      "heading " + s.main.heading,
      "report " + Lines(s.main.report),
      "detail " + s.main.detail,
      "tooltip " + s.tray_tooltip + (s.tray_icon ? "" : " (no icon)"),
      "focus " + std::to_string(s.focus),
      "text size " + std::to_string(s.text_size),
      "download " + (s.download ? std::to_string(s.download->percent) : "none"),
  };
  std::string checked = "checked";
  for (int command : s.checked_commands)
    checked += " " + std::to_string(command);
  parts.push_back(checked);
  if (!s.secondary) {
    parts.push_back("secondary none");
  } else {
    const std::vector<std::string> open =
        Described({screen_change::OpenSecondary{s.secondary->kind}});
    parts.push_back("secondary " + open[0].substr(5) + ": " + Lines(s.secondary->list) +
                    " detail " + s.secondary->detail);
  }
  return parts;
}

city Paris() {
  city c;
  c.name = "Paris, Ile-de-France, France";
  c.weather.last_updated = "2024-03-06 12:00";
  c.weather.condition.text = "Light rain";
  c.weather.temp_f = 50;
  c.weather.temp_c = 10;
  return c;
}

city Oslo() {
  city c;
  c.name = "Oslo, Oslo, Norway";  // no weather yet
  return c;
}

alert Flood() {
  alert a;
  a.event = "Flood";
  a.headline = "Flood warning";
  a.effective = "E";
  a.expires = "X";
  return a;
}

// Paris and Oslo, Oslo selected, the window started and shown.
AppState Started() {
  AppState s;
  s.cities = {Paris(), Oslo()};
  s.main_window.started = true;
  s.main_window.front_requests = 1;
  s.main_window.selected_city = s.main_window.report_city = 1;
  return s;
}

SecondaryWindowState Window(WindowKind kind, int focus) {
  SecondaryWindowState w;
  w.kind = kind;
  w.focus = focus;
  return w;
}

struct RenderCase {
  const char* rule;
  std::function<void(AppState&)> state;
  std::vector<std::string> parts;
};

TEST(Render, TheStateDrawnAsOneScreen) {
  const std::string no_oslo = "No weather yet for Oslo, Oslo, Norway.";
  const std::vector<RenderCase> cases = {
      {"before the start fills it, the window stays hidden with the city list focused in it",
       [](AppState& s) { s.main_window.started = false; },
       {"main hidden, front 1, minimised 0", "focus -1",
        "cities Paris: Light rain, 50 degrees F|Oslo @1"}},
      {"started: the selected city's report, the line selected in the box, the tooltip",
       [](AppState&) {},
       {"main shown, front 1, minimised 0", "heading Weather for Oslo, Oslo, Norway",
        "report " + no_oslo + " @0", "detail " + no_oslo, "tooltip Oslo - Skyvigil", "focus 1",
        "secondary none", "download none", "text size 100"}},
      {"the report in the unit chosen, from the line selected; a problem's line comes first",
       [](AppState& s) {
         s.main_window.report_city = 0;
         s.main_window.selected_line = 3;
         s.prefs.celcius = 1;
         s.service_problem = ServiceProblem::unreachable;
       },
       {"report The weather service cannot be reached; check the network connection.... 18 @3",
        "detail Temperature: 10 Degrees C", "tooltip Paris: Light rain, 10 Degrees C - Skyvigil",
        "cities Paris: Light rain, 10 Degrees C|Oslo @1"}},
      {"a city added from the results is selected while the report stays with the one before",
       [](AppState& s) { s.main_window.report_city = 0; },
       {"cities Paris: Light rain, 50 degrees F|Oslo @1",
        "heading Weather for Paris, Ile-de-France, France"}},
      {"selections past the end show the first city and line",
       [](AppState& s) {
         s.main_window.selected_city = s.main_window.report_city = 7;
         s.main_window.selected_line = 40;
       },
       {"cities Paris: Light rain, 50 degrees F|Oslo @0", "detail Last updated: 2024-03-06 12:00"}},
      {"no city: the heading as built, nothing selected",
       [](AppState& s) { s.cities.clear(); },
       {"cities  @-1", "heading Current Weather", "report  @-1", "detail ", "tooltip Skyvigil"}},
      {"hidden: no window shown, no focus; the text size kept in its range",
       [](AppState& s) {
         s.prefs.window_hidden = 1;
         s.prefs.text_size = 450;
       },
       {"main hidden, front 1, minimised 0", "focus -1", "text size 300"}},
      {"left hidden where no tray could bring it back: shown, minimised when asked",
       [](AppState& s) {
         s.prefs.window_hidden = 1;
         s.desktop.tray = false;
         s.main_window.minimise_requests = 2;
       },
       {"main shown, front 1, minimised 2", "focus 1"}},
      {"check items: the selected city's switches, then the settings, by number",
       [](AppState& s) {
         s.cities[1].monitor = 1;
         s.cities[1].alerts = 1;
         s.prefs.monitor_sounds = 0;
         s.prefs.alerts_once = 1;
         s.prefs.rain_ahead = 1;
         s.starts_at_login = true;
       },
       {"checked 6 12 18 20 25"}},
      {"they follow the selected city; only exactly 1 is on",
       [](AppState& s) {
         s.cities[1].monitor = 1;
         s.cities[0].alerts = 1;
         s.prefs.monitor_sounds = 2;
       },
       {"checked 6"}},
      {"no city: the city's items unchecked",
       [](AppState& s) { s.cities.clear(); },
       {"checked 16"}},
      {"exited: the main window closed and the tray icon gone",
       [](AppState& s) { s.exited = true; },
       {"main closed, front 1, minimised 0", "tooltip Oslo - Skyvigil (no icon)", "focus -1"}},
      {"a forecast loading: empty, its list focused",
       [](AppState& s) {
         s.secondary = {Window(WindowKind::forecast, kForecastList)};
         s.active = ActiveWindow::secondary;
       },
       {"secondary forecast:  @-1 detail ", "focus 101"}},
      {"a forecast loaded: its lines from the day it was made for, the box empty until a move",
       [](AppState& s) {
         SecondaryWindowState w = Window(WindowKind::forecast, kForecastList);
         w.days.resize(1);
         w.days[0].date = "2024-03-07";
         w.made_on = {2024, 3, 7};
         w.selected = 1;
         s.secondary = {w};
         s.active = ActiveWindow::secondary;
       },
       {"secondary forecast: Today... 14 @1 detail "}},
      {"after the list's first move the forecast's box shows the selected line",
       [](AppState& s) {
         SecondaryWindowState w = Window(WindowKind::forecast, kForecastBox);
         w.alerts = {Flood()};
         w.selected = 1;
         w.detail_follows = true;
         s.secondary = {w};
         s.active = ActiveWindow::secondary;
       },
       {"secondary forecast: Flood ... 6 @1 detail Flood warning", "focus 103"}},
      {"the results, one line a place; the main window active keeps its focus",
       [](AppState& s) {
         SecondaryWindowState w = Window(WindowKind::results, kResultsList);
         w.places.resize(2);
         for (location& place : w.places)
           place.name = "Paris";
         w.places[0].region = "Ile-de-France";
         w.places[0].country = "France";
         w.places[1].region = "Texas";
         w.places[1].country = "United States";
         s.secondary = {w};
       },
       {"secondary results: Paris, Ile-de-France, France|Paris, Texas, United States @0 detail ",
        "focus 1"}},
      {"an alert over the forecast shows; the forecast waits below",
       [](AppState& s) {
         SecondaryWindowState alert_window = Window(WindowKind::alert, kListList);
         alert_window.alerts = {Flood()};
         s.secondary = {Window(WindowKind::forecast, kForecastList), alert_window};
         s.active = ActiveWindow::secondary;
       },
       {"secondary alert: Flood warning|Effective E|Expires X @0 detail ", "focus 401"}},
      {"the download window has the focus while active; the main window's focus stays",
       [](AppState& s) {
         s.download_window = 40;
         s.active = ActiveWindow::download;
         s.main_window.focus = kReportList;
       },
       {"download 40", "focus 502"}},
      {"the download closed: the focus falls back to the secondary window, then the main",
       [](AppState& s) {
         s.active = ActiveWindow::download;
         s.main_window.focus = kReportList;
         s.secondary = {Window(WindowKind::next_hours, kListClose)};
       },
       {"focus 403", "secondary next hours:  @-1 detail "}},
      {"the Help menu's windows show the lines they opened with",
       [](AppState& s) {
         SecondaryWindowState w = Window(WindowKind::about, kListList);
         w.lines = {"Skyvigil 1.0, build 7", "Licence: MIT License"};
         s.secondary = {w};
         s.active = ActiveWindow::secondary;
       },
       {"secondary about: Skyvigil 1.0, build 7|Licence: MIT License @0 detail ", "focus 401"}},
  };
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(c.rule);
    AppState state = Started();
    c.state(state);
    EXPECT_THAT(Parts(Render(state)), IsSupersetOf(c.parts));
  }
}

SecondaryWindowView Forecast(std::vector<std::string> lines, int selected) {
  return {WindowKind::forecast, {std::move(lines), selected}, ""};
}

// Each step changes the screen the step before left.
struct DiffStep {
  const char* rule;
  std::function<void(Screen&)> change;
  std::vector<std::string> changes;
};

TEST(Diff, OnlyWhatChangedInAFixedOrder) {
  const std::vector<DiffStep> steps = {
      {"the start: text size, lists and texts, the window shown, then the focus",
       [](Screen& s) {
         s.text_size = 150;
         s.main = {MainWindowShown::shown, 1,  0, {{"Paris", "Oslo"}, 0}, "Weather for Paris",
                   {{"a", "b"}, 0},        "a"};
         s.tray_tooltip = "Paris - Skyvigil";
         s.focus = kCityList;
       },
       {"text size 150", "lines 1: Paris|Oslo", "select 1 0", "text 2: Weather for Paris",
        "lines 3: a|b", "select 3 0", "text 4: a", "tooltip Paris - Skyvigil", "show main in front",
        "focus 1"}},
      {"the same screen again: nothing", [](Screen&) {}, {}},
      {"a moved selection only selects",
       [](Screen& s) {
         s.main.report.selected = 1;
         s.main.detail = "b";
       },
       {"select 3 1", "text 4: b"}},
      {"new lines are set and selected again, even on the same line",
       [](Screen& s) { s.main.cities.lines[1] = "Oslo: Snow"; },
       {"lines 1: Paris|Oslo: Snow", "select 1 0"}},
      {"a secondary window opens empty, then its focus",
       [](Screen& s) {
         s.secondary = Forecast({}, -1);
         s.focus = kForecastList;
       },
       {"open forecast", "focus 101"}},
      {"its answer fills it where it stands, the focus kept",
       [](Screen& s) {
         s.secondary = Forecast({"Today", "Sunny"}, 0);
       },
       {"lines 101: Today|Sunny", "select 101 0"}},
      {"the forecast's box follows its list",
       [](Screen& s) {
         s.secondary->list.selected = 1;
         s.secondary->detail = "Sunny";
       },
       {"select 101 1", "text 103: Sunny"}},
      {"another kind replaces it, built anew and filled",
       [](Screen& s) {
         s.secondary = SecondaryWindowView{WindowKind::alert, {{"Flood"}, 0}, ""};
         s.focus = kListList;
       },
       {"open alert", "lines 401: Flood", "select 401 0", "focus 401"}},
      {"closed: the focus back where it was in the main window",
       [](Screen& s) {
         s.secondary.reset();
         s.focus = kReportList;
       },
       {"close secondary", "focus 3"}},
      {"the download window opens with its bar, then takes the focus",
       [](Screen& s) {
         s.download = DownloadWindowView{-1};
         s.focus = kDownloadCancel;
       },
       {"open download", "progress -1", "focus 502"}},
      {"its bar moves", [](Screen& s) { s.download->percent = 60; }, {"progress 60"}},
      {"it closes, the focus back",
       [](Screen& s) {
         s.download.reset();
         s.focus = kReportList;
       },
       {"close download", "focus 3"}},
      {"hidden: no focus to give",
       [](Screen& s) {
         s.main.shown = MainWindowShown::hidden;
         s.focus = -1;
       },
       {"hide main"}},
      {"shown again as it was, its focus given back",
       [](Screen& s) {
         s.main.shown = MainWindowShown::shown;
         s.focus = kReportList;
       },
       {"show main", "focus 3"}},
      {"a second start: in front, the same focus given again",
       [](Screen& s) { s.main.front_requests = 2; },
       {"show main in front", "focus 3"}},
      {"check marks set",
       [](Screen& s) {
         s.checked_commands = {6, 16, 20};
       },
       {"check 6", "check 16", "check 20"}},
      {"check marks: only those that changed, by number, after the tooltip",
       [](Screen& s) {
         s.checked_commands = {12, 16, 25};
         s.tray_tooltip = "Oslo - Skyvigil";
       },
       {"tooltip Oslo - Skyvigil", "uncheck 6", "check 12", "uncheck 20", "check 25"}},
      {"minimised in place of hidden: no focus moves",
       [](Screen& s) { s.main.minimise_requests = 1; },
       {"minimise main"}},
      {"the keys' window opens over the main window, its lines filled",
       [](Screen& s) {
         s.secondary = SecondaryWindowView{WindowKind::shortcuts, {{"Control+N: Add City"}, 0}, ""};
         s.focus = kListList;
       },
       {"open shortcuts", "lines 401: Control+N: Add City", "select 401 0", "focus 401"}},
      {"the exit: the tray icon, then the main window",
       [](Screen& s) {
         s.tray_icon = false;
         s.main.shown = MainWindowShown::closed;
         s.focus = -1;
       },
       {"remove tray", "close main"}},
  };
  Screen before;
  for (const DiffStep& step : steps) {
    SCOPED_TRACE(step.rule);
    Screen after = before;
    step.change(after);
    EXPECT_EQ(Described(Diff(before, after)), step.changes);
    before = after;
  }
}

// Redraw hands the desktop the changes once; drawing again hands nothing. A
// dialog opens over the screen drawn first.
TEST(Redraw, AppliesTheChangesOnceAndNothingBeforeTheWindowIsBuilt) {
  testing::AppHarness h;
  h.app.state.main_window.built = false;
  h.app.state.cities = {Oslo()};
  Redraw(h.app);
  EXPECT_THAT(h.ui.changes, IsEmpty());
  h.app.state.main_window.built = true;
  Redraw(h.app);
  Redraw(h.app);
  EXPECT_THAT(Described(h.ui.changes),
              ElementsAre("lines 1: Oslo", "select 1 0", "text 2: Weather for Oslo, Oslo, Norway",
                          "lines 3: No weather yet for Oslo, Oslo, Norway.", "select 3 0",
                          "text 4: No weather yet for Oslo, Oslo, Norway.",
                          "tooltip Oslo - Skyvigil", "check 16"));
  EXPECT_EQ(h.app.state.screen, Render(h.app.state));

  h.app.state.cities[0].name = "Oslo";
  h.ui.yes_no_answers = {true};
  EXPECT_TRUE(AskYesNo(h.app, "Remove City", "Sure?"));
  EXPECT_THAT(Described(h.ui.changes), ::testing::Contains("text 2: Weather for Oslo"));
}

}  // namespace
}  // namespace skyvigil
