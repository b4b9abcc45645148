// Crash safety of the two saved files: a process killed in the middle of its
// saves, a read-only folder and a full disk never cost the user a whole file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"
#include "weather/records.h"
#include "weather/service_config.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;
using platform_test::FolderEntries;
using platform_test::ReadBytes;
using platform_test::TempDir;

// A list of `count` cities with every kind of field set, so each save writes
// a good amount of data and a kill has a real chance to land in the middle.
std::vector<city> ManyCities(int count, int variant) {
  std::vector<city> cities;
  for (int i = 0; i < count; ++i) {
    city c;
    c.name = "City " + std::to_string(i) + ", Region, Country";
    c.temp = 50.5 + variant;
    c.monitor = (i + variant) % 2;
    c.alerts = 1;
    c.condition = variant == 0 ? "Sunny" : "Light rain";
    c.weather.last_updated = "2024-07-09 12:00";
    c.weather.last_updated_epoch = 1720526400 + variant;
    c.weather.temp_c = 10.1 * variant + i;
    c.weather.temp_f = 50.2 + i;
    c.weather.condition = {c.condition, "//cdn.weatherapi.com/weather/64x64/day/113.png", 1000};
    c.weather.wind_dir = "WSW";
    c.weather.humidity = 40 + variant;
    c.weather.location = {
        51.52,           -0.11,      "City " + std::to_string(i), "Region", "Country",
        "Europe/London", 1720526400, "2024-07-09 13:00"};
    c.weather.aqi.pm2_5 = 0.1f * static_cast<float>(i);
    c.weather.aqi.us_epa_index = variant + 1;
    cities.push_back(c);
  }
  return cities;
}

// The two versions of the settings.
Preferences PrefsVersion(int variant) {
  Preferences prefs;
  if (variant == 1) {
    prefs.window_hidden = 1;
    prefs.celcius = 3;
    prefs.cities_index = 7;
    prefs.temp_diff = 3;
    prefs.monitor_sounds = 0;
  }
  return prefs;
}

// What the child runs until it is killed: load both files from `folder`, then
// save them over and over, alternating between the loaded version and the
// other one. Closes `ready` when the loading is done and the saving starts.
// Leaves with code 3 if a save fails or a file holds neither version.
[[noreturn]] void SaveForever(const fs::path& folder, const std::vector<city> (&lists)[2],
                              int ready) {
  const fs::path cities_file = folder / "cities.json";
  const fs::path prefs_file = folder / "prefs.ini";
  std::vector<city> cities;
  bool prompted = false;
  LoadCities(cities, cities_file, [&prompted](std::vector<city>&) { prompted = true; });
  Preferences prefs;
  ServiceConfig service = DefaultServiceConfig();
  LoadPreferences(prefs, service, prefs_file);
  const std::string loaded = CitiesJsonText(cities);
  if (prompted || (loaded != CitiesJsonText(lists[0]) && loaded != CitiesJsonText(lists[1])) ||
      (prefs != PrefsVersion(0) && prefs != PrefsVersion(1))) {
    ::_exit(3);
  }
  const std::vector<city>& other_list = loaded == CitiesJsonText(lists[0]) ? lists[1] : lists[0];
  const Preferences other_prefs = PrefsVersion(prefs == PrefsVersion(0) ? 1 : 0);
  ::close(ready);
  for (bool other = true;; other = !other) {
    if (!SaveCities(other ? other_list : cities, cities_file))
      ::_exit(3);
    SavePreferences(other ? other_prefs : prefs, prefs_file);
  }
}

TEST(CrashSafeFilesTest, KillDuringSavesLeavesOldOrNewFilesWhole) {
  TempDir folder;
  ASSERT_FALSE(folder.path().empty());
  const fs::path cities_file = folder.path() / "cities.json";
  const fs::path prefs_file = folder.path() / "prefs.ini";

  // The two versions of each file, byte for byte.
  const std::vector<city> lists[2] = {ManyCities(150, 0), ManyCities(100, 1)};
  const std::vector<std::string> cities_versions = {CitiesJsonText(lists[0]),
                                                    CitiesJsonText(lists[1])};
  ASSERT_TRUE(SaveCities(lists[0], cities_file));
  SavePreferences(PrefsVersion(0), prefs_file);
  std::vector<std::string> prefs_versions = {ReadBytes(prefs_file)};
  {
    TempDir scratch;
    fs::copy_file(prefs_file, scratch.path() / "prefs.ini");
    SavePreferences(PrefsVersion(1), scratch.path() / "prefs.ini");
    prefs_versions.push_back(ReadBytes(scratch.path() / "prefs.ini"));
  }
  ASSERT_NE(prefs_versions[0], prefs_versions[1]);
  ASSERT_GT(cities_versions[0].size(), 100000u);

  constexpr int kTrials = 250;
  std::mt19937 random(20240709);
  std::uniform_int_distribution<int> delay_us(0, 30000);
  int seen_cities[2] = {0, 0};
  int seen_prefs[2] = {0, 0};
  int kills_mid_save = 0;  // a temporary file was left: the kill hit a save in progress
  for (int trial = 0; trial < kTrials; ++trial) {
    SCOPED_TRACE(::testing::Message() << "trial " << trial);
    std::cout.flush();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      SaveForever(folder.path(), lists, ready[1]);
    }
    // The delay counts from the first save, not from the fork.
    ::close(ready[1]);
    char byte = 0;
    while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
    }
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the saving process ended by itself, status " << status;

    const std::string cities_now = ReadBytes(cities_file);
    const std::string prefs_now = ReadBytes(prefs_file);
    const auto cities_at = std::find(cities_versions.begin(), cities_versions.end(), cities_now);
    const auto prefs_at = std::find(prefs_versions.begin(), prefs_versions.end(), prefs_now);
    ASSERT_NE(cities_at, cities_versions.end())
        << "cities.json is neither version: " << cities_now.size() << " bytes";
    ASSERT_NE(prefs_at, prefs_versions.end()) << "prefs.ini is neither version: " << prefs_now;
    ++seen_cities[cities_at - cities_versions.begin()];
    ++seen_prefs[prefs_at - prefs_versions.begin()];

    // A killed save may leave its temporary file; it never replaces the real one.
    bool left_temporary = false;
    for (const std::string& name : FolderEntries(folder.path())) {
      if (name == "cities.json" || name == "prefs.ini")
        continue;
      ASSERT_TRUE(name.rfind(".cities.json.", 0) == 0 || name.rfind(".prefs.ini.", 0) == 0) << name;
      fs::remove(folder.path() / name);
      left_temporary = true;
    }
    kills_mid_save += left_temporary ? 1 : 0;
  }
  std::cout << "[ trials   ] " << kTrials << " kills; cities.json seen " << seen_cities[0]
            << "x first version, " << seen_cities[1] << "x second; prefs.ini " << seen_prefs[0]
            << "x / " << seen_prefs[1] << "x; " << kills_mid_save
            << " kills left a temporary file\n";
  // Both versions turned up, so saves did complete between the kills.
  EXPECT_GT(seen_cities[0], 0);
  EXPECT_GT(seen_cities[1], 0);
  EXPECT_GT(seen_prefs[0], 0);
  EXPECT_GT(seen_prefs[1], 0);
  EXPECT_GT(kills_mid_save, 0);
}

// ---- Failing saves ----

// With both files in `folder` and no way to write there any more, every save
// must fail without touching the files or leaving anything behind.
void ExpectSavesChangeNothing(const fs::path& folder) {
  const fs::path cities_file = folder / "cities.json";
  const fs::path prefs_file = folder / "prefs.ini";
  const std::string cities_before = ReadBytes(cities_file);
  const std::string prefs_before = ReadBytes(prefs_file);
  const std::vector<std::string> entries_before = FolderEntries(folder);

  EXPECT_FALSE(SaveCities(ManyCities(50, 1), cities_file));
  Preferences changed;
  changed.celcius = 3;
  changed.temp_diff = 4;
  SavePreferences(changed, prefs_file);

  EXPECT_EQ(ReadBytes(cities_file), cities_before);
  EXPECT_EQ(ReadBytes(prefs_file), prefs_before);
  EXPECT_EQ(FolderEntries(folder), entries_before);

  // Loading still gives the old data.
  std::vector<city> cities;
  int prompts = 0;
  LoadCities(cities, cities_file, [&prompts](std::vector<city>&) { ++prompts; });
  EXPECT_EQ(prompts, 0);
  EXPECT_EQ(CitiesJsonText(cities), cities_before);
}

void WriteBothFiles(const fs::path& folder) {
  ASSERT_TRUE(SaveCities(ManyCities(3, 0), folder / "cities.json"));
  Preferences prefs;
  prefs.monitor_sounds = 0;
  SavePreferences(prefs, folder / "prefs.ini");
  ASSERT_TRUE(fs::exists(folder / "prefs.ini"));
}

// Sets or clears the immutable attribute, which stops even root from creating
// or renaming files in a folder.
bool SetImmutable(const fs::path& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0)
    return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

TEST(CrashSafeFilesTest, ReadOnlyFolderKeepsBothFiles) {
  TempDir folder;
  WriteBothFiles(folder.path());
  if (::geteuid() == 0) {
    // Root ignores permission bits; the immutable attribute still binds it.
    if (!SetImmutable(folder.path(), true))
      GTEST_SKIP() << "running as root and the file system refuses the immutable attribute";
  } else {
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  ExpectSavesChangeNothing(folder.path());
  if (::geteuid() == 0)
    SetImmutable(folder.path(), false);
  fs::permissions(folder.path(), fs::perms::owner_all);

  // Writable again: the next save writes the data that is in memory.
  const std::vector<city> now = ManyCities(2, 1);
  EXPECT_TRUE(SaveCities(now, folder.path() / "cities.json"));
  EXPECT_EQ(ReadBytes(folder.path() / "cities.json"), CitiesJsonText(now));
}

// A small memory file system, mounted for one test (root only).
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& where) : path_(where) {
    mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    if (!mounted_)
      error_ = std::strerror(errno);
  }
  ~SmallDisk() {
    if (mounted_)
      ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

 private:
  fs::path path_;
  bool mounted_ = false;
  std::string error_;
};

// Fills the file system holding `file` until writing fails for lack of space.
void FillDisk(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'x');
  for (;;) {
    const ssize_t n = ::write(fd, block.data(), block.size());
    if (n <= 0) {
      EXPECT_EQ(errno, ENOSPC);
      break;
    }
  }
  while (::write(fd, "x", 1) == 1) {
  }
  ::close(fd);
}

TEST(CrashSafeFilesTest, FullDiskKeepsBothFiles) {
  TempDir folder;
  const fs::path disk = folder.path() / "disk";
  fs::create_directories(disk);
  SmallDisk small(disk);
  if (!small.mounted())
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << small.error() << "); needs root";

  WriteBothFiles(disk);
  FillDisk(disk / "filler");
  ExpectSavesChangeNothing(disk);

  // Room again: the next saves write what is in memory.
  fs::remove(disk / "filler");
  const std::vector<city> now = ManyCities(2, 1);
  EXPECT_TRUE(SaveCities(now, disk / "cities.json"));
  EXPECT_EQ(ReadBytes(disk / "cities.json"), CitiesJsonText(now));
  Preferences changed;
  changed.temp_diff = 4;
  SavePreferences(changed, disk / "prefs.ini");
  Preferences loaded;
  ServiceConfig service = DefaultServiceConfig();
  LoadPreferences(loaded, service, disk / "prefs.ini");
  EXPECT_EQ(loaded, changed);
}

}  // namespace
}  // namespace skyvigil
