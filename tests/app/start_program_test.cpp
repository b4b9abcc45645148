// The start-up sequence both desktops run, through the fakes.
#include "app/start_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Each desktop step says what the core had done before it.
struct RecordedStart {
  explicit RecordedStart(AppHarness& h) {
    desktop.alert = [this](const std::string& title, const std::string& text) {
      steps.push_back("alert " + title + "|" + text);
    };
    desktop.finish_left_update = [this] {
      steps.push_back("left update");
      return !hands_over;
    };
    desktop.build_services = [this, &h]() -> App& {
      steps.push_back("services");
      return h.app;
    };
    desktop.build_main_window = [this](App& app, const std::string& title) {
      steps.push_back("window " + title + ", cities " + std::to_string(app.state.cities.size()));
    };
    desktop.show_main_window = [this, &h] {
      steps.push_back("show " + (h.ui.city_lines.empty() ? "" : h.ui.city_lines[0]));
    };
    desktop.run_event_loop = [this] {
      steps.push_back("loop");
      return 3;
    };
  }
  DesktopStart desktop;
  bool hands_over = false;  // what finish_left_update finds
  std::vector<std::string> steps;
};

TEST(StartProgram, RunsTheStartInOneOrderForEveryDesktop) {
  const struct {
    const char* name;
    bool saved_city;
    int64_t window_hidden;
    std::vector<std::string> after_window;
    int code;
  } cases[] = {
      {"shown", true, 0, {"show Paris: Light rain, 50 degrees F", "loop"}, 3},
      {"hidden", true, 1, {"loop"}, 3},
      // No city: the first refresh asks for the end, which comes before the loop.
      {"no city", false, 0, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    AppPaths paths = h.app.state.paths;
    paths.marker_file = h.folder / "running";
    h.app.state.paths = {};
    if (c.saved_city) {
      ASSERT_TRUE(SaveCities({h.CityAt("Paris")}, paths.cities_file));
    } else {
      std::ofstream(paths.cities_file) << "{}";
    }
    if (c.window_hidden == 1) {
      Preferences hidden;
      hidden.window_hidden = 1;
      SavePreferences(hidden, paths.prefs_file);
    }
    RecordedStart start(h);
    InstanceLock marker;
    ShowRequestListener show_requests;
    EXPECT_EQ(StartProgram(paths, marker, show_requests, h.gate, start.desktop), c.code);
    h.FinishRefreshes();

    std::vector<std::string> expected = {
        "left update", "services",
        "window Skyvigil " + h.app.state.version_text + ", cities " + (c.saved_city ? "1" : "0")};
    expected.insert(expected.end(), c.after_window.begin(), c.after_window.end());
    EXPECT_THAT(start.steps, ElementsAreArray(expected));
    EXPECT_EQ(h.ui.loop_quit_code.has_value(), !c.saved_city);
  }
}

// The loop's end waits for the transfers the exit ended; one its client could
// not cut short ends the process at once, the teardown left out.
TEST(StartProgram, AfterTheLoopATransferThatHangsEndsTheProcessAtOnce) {
  for (const bool hangs : {false, true}) {
    SCOPED_TRACE(hangs ? "hangs" : "ends");
    AppHarness h;
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    AppPaths paths = h.app.state.paths;
    paths.marker_file = h.folder / "running";
    h.app.state.paths = {};
    ASSERT_TRUE(SaveCities({h.CityAt("Paris")}, paths.cities_file));
    RecordedStart start(h);
    start.desktop.run_event_loop = [&h] {
      h.gate.Run(&OnMainWindowClose);
      return *h.app.state.exit_code;
    };
    if (hangs)
      h.http.Hold();  // the start's refresh never answers
    InstanceLock marker;
    ShowRequestListener show_requests;
    EXPECT_EQ(StartProgram(paths, marker, show_requests, h.gate, start.desktop), 0);
    EXPECT_EQ(h.ui.ended_at_once, hangs ? std::optional<int>(0) : std::nullopt);
  }
}

// A second start builds nothing: it says so and asks the running one to show.
TEST(StartProgram, ASecondStartOnlyTellsTheUser) {
  AppHarness h;
  AppPaths paths = h.app.state.paths;
  paths.marker_file = h.folder / "running";
  InstanceLock running;
  ASSERT_EQ(running.Acquire(paths.marker_file), InstanceLock::Outcome::acquired);

  RecordedStart start(h);
  InstanceLock marker;
  ShowRequestListener show_requests;
  EXPECT_EQ(StartProgram(paths, marker, show_requests, h.gate, start.desktop), 0);
  EXPECT_THAT(start.steps, ElementsAre("alert Alert|The program already seems to be running."));
}

// An update cut short that only the updater can finish: it has been started,
// and waits for this process to end.
TEST(StartProgram, AnUpdateHandedToTheUpdaterEndsTheStart) {
  AppHarness h;
  AppPaths paths = h.app.state.paths;
  paths.marker_file = h.folder / "running";
  RecordedStart start(h);
  start.hands_over = true;
  InstanceLock marker;
  ShowRequestListener show_requests;
  EXPECT_EQ(StartProgram(paths, marker, show_requests, h.gate, start.desktop), 0);
  EXPECT_THAT(start.steps, ElementsAre("left update"));
}

TEST(StartProgram, TheUpdateSourceComesFromTheSettingsAndPaths) {
  AppState state;
  state.app_version = "0.36";
  state.service.update_address = "https://updates.test";
  state.paths = PathsIn("/opt/sky");
  UpdateSource source = UpdateSourceFor(state);
  EXPECT_EQ(source.update_address, "https://updates.test");
  EXPECT_EQ(source.app_version, "0.36");
  EXPECT_EQ(source.archive_file, std::filesystem::path("/opt/sky") / "Skyvigil.zip");
  EXPECT_FALSE(source.packaged);
  state.paths.updater_program.clear();
  EXPECT_TRUE(UpdateSourceFor(state).packaged);
}

}  // namespace
}  // namespace skyvigil
