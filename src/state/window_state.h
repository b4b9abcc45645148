// What the windows hold besides the cities: the records the secondary window
// shows, every selection and the focus. Render (views/render) draws the
// screen from them; the desktops only report what the user changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/clock.h"
#include "ports/screen.h"
#include "weather/records.h"

namespace skyvigil {

// The window whose control has the keyboard focus.
enum class ActiveWindow { main, secondary, download };

// What the desktop can offer, told at the start.
struct DesktopFacts {
  bool tray = true;              // a tray icon shows: a hidden window can come back
  bool system_wide_keys = true;  // the system-wide keys reach the program
};

struct MainWindowState {
  bool built = false;    // the desktop built it: from then on the screen is drawn
  bool started = false;  // the start filled it: shown from then on, unless hidden
  int front_requests = 0;
  int minimise_requests = 0;
  bool no_tray_said = false;  // "no tray" is said once a run, then minimising is silent
  // The city list's selected line. prefs.cities_index is the one saved.
  int selected_city = 0;
  // The city whose report shows: the selected one, except right after a city
  // was added from the search results, which is selected but not reported.
  int report_city = 0;
  int selected_line = 0;  // the report's
  int focus = kCityList;
};

// The secondary window: its kind, the records it shows, its selection and its
// focus. Opening another one replaces the value whole.
struct SecondaryWindowState {
  WindowKind kind = WindowKind::forecast;
  std::vector<alert> alerts;               // the forecast's in force; the alert window's one
  std::vector<forecastday> days;           // the forecast's and the next hours'
  CivilDate made_on;                       // the forecast's "Today"
  std::string localtime;                   // the next hours': the city's clock when fetched
  std::vector<location> places;            // the search's results
  std::vector<std::string> announcements;  // the history's, when it opened
  std::vector<std::string> lines;          // the Help menu's windows', made as they open
  int selected = 0;
  // The forecast's box shows the selected line from the first move of the
  // list's selection on; until then it stays empty.
  bool detail_follows = false;
  int focus = 0;
};

// True when `index` names one of `count` items: the one check of a selection.
inline bool InRange(int64_t index, size_t count) {
  return index >= 0 && static_cast<uint64_t>(index) < count;
}

// The item at `index`, or none.
template <class T>
const T* ItemAt(const std::vector<T>& items, int index) {
  return InRange(index, items.size()) ? &items[static_cast<size_t>(index)] : nullptr;
}
template <class T>
T* ItemAt(std::vector<T>& items, int index) {
  return InRange(index, items.size()) ? &items[static_cast<size_t>(index)] : nullptr;
}

// A selection as shown: `index` when it names an item, else the first item
// (a saved selection past the end of a list edited by hand); -1 for none.
inline int SelectionIn(int64_t index, size_t count) {
  if (InRange(index, count))
    return static_cast<int>(index);
  return count > 0 ? 0 : -1;
}

}  // namespace skyvigil
