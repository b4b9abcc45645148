// The tray icon's callbacks sorted into activations: one toggle per click,
// double-click or key selection; and the waits between refused adds.
#include "platform/win32/desktop/tray_rules.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace skyvigil {
namespace {

constexpr DWORD kDoubleClickMs = 500;

struct Callbacks {
  const char* name;
  std::vector<std::pair<UINT, DWORD>> events;  // event, message time
  int toggles;
};

void PrintTo(const Callbacks& callbacks, std::ostream* out) {
  *out << callbacks.name;
}

const Callbacks kCallbacks[] = {
    {"LeftClick", {{WM_LBUTTONDOWN, 1000}, {WM_LBUTTONUP, 1080}, {NIN_SELECT, 1080}}, 1},
    {"LeftDoubleClick",
     {{WM_LBUTTONDOWN, 1000},
      {WM_LBUTTONUP, 1080},
      {NIN_SELECT, 1080},
      {WM_LBUTTONDBLCLK, 1200},
      {WM_LBUTTONUP, 1280},
      {NIN_SELECT, 1280}},
     1},
    {"DoubleClickWithoutASecondSelect",
     {{WM_LBUTTONUP, 1080}, {NIN_SELECT, 1080}, {WM_LBUTTONDBLCLK, 1200}, {WM_LBUTTONUP, 1280}},
     1},
    {"ClickLongAfterADoubleClick",
     {{NIN_SELECT, 1080}, {WM_LBUTTONDBLCLK, 1200}, {WM_LBUTTONUP, 1280}, {NIN_SELECT, 5000}},
     2},
    {"TwoSlowClicks", {{NIN_SELECT, 1000}, {NIN_SELECT, 3000}}, 2},
    {"RightClick", {{WM_RBUTTONDOWN, 1000}, {WM_RBUTTONUP, 1080}, {WM_CONTEXTMENU, 1080}}, 1},
    {"RightDoubleClick",
     {{WM_RBUTTONUP, 1080},
      {WM_CONTEXTMENU, 1080},
      {WM_RBUTTONDBLCLK, 1200},
      {WM_RBUTTONUP, 1280},
      {WM_CONTEXTMENU, 1280}},
     1},
    {"KeySelect", {{NIN_KEYSELECT, 1000}}, 1},
    {"EnterSendsKeySelectTwice", {{NIN_KEYSELECT, 1000}, {NIN_KEYSELECT, 1000}}, 1},
    {"TwoKeyPresses", {{NIN_KEYSELECT, 1000}, {NIN_KEYSELECT, 1500}}, 2},
    {"KeySelectAtTheClocksWrap", {{NIN_KEYSELECT, 0xFFFFFF00}, {NIN_KEYSELECT, 0x10}}, 1},
    {"PointerMovesAndBalloons", {{WM_MOUSEMOVE, 1000}, {NIN_POPUPOPEN, 1000}}, 0},
};

class TrayClicksTest : public ::testing::TestWithParam<Callbacks> {};

TEST_P(TrayClicksTest, TogglesOncePerActivation) {
  TrayClicks clicks(kDoubleClickMs);
  int toggles = 0;
  for (const auto& [event, time] : GetParam().events)
    toggles += clicks.Take(event, time) ? 1 : 0;
  EXPECT_EQ(toggles, GetParam().toggles);
}

INSTANTIATE_TEST_SUITE_P(Sequences, TrayClicksTest, ::testing::ValuesIn(kCallbacks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrayRetryDelayTest, DoublesFromHalfASecondUpToThirtySeconds) {
  const std::vector<UINT> delays = {TrayRetryDelay(1), TrayRetryDelay(2),   TrayRetryDelay(3),
                                    TrayRetryDelay(4), TrayRetryDelay(6),   TrayRetryDelay(7),
                                    TrayRetryDelay(8), TrayRetryDelay(1000)};
  EXPECT_EQ(delays, (std::vector<UINT>{500, 1000, 2000, 4000, 16000, 30000, 30000, 30000}));
}

}  // namespace
}  // namespace skyvigil
