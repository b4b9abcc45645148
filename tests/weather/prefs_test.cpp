// Tests of prefs.ini: the value parser, reading, the exact bytes a save writes,
// files that can't be written, and that any file survives a save and a load.
#include "weather/prefs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace skyvigil {

void PrintTo(const Preferences& p, std::ostream* os) {
  *os << "{window_hidden " << p.window_hidden << ", celcius " << p.celcius << ", cities_index "
      << p.cities_index << ", temp_diff " << p.temp_diff << ", monitor_sounds " << p.monitor_sounds
      << ", alerts_once " << p.alerts_once << ", text_size " << p.text_size << ", rain_ahead "
      << p.rain_ahead << ", briefing \"" << p.briefing << "\", quiet_hours \"" << p.quiet_hours
      << "\", briefing_given \"" << p.briefing_given << "\"}";
}

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

const std::string kBom = "\xEF\xBB\xBF";
const std::string kNewFile = kBom +
                             "\r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\ncities_index = "
                             "0\r\n[monitors]\r\ntemp_diff = 10\r\nmonitor_sounds = 1\r\n";

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string DataFile(const std::string& name) {
  return ReadBytes(fs::path(SKYVIGIL_TEST_DATA) / "prefs" / name);
}

Preferences Prefs(int64_t hidden, int64_t unit, int64_t index, int64_t diff, int64_t sounds) {
  return {hidden, unit, index, diff, sounds};
}

class PrefsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    // Every save syncs to disk; a memory-backed folder keeps thousands of them fast.
    std::error_code error;
    const fs::path base =
        fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    folder_ =
        base / ("skyvigil_prefs_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = folder_ / "prefs.ini";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(file_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  Preferences Load(Preferences start = {}) {
    ServiceConfig service;
    LoadPreferences(start, service, file_);
    return start;
  }

  fs::path folder_;
  fs::path file_;
};

// ---------------------------------------------------------------- value parser

TEST(ParseIniIntegerTest, ReadsEveryNumberForm) {
  struct Case {
    std::string text;
    int64_t expected;
  };
  const Case cases[] = {
      {" 12abc", 12},
      {"$1F", 31},
      {"$1f", 31},
      {"-5", -5},
      {"%101", 5},
      {"+7", 7},
      {"\t \t42", 42},
      {"-$10", -16},
      {"+%11", 3},
      {"007", 7},
      {"12 34", 12},
      {"1.9", 1},
      {"%102", 2},
      {"$fg", 15},
      {"", 0},
      {"abc", 0},
      {"$", 0},
      {"%", 0},
      {"-", 0},
      {"+-5", 0},
      {"- 5", 0},
      {"$G", 0},
      {"0x10", 0},
      {"\n5", 0},
      {"9223372036854775807", kMax},
      {"-9223372036854775808", kMin},
      {"9223372036854775808", kMax},
      {"-9223372036854775809", kMin},
      {"99999999999999999999999999", kMax},
      {"-99999999999999999999999999", kMin},
      {"$7FFFFFFFFFFFFFFF", kMax},
      {"$FFFFFFFFFFFFFFFF", kMax},
      {"-$8000000000000000", kMin},
      {"%" + std::string(64, '1'), kMax},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseIniInteger(c.text), c.expected) << "\"" << c.text << "\"";
  }
}

// ---------------------------------------------------------------- reading

TEST_F(PrefsFile, MissingFileIsCreatedWithTheDefaults) {
  EXPECT_EQ(Load(), Preferences{});
  EXPECT_EQ(ReadBytes(file_), kNewFile);
  EXPECT_EQ(Preferences{}, Prefs(0, 0, 0, 10, 1));
}

TEST_F(PrefsFile, ReadingAloneDoesNotRewriteTheFile) {
  const std::string content = "[general]\ncelcius=2\n\n; note\n";
  WriteBytes(file_, content);
  EXPECT_EQ(Load().celcius, 2);
  EXPECT_EQ(ReadBytes(file_), content);
}

TEST_F(PrefsFile, FolderInPlaceOfTheFileIsLeftAlone) {
  fs::create_directory(file_);
  const Preferences start = Prefs(1, 2, 3, 4, 0);
  EXPECT_EQ(Load(start), start);
  SavePreferences(Prefs(0, 0, 0, 0, 0), file_);
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_TRUE(fs::is_empty(file_));
}

TEST_F(PrefsFile, AFileBeyondTheCapIsNeitherReadNorRewritten) {
  const std::string head = "[general]\ncelcius=2\n;";
  for (const std::uintmax_t size : {kMaxPrefsFileBytes, kMaxPrefsFileBytes + 1}) {
    SCOPED_TRACE(size);
    const std::string content = head + std::string(size - head.size(), 'x');
    WriteBytes(file_, content);
    EXPECT_EQ(Load().celcius, size == kMaxPrefsFileBytes ? 2 : 0);
    SavePreferences(Prefs(0, 1, 0, 10, 1), file_);
    if (size > kMaxPrefsFileBytes) {
      EXPECT_EQ(fs::file_size(file_), size);
    }
  }
}

TEST_F(PrefsFile, ReadsTheSettingsLeniently) {
  // Starting values differ from every value below so "unchanged" is visible.
  const Preferences start = Prefs(5, 5, 5, 5, 5);
  struct Case {
    std::string name;
    std::string content;
    Preferences expected;
  };
  const Case cases[] = {
      {"no blanks around equals", "[general]\r\nwindow_hidden=1\r\n", Prefs(1, 5, 5, 5, 5)},
      {"blanks and tabs everywhere", " \t[general]\r\n \t celcius \t=\t 3 \t\r\n",
       Prefs(5, 3, 5, 5, 5)},
      {"all five", kNewFile, Prefs(0, 0, 0, 10, 1)},
      {"group names ignore case",
       "[GeNeRaL]\r\ncities_index = 9\r\n[MONITORS]\r\ntemp_diff = 3\r\n", Prefs(5, 5, 9, 3, 5)},
      {"key names are exact", "[general]\r\nCelcius = 2\r\nCITIES_INDEX = 1\r\n", start},
      {"empty value leaves the setting", "[monitors]\r\ntemp_diff =\r\nmonitor_sounds = \t\r\n",
       start},
      {"value that is no number reads 0", "[monitors]\r\ntemp_diff = abc\r\n",
       Prefs(5, 5, 5, 0, 5)},
      {"number forms", "[general]\r\nwindow_hidden = 12abc\r\ncelcius=$1F\r\ncities_index=-5\r\n",
       Prefs(12, 31, -5, 5, 5)},
      {"out-of-range values used as they are", "[general]\r\ncelcius = 7\r\n",
       Prefs(5, 7, 5, 5, 5)},
      {"keys of the wrong group are ignored",
       "[monitors]\r\ncelcius = 2\r\n[general]\r\ntemp_diff = 1\r\n", start},
      {"keys before any group are ignored", "celcius = 2\r\n[general]\r\n", start},
      {"other groups are ignored", "[general2]\r\ncelcius = 2\r\n[x]\r\nwindow_hidden=1\r\n",
       start},
      {"comment lines are ignored", "[general]\r\n;celcius = 2\r\n  ; window_hidden = 1\r\n",
       start},
      {"a later duplicate wins", "[general]\r\ncelcius = 1\r\ncelcius = 3\r\n",
       Prefs(5, 3, 5, 5, 5)},
      {"an empty duplicate does not clear", "[general]\r\ncelcius = 1\r\ncelcius =\r\n",
       Prefs(5, 1, 5, 5, 5)},
      {"a group in two sections",
       "[general]\r\ncelcius = 1\r\n[x]\r\n[general]\r\ncities_index=2\r\n", Prefs(5, 1, 2, 5, 5)},
      {"line feeds only", "[general]\ncelcius = 2\n[monitors]\ntemp_diff = 4\n",
       Prefs(5, 2, 5, 4, 5)},
      {"lone carriage returns", "[general]\rcelcius = 2\r[monitors]\rtemp_diff = 4",
       Prefs(5, 2, 5, 4, 5)},
      {"header without bracket is no header", "[general]\r\n[monitors\r\ncelcius = 2\r\n",
       Prefs(5, 2, 5, 5, 5)},
      {"text after the bracket", "[general] ; main\r\ncelcius = 2\r\n", Prefs(5, 2, 5, 5, 5)},
      {"value holding equals", "[general]\r\ncelcius = 2=3\r\n", Prefs(5, 2, 5, 5, 5)},
      {"mark then a group on the first line", kBom + "[general]\r\ncelcius = 2\r\n",
       Prefs(5, 2, 5, 5, 5)},
      {"NUL bytes", "[general]\r\ncelcius = 2\0"s + "9\r\nwindow_hidden\0 = 1\r\n"s,
       Prefs(5, 2, 5, 5, 5)},
      {"empty file", "", start},
  };
  for (const Case& c : cases) {
    WriteBytes(file_, c.content);
    EXPECT_EQ(Load(start), c.expected) << c.name;
  }
}

TEST_F(PrefsFile, ServiceGroupOverridesPresentNonEmptyValues) {
  WriteBytes(file_,
             "[Service]\r\nbase_address = http://127.0.0.1:8080/v1 \r\napi_key =\r\n"
             "Update_address = https://example.org\r\n[general]\r\ncelcius = 1\r\n");
  Preferences prefs;
  ServiceConfig service{"https://weather.example/v1", "key1", "https://updates.example"};
  LoadPreferences(prefs, service, file_);
  EXPECT_EQ(service.base_address, "http://127.0.0.1:8080/v1");
  EXPECT_EQ(service.api_key, "key1");
  EXPECT_EQ(service.update_address, "https://updates.example");
  EXPECT_EQ(prefs.celcius, 1);
}

// ---------------------------------------------------------------- saving

TEST_F(PrefsFile, SaveWritesExactBytes) {
  struct Case {
    std::string name;
    std::string before;
    Preferences prefs;
    std::string after;
  };
  const std::string new_file_lines =
      "[general]\r\nwindow_hidden = 1\r\ncelcius = 2\r\ncities_index = 3\r\n"
      "[monitors]\r\nmonitor_sounds = 0\r\ntemp_diff = 4\r\n";
  const Case cases[] = {
      {"unchanged new file", kNewFile, Prefs(0, 0, 0, 10, 1), kNewFile},
      {"values replaced in place", kNewFile, Prefs(1, 2, 3, 4, 0),
       kBom + "\r\n[general]\r\nwindow_hidden = 1\r\ncelcius = 2\r\ncities_index = 3\r\n"
              "[monitors]\r\ntemp_diff = 4\r\nmonitor_sounds = 0\r\n"},
      {"negative values", kNewFile, Prefs(-1, kMin, kMax, -10, 0),
       kBom + "\r\n[general]\r\nwindow_hidden = -1\r\ncelcius = -9223372036854775808\r\n"
              "cities_index = 9223372036854775807\r\n[monitors]\r\ntemp_diff = -10\r\n"
              "monitor_sounds = 0\r\n"},
      {"key written back with blanks", "[general]\r\nwindow_hidden=1\r\n", Prefs(1, 0, 0, 10, 1),
       kBom + "\r\n[general]\r\nwindow_hidden = 1\r\ncelcius = 0\r\ncities_index = 0\r\n"
              "[monitors]\r\nmonitor_sounds = 1\r\ntemp_diff = 10\r\n"},
      {"empty file gets both groups", "", Prefs(1, 2, 3, 4, 0), kBom + "\r\n" + new_file_lines},
      {"name rewritten exactly", "[GENERAL]\r\n  Celcius\t=\t0 \r\nWINDOW_HIDDEN=\r\n",
       Prefs(1, 2, 3, 4, 0),
       kBom + "\r\n[GENERAL]\r\ncelcius = 2\r\nwindow_hidden = 1\r\ncities_index = 3\r\n"
              "[monitors]\r\nmonitor_sounds = 0\r\ntemp_diff = 4\r\n"},
      {"missing keys go to the end of their group",
       "[monitors]\r\ntemp_diff = 1\r\n; about general\r\n[general]\r\ncities_index = 1\r\nx = "
       "y\r\n[other]\r\na = b\r\n",
       Prefs(1, 2, 3, 4, 0),
       kBom + "\r\n[monitors]\r\ntemp_diff = 4\r\n; about general\r\nmonitor_sounds = 0\r\n"
              "[general]\r\ncities_index = 3\r\nx = y\r\nwindow_hidden = 1\r\ncelcius = 2\r\n"
              "[other]\r\na = b\r\n"},
      {"missing group goes to the end of the file", "[other]\r\na = b\r\n[general]\r\n",
       Prefs(1, 2, 3, 4, 0),
       kBom + "\r\n[other]\r\na = b\r\n[general]\r\nwindow_hidden = 1\r\ncelcius = 2\r\n"
              "cities_index = 3\r\n[monitors]\r\nmonitor_sounds = 0\r\ntemp_diff = 4\r\n"},
      {"every duplicate in every section rewritten",
       "[general]\r\ncelcius = 1\r\nCELCIUS = 3\r\n[monitors]\r\n[general]\r\ncelcius = 9\r\n",
       Prefs(0, 2, 0, 10, 1),
       kBom + "\r\n[general]\r\ncelcius = 2\r\ncelcius = 2\r\nwindow_hidden = 0\r\ncities_index = "
              "0\r\n[monitors]\r\nmonitor_sounds = 1\r\ntemp_diff = 10\r\n[general]\r\ncelcius = "
              "2\r\n"},
      {"blank lines dropped, comments normalised, headers cut at the bracket",
       "\r\n  \t\r\n;first\r\n   ;  second \r\n;\r\n [general] tail\r\n\r\n", Prefs(0, 0, 0, 10, 1),
       kBom + "\r\n; first\r\n; second \r\n; \r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\n"
              "cities_index = 0\r\n[monitors]\r\nmonitor_sounds = 1\r\ntemp_diff = 10\r\n"},
      {"line feeds and lone carriage returns become CR LF", "[x]\na=1\rb=2\r\r\n\n",
       Prefs(0, 0, 0, 10, 1),
       kBom + "\r\n[x]\r\na=1\r\nb=2\r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\n"
              "cities_index = 0\r\n[monitors]\r\nmonitor_sounds = 1\r\ntemp_diff = 10\r\n"},
      {"unknown lines kept as they are", "[general\r\n  odd line \t\r\n=5\r\n",
       Prefs(0, 0, 0, 10, 1),
       kBom + "\r\n[general\r\n  odd line \t\r\n=5\r\n[general]\r\nwindow_hidden = 0\r\n"
              "celcius = 0\r\ncities_index = 0\r\n[monitors]\r\nmonitor_sounds = 1\r\n"
              "temp_diff = 10\r\n"},
      {"service group kept, never added",
       "[service]\r\napi_key = abc\r\n[general]\r\n[monitors]\r\n", Prefs(0, 0, 0, 10, 1),
       kBom + "\r\n[service]\r\napi_key = abc\r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\n"
              "cities_index = 0\r\n[monitors]\r\nmonitor_sounds = 1\r\ntemp_diff = 10\r\n"},
  };
  for (const Case& c : cases) {
    WriteBytes(file_, c.before);
    SavePreferences(c.prefs, file_);
    EXPECT_EQ(ReadBytes(file_), c.after) << c.name;
  }
}

// A save that would write the same bytes leaves the file alone: its time
// stays where the test put it.
TEST_F(PrefsFile, AFileWhoseBytesWouldNotChangeIsNotWritten) {
  const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(24);
  const struct {
    const char* name;
    void (*save)(const fs::path&);
    bool written;
  } cases[] = {
      {"same settings", [](const fs::path& f) { SavePreferences(Prefs(0, 1, 2, 10, 1), f); },
       false},
      {"other index", [](const fs::path& f) { SavePreferences(Prefs(0, 1, 3, 10, 1), f); }, true},
      {"same key", [](const fs::path& f) { SaveServiceKey("abc", f); }, false},
      {"other key", [](const fs::path& f) { SaveServiceKey("abd", f); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SavePreferences(Prefs(0, 1, 2, 10, 1), file_);
    SaveServiceKey("abc", file_);
    const std::string before = ReadBytes(file_);
    fs::last_write_time(file_, old_time);
    const auto kept_time = fs::last_write_time(file_);  // in the file system's own steps
    c.save(file_);
    EXPECT_EQ(fs::last_write_time(file_) != kept_time, c.written);
    EXPECT_EQ(ReadBytes(file_) != before, c.written);
  }
}

// alerts_once, rain_ahead, briefing, quiet_hours, briefing_given and text_size
// stay out of the file until set.
TEST_F(PrefsFile, OptionalSettingsAreReadAndWrittenOnlyOnceSet) {
  Preferences set = Prefs(0, 0, 0, 10, 1);
  set.alerts_once = 1;
  set.rain_ahead = 1;
  set.briefing = "07:30";
  set.quiet_hours = "22:00-07:00";
  set.briefing_given = "2024-03-06";
  set.text_size = 150;
  const std::string general =
      kBom + "\r\n[general]\r\nwindow_hidden = 0\r\ncelcius = 0\r\ncities_index = 0\r\n";
  const std::string monitors = "[monitors]\r\ntemp_diff = 10\r\nmonitor_sounds = 1\r\n";
  const struct {
    const char* name;
    std::string before;
    Preferences prefs;
    std::string after;
  } cases[] = {
      {"defaults and absent: not added", kNewFile, Prefs(0, 0, 0, 10, 1), kNewFile},
      {"set: each added at the end of its group, in order", kNewFile, set,
       general + "text_size = 150\r\n" + monitors +
           "alerts_once = 1\r\nrain_ahead = 1\r\nbriefing = 07:30\r\nquiet_hours = "
           "22:00-07:00\r\nbriefing_given = 2024-03-06\r\n"},
      {"back to the defaults and present: rewritten where they stand",
       general + "text_size = 150\r\n" + monitors +
           "quiet_hours = 23:00-06:00\r\nbriefing = 07:30\r\nrain_ahead = 1\r\nalerts_once = "
           "1\r\n",
       Prefs(0, 0, 0, 10, 1),
       general + "text_size = 100\r\n" + monitors +
           "quiet_hours = \r\nbriefing = \r\nrain_ahead = 0\r\nalerts_once = 0\r\n"},
  };
  for (const auto& c : cases) {
    WriteBytes(file_, c.before);
    SavePreferences(c.prefs, file_);
    EXPECT_EQ(ReadBytes(file_), c.after) << c.name;
  }
  WriteBytes(file_,
             "[General]\r\ntext_size = 250\r\n[Monitors]\r\nalerts_once = 1\r\n"
             "rain_ahead = 1\r\nbriefing = 6:05\r\nquiet_hours = 1:00-5:00\r\n"
             "briefing_given = 2024-03-07\r\n");
  const Preferences read = Load();
  EXPECT_EQ(read.text_size, 250);
  EXPECT_EQ(read.alerts_once, 1);
  EXPECT_EQ(read.rain_ahead, 1);
  EXPECT_EQ(read.briefing, "6:05");
  EXPECT_EQ(read.quiet_hours, "1:00-5:00");
  EXPECT_EQ(read.briefing_given, "2024-03-07");
}

TEST_F(PrefsFile, TheServiceKeyIsWrittenIntoItsGroupKeepingEveryOtherLine) {
  const struct {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"no file", "missing", kNewFile + "[service]\r\napi_key = k2\r\n"},
      {"no group", "; note\r\n[general]\r\ncelcius = 1\r\n",
       kBom + "\r\n; note\r\n[general]\r\ncelcius = 1\r\n[service]\r\napi_key = k2\r\n"},
      {"group without key",
       "[service]\r\nbase_address = http://127.0.0.1:1/v1\r\n[general]\r\ncelcius = 1\r\n",
       kBom + "\r\n[service]\r\nbase_address = http://127.0.0.1:1/v1\r\napi_key = k2\r\n"
              "[general]\r\ncelcius = 1\r\n"},
      {"key replaced in place", "[service]\r\nAPI_KEY = old\r\nx = y\r\n",
       kBom + "\r\n[service]\r\napi_key = k2\r\nx = y\r\n"},
  };
  for (const auto& c : cases) {
    fs::remove(file_);
    if (c.before != "missing")
      WriteBytes(file_, c.before);
    SaveServiceKey("k2", file_);
    EXPECT_EQ(ReadBytes(file_), c.after) << c.name;
  }
}

TEST_F(PrefsFile, WithoutTheFileSaveAddsNoServiceGroup) {
  SavePreferences(Prefs(0, 0, 0, 10, 1), file_);
  EXPECT_EQ(ReadBytes(file_), kNewFile);
}

TEST_F(PrefsFile, HandEditedFileKeepsEverythingElse) {
  WriteBytes(file_, DataFile("hand_edited.ini"));
  // "Celcius" is not the key, so the unit keeps its default.
  EXPECT_EQ(Load(), Prefs(1, 0, 3, 10, 1));
  SavePreferences(Prefs(0, 1, 4, 5, 0), file_);
  EXPECT_EQ(ReadBytes(file_), DataFile("hand_edited_saved.ini"));
  EXPECT_EQ(Load(), Prefs(0, 1, 4, 5, 0));
}

TEST_F(PrefsFile, Latin1FileIsReadAndSavedAsUtf8) {
  WriteBytes(file_, DataFile("latin1.ini"));
  const Preferences loaded = Load();
  EXPECT_EQ(loaded, Prefs(0, 3, 0, 7, 0));
  SavePreferences(loaded, file_);
  EXPECT_EQ(ReadBytes(file_), DataFile("latin1_saved.ini"));
}

TEST_F(PrefsFile, Utf8FileWithoutMarkIsNotConvertedAgain) {
  WriteBytes(file_, "; Z\xC3\xBCrich\r\n[general]\r\ncelcius = 1\r\n");
  SavePreferences(Prefs(0, 1, 0, 10, 1), file_);
  EXPECT_EQ(ReadBytes(file_), kBom +
                                  "\r\n; Z\xC3\xBCrich\r\n[general]\r\ncelcius = 1\r\n"
                                  "window_hidden = 0\r\ncities_index = 0\r\n[monitors]\r\n"
                                  "monitor_sounds = 1\r\ntemp_diff = 10\r\n");
}

TEST_F(PrefsFile, DeletedFileIsRecreatedWithTheCurrentValues) {
  Load();
  fs::remove(file_);
  SavePreferences(Prefs(1, 3, 2, 15, 0), file_);
  EXPECT_EQ(ReadBytes(file_), kBom +
                                  "\r\n[general]\r\nwindow_hidden = 1\r\ncelcius = 3\r\n"
                                  "cities_index = 2\r\n[monitors]\r\ntemp_diff = 15\r\n"
                                  "monitor_sounds = 0\r\n");
  EXPECT_EQ(Load(), Prefs(1, 3, 2, 15, 0));
}

TEST_F(PrefsFile, ReadOnlyFileIsReadButNeverWritten) {
  const std::string content = "[general]\r\ncelcius=2\r\n";
  WriteBytes(file_, content);
  fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Load().celcius, 2);
  SavePreferences(Prefs(1, 1, 1, 1, 0), file_);
  EXPECT_EQ(ReadBytes(file_), content);
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::owner_write, fs::perms::none);
  // No temporary file is left behind either.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(PrefsFile, MissingFolderMeansNothingIsWritten) {
  file_ = folder_ / "absent" / "prefs.ini";
  const Preferences start = Prefs(1, 2, 3, 4, 0);
  EXPECT_EQ(Load(start), start);
  SavePreferences(start, file_);
  EXPECT_FALSE(fs::exists(file_));
}

// Any bytes at all: a save followed by a load gives back the saved settings,
// and a second save changes nothing. The files are built line by line from
// near-misses of the real syntax mixed with stray bytes.
TEST_F(PrefsFile, SaveThenLoadReproducesTheSettingsForAnyFile) {
  // The real names come up most, so that duplicates and case variants are frequent.
  const std::vector<std::string> groups = {"general",  "general",   "GENERAL", "monitors",
                                           "monitors", "Monitors",  "service", "other",
                                           "",         "gen\0eral"s};
  const std::vector<std::string> keys = {
      "celcius",   "celcius",   "Celcius",   "window_hidden",  "cities_index",
      "temp_diff", "temp_diff", "TEMP_DIFF", "monitor_sounds", "Monitor_Sounds",
      "api_key",   "a=b",       "",          "cel cius",       "\xE9"};
  const std::vector<std::string> values = {
      "1",   "-5",   "$1F", "%101", "abc", "", " ", "\t7", "99999999999999999999",
      "2=3", "\xFF", "\0"s};
  const std::vector<std::string> stray = {
      "\0"s, "\xEF\xBB\xBF", "\xFF", "\xC3", "\xC3\xA9", "\xE9", "[", "]", ";", "=",
      " ",   "\t",           "\r",   "\n"};
  const std::vector<std::string> ends = {"\r\n", "\r\n", "\n", "\r", "\r\r\n", ""};
  std::mt19937 random(20240308);
  auto any = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
  };
  auto chance = [&](int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random) < percent;
  };
  auto blanks = [&] { return chance(50) ? std::string() : any({" ", "\t", " \t "}); };
  std::uniform_int_distribution<int64_t> value(-20, 20);
  std::uniform_int_distribution<int64_t> any_value(kMin, kMax);
  for (int round = 0; round < 1500; ++round) {
    std::string content;
    for (int n = std::uniform_int_distribution<int>(0, 20)(random); n > 0; --n) {
      std::string line = blanks();
      switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
        case 1:
          line += "[" + any(groups) + (chance(85) ? "]" : "") + (chance(20) ? any(stray) : "");
          break;
        case 2:
        case 3:
        case 4:
          line += any(keys) + blanks() + "=" + blanks() + any(values) + blanks();
          break;
        default:
          line += (chance(50) ? ";" : "") + any(stray) + any(stray);
          break;
      }
      content += line + any(ends);
    }
    WriteBytes(file_, content);
    Preferences wanted =
        Prefs(value(random), value(random), value(random), any_value(random), value(random));
    SavePreferences(wanted, file_);
    const std::string saved = ReadBytes(file_);
    ASSERT_EQ(saved.substr(0, 5), kBom + "\r\n");
    ASSERT_EQ(Load(Prefs(99, 99, 99, 99, 99)), wanted) << "round " << round;
    SavePreferences(wanted, file_);
    ASSERT_EQ(ReadBytes(file_), saved) << "round " << round;
  }
}

}  // namespace
}  // namespace skyvigil
