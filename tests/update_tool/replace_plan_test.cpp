// Which archive entries an update may write.
#include "update_tool/replace_plan.h"

#include <gtest/gtest.h>

namespace skyvigil::update_tool {
namespace {

TEST(ReplacePlanTest, SafeNamesStayBelowTheProgramFolder) {
  const std::vector<std::pair<std::string, bool>> names = {
      {"Skyvigil.exe", true},
      {"snd/up.wav", true},
      {"snd/", true},
      {"a..b", true},
      {"..a", true},
      {"console.txt", true},
      {"snd/update.old", true},
      {"", false},
      {"../x", false},
      {"snd/../../x", false},
      {"snd\\up.wav", false},
      {"/etc/x", false},
      {"C:/x", false},
      {"c:x", false},
      {"a.txt:stream", false},
      {"./a", false},
      {"snd//a", false},
      {"a\tb", false},
      {"a?b", false},
      {"prefs.ini.", false},
      {"prefs.ini ", false},
      {"CITIES~1.JSO", false},
      {"nul.txt", false},
      {"snd/COM1", false},
      {"update.new/x", false},
      {"Update.Old/x", false},
  };
  for (const auto& [name, safe] : names)
    EXPECT_EQ(IsSafeEntryName(name), safe) << name;
}

std::vector<ZipEntry> Entries(const std::vector<std::string>& names) {
  std::vector<ZipEntry> entries;
  for (const std::string& name : names)
    entries.push_back({name});
  return entries;
}

struct PlanCase {
  std::vector<std::string> archive;
  std::vector<std::string> files;
  std::string error;
};

TEST(ReplacePlanTest, EverythingButTheUsersFiles) {
  const std::vector<PlanCase> cases = {
      {{"Skyvigil.exe", "snd/", "snd/up.wav", "prefs.ini", "Cities.JSON", "RUNNING",
        "snd/prefs.ini"},
       {"Skyvigil.exe", "snd/up.wav", "snd/prefs.ini"},
       ""},
      {{"README.txt"}, {}, "it holds no Skyvigil.exe"},
      {{"Skyvigil.exe", "../evil.exe"}, {}, "it holds a file with a forbidden name: ../evil.exe"},
      {{"Skyvigil.exe", "SKYVIGIL.EXE"}, {}, "it holds a file twice: SKYVIGIL.EXE"},
  };
  for (const PlanCase& c : cases) {
    const std::vector<ZipEntry> entries = Entries(c.archive);
    const ReplacePlan plan = PlanReplacement(entries);
    std::vector<std::string> files;
    for (const ZipEntry* entry : plan.files)
      files.push_back(entry->name);
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(plan.error, c.error);
  }
}

}  // namespace
}  // namespace skyvigil::update_tool
