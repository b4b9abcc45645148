// Which archive entries an update may write.
#include "update_tool/replace_plan.h"

#include <gtest/gtest.h>

namespace skyvigil::update_tool {
namespace {

TEST(ReplacePlanTest, SafeNamesStayBelowTheProgramFolder) {
  for (const char* name :
       {"Skyvigil.exe", "snd/up.wav", "snd/", "a..b", "..a", "console.txt", "snd/update.old",
        "New Folder/a_b-c 1.txt", "com10.txt", "nul-x.txt", "lpt"})
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  for (const char* name : {"",
                           "../x",
                           "snd/../../x",
                           "snd\\up.wav",
                           "/etc/x",
                           "C:/x",
                           "c:x",
                           "a.txt:stream",
                           "./a",
                           "snd//a",
                           "a\tb",
                           "a?b",
                           "prefs.ini.",
                           "prefs.ini ",
                           "CITIES~1.JSO",
                           "nul.txt",
                           "snd/COM1",
                           "update.new/x",
                           "Update.Old/x",
                           "nul .txt",
                           "NUL  .tar.gz",
                           "COM\xC2\xB9.txt",
                           "CONIN$",
                           "conout$.txt",
                           "snd/com0",
                           "LPT9.wav",
                           "caf\xC3\xA9.txt",
                           "a+b",
                           "a,b",
                           "a@b",
                           "update.journal",
                           "Update.Journal.new",
                           "update.run/updater.exe",
                           "UPDATE.RUN/",
                           "a\x7f"})
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
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
