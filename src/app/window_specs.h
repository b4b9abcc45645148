// What the secondary windows and the dialogs hold, decided once for every
// desktop: titles, controls with their numbers, texts, accessible names and
// places, and the keys of each window. The desktops build their windows from
// these rows and only add what their toolkit needs.
#pragma once

#include <chrono>
#include <span>
#include <string_view>

#include "app/commands.h"

namespace skyvigil {

// The main window's refresh timer.
constexpr std::chrono::minutes kRefreshInterval{15};

enum class ControlKind { label, list, read_only_box, button };

// A control at 96 DPI. A label names the list that follows it; a label or
// button may grow to fit its text.
struct ControlSpec {
  int number;
  ControlKind kind;
  std::string_view text;  // a label's or button's text
  std::string_view name;  // the accessible name of a list or box
  int x, y, width, height;
};

enum class SecondaryWindowKind { forecast, results, history, next_hours, alert };

struct WindowSpec {
  SecondaryWindowKind kind;
  std::string_view title;
  std::span<const ControlSpec> controls;  // in tab order
  int (*command_for)(const Shortcut& pressed);
  void (*on_list_event)(App& app);  // what a change of its list does; null: nothing
  int width, height;  // the inner size at 96 DPI, wider when a control reaches past it
};

// Window 1 of the given kind.
const WindowSpec& SecondaryWindowSpec(SecondaryWindowKind kind);
// How much window 1's places and sizes grow with the text size: as the text
// does, but only as far as the whole window still fits in a room of
// `room_width` by `room_height` (96 DPI), and never below the WindowSpec's own size.
double WindowSpecScale(const WindowSpec& spec, int text_percent, int room_width, int room_height);

// The kind of window 1 that shows the list window `which`.
SecondaryWindowKind KindOf(ListWindow which);

// The update download's window, beside window 1: a label that names the
// progress bar under it, and a Cancel button, which has the focus. Escape,
// Cancel and the close box cancel the download (OnDownloadWindowClose).
struct ProgressBarSpec {
  int number;
  std::string_view name;  // its accessible name
  int x, y, width, height;
};

struct DownloadWindowSpec {
  std::string_view title;
  ControlSpec label;
  ProgressBarSpec bar;  // 0 to 100, or pulsing while the length is unknown
  ControlSpec cancel;
  int width, height;
};

inline constexpr DownloadWindowSpec kDownloadWindow{
    "Downloading update",
    {400, ControlKind::label, "Downloaded", "", 12, 12, 296, 20},
    {401, "Downloaded", 12, 36, 296, 20},
    {402, ControlKind::button, "Cancel", "", 12, 68, 90, 28},
    320,
    108,
};

// The buttons and names the key and text dialogs share.
struct DialogTexts {
  std::string_view ok = "OK";
  std::string_view cancel = "Cancel";
  std::string_view address_name = "Sign-up page";  // the key dialog's address box
};
inline constexpr DialogTexts kDialogTexts{};

}  // namespace skyvigil
