// Which process is our Narrator, and which JAWS objects may be made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/jaws_client.h"
#include "platform/win32/narrator_probe.h"

namespace skyvigil {
namespace {

TEST(ReaderRulesTest, NarratorIsNarratorExeInOurOwnSession) {
  struct Case {
    std::wstring name;
    unsigned long its_session;
    bool ours;  // our session is 2
  };
  const std::vector<Case> cases = {
      {L"Narrator.exe", 2, true},    {L"narrator.EXE", 2, true},
      {L"Narrator.exe", 1, false},   {L"Narrator.exe", 0, false},
      {L"Narrator", 2, false},       {L"Narrator.exe.old", 2, false},
      {L"MyNarrator.exe", 2, false}, {L"", 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << std::string(c.name.begin(), c.name.end()) << " " << c.its_session);
    EXPECT_EQ(IsOurNarrator(c.name, c.its_session, 2), c.ours);
  }
}

TEST(ReaderRulesTest, OnlyAnObjectCOMWouldPutOnTheWindowThreadIsNotMade) {
  struct Case {
    bool in_process;
    std::wstring threading_model;
    bool made;
  };
  const std::vector<Case> cases = {
      {true, L"Apartment", true}, {true, L"Both", true}, {true, L"Free", true},
      {true, L"neutral", true},   {true, L"", false},    {true, L"Single", false},
      {true, L"single", false},   {false, L"", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.in_process << " "
                 << std::string(c.threading_model.begin(), c.threading_model.end()));
    EXPECT_EQ(JawsObjectLeavesMainThreadFree(c.in_process, c.threading_model), c.made);
  }
}

}  // namespace
}  // namespace skyvigil
