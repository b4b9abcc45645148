// Where the Linux program keeps its files, installed or run from a folder of
// its own, and its autostart entry.
#include <gtest/gtest.h>

#include <fstream>

#include "fakes/temp_dir.h"
#include "platform/linux/app_paths.h"
#include "platform/linux/autostart.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;

TEST(LinuxAppPathsTest, InstalledProgramsKeepTheUsersFilesInTheDataFolder) {
  platform_test::TempDir root;
  const fs::path prefix = root.path() / "usr";
  fs::create_directories(prefix / "share" / "skyvigil" / "snd");
  fs::create_directories(prefix / "bin");
  const fs::path home = root.path() / "home";
  const struct {
    const char* what;
    fs::path program;
    std::string data_home;
    std::string home;
    fs::path data;  // empty: the working folder
  } cases[] = {
      {"installed", prefix / "bin" / "skyvigil", "", home.string(),
       home / ".local" / "share" / "skyvigil"},
      {"XDG_DATA_HOME", prefix / "bin" / "skyvigil", (root.path() / "data").string(), home.string(),
       root.path() / "data" / "skyvigil"},
      {"relative XDG_DATA_HOME is ignored", prefix / "bin" / "skyvigil", "data", home.string(),
       home / ".local" / "share" / "skyvigil"},
      {"no home at all", prefix / "bin" / "skyvigil", "", "", ""},
      {"built in a folder of its own", root.path() / "build" / "skyvigil", "", home.string(), ""},
      {"a bin without the cues beside it", root.path() / "bin" / "skyvigil", "", home.string(), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const AppPaths paths = LinuxAppPaths(c.program, c.data_home, c.home);
    if (c.data.empty()) {
      EXPECT_EQ(paths.prefs_file, "prefs.ini");
      EXPECT_EQ(paths.marker_file, "running");
      EXPECT_EQ(paths.cues_folder, "snd");
      EXPECT_TRUE(paths.updater_program.empty());
      continue;
    }
    EXPECT_TRUE(fs::is_directory(c.data));
    EXPECT_EQ(fs::status(c.data).permissions(), fs::perms::owner_all);
    EXPECT_EQ(paths.prefs_file, c.data / "prefs.ini");
    EXPECT_EQ(paths.cities_file, c.data / "cities.json");
    EXPECT_EQ(paths.marker_file, c.data / "running");
    EXPECT_EQ(paths.cues_folder, prefix / "share" / "skyvigil" / "snd");
    EXPECT_TRUE(paths.updater_program.empty());
  }
}

TEST(AutostartTest, TheEntryStartsTheProgramInItsFolderAndGoesAgain) {
  EXPECT_EQ(AutostartFile("/cfg", "/home/u"), fs::path("/cfg/autostart/skyvigil.desktop"));
  EXPECT_EQ(AutostartFile("cfg", "/home/u"),
            fs::path("/home/u/.config/autostart/skyvigil.desktop"));
  EXPECT_EQ(AutostartFile("", ""), fs::path());

  platform_test::TempDir root;
  Autostart autostart(root.path() / "autostart" / "skyvigil.desktop", "/opt/sky $vigil/skyvigil",
                      "/home/u/weather");
  EXPECT_FALSE(autostart.Enabled());
  ASSERT_TRUE(autostart.Set(true));
  EXPECT_TRUE(autostart.Enabled());
  EXPECT_EQ(platform_test::ReadBytes(root.path() / "autostart" / "skyvigil.desktop"),
            "[Desktop Entry]\nType=Application\nName=Skyvigil\n"
            "Comment=Weather monitor for screen-reader users\n"
            "Exec=\"/opt/sky \\\\$vigil/skyvigil\"\nPath=/home/u/weather\nTerminal=false\n"
            "X-GNOME-Autostart-enabled=true\n");
  ASSERT_TRUE(autostart.Set(false));
  EXPECT_FALSE(autostart.Enabled());
  EXPECT_FALSE(Autostart("", "/bin/skyvigil", "/").Set(true));
}

}  // namespace
}  // namespace skyvigil
