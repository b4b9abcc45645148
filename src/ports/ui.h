// What the core needs from the desktop: the main window's controls, the tray
// icon, modal dialogs, the clipboard and the secondary windows. Each desktop
// layer implements it; tests use a recording fake.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skyvigil {

// Which control has the keyboard focus, as far as the copy command cares.
enum class FocusedControl {
  none,
  city_list,
  report_list,
  detail_box,
  forecast_list,
  forecast_box,
  history_list,
  list_window,
  other
};

enum class MessageIcon { none, error };

// The texts of the "Weather Service Key" dialog; the core writes them.
struct KeyPrompt {
  std::string title;
  std::string explanation;  // a few lines on where the key comes from
  std::string address;      // the sign-up page, in a read-only box to select and copy
  std::string label;        // names the key's input field
  std::string problem;      // why the last key was not kept; empty the first time
  std::string initial;      // the field's text
};

// Tries a key while the key dialog stays open and answerable; the core
// implements it. The dialog calls Start on OK and Cancel on Escape, Cancel
// or closing while a trial runs.
class KeyTrial {
 public:
  virtual ~KeyTrial() = default;
  // `done` runs later on the main thread, inside the dialog's own loop; the
  // dialog then ends with the key it holds. Never runs after Cancel.
  virtual void Start(const std::string& key, std::function<void()> done) = 0;
  virtual void Cancel() = 0;
};

// The list windows the core opens besides the forecast, results and history.
enum class ListWindow { next_hours, alert };

class UiPort {
 public:
  virtual ~UiPort() = default;

  // Control 1, the city list. Changing it from code raises no list event.
  virtual void SetCityLines(const std::vector<std::string>& lines) = 0;
  virtual int CitySelection() const = 0;   // -1 when nothing is selected
  virtual void SelectCity(int index) = 0;  // an index out of range clears the selection

  // Control 2, the heading; it also names the report list for screen readers.
  virtual void SetHeading(const std::string& text) = 0;
  // Control 3, the report list.
  virtual void SetReportLines(const std::vector<std::string>& lines) = 0;
  virtual int ReportSelection() const = 0;  // -1 when nothing is selected
  virtual void SelectReportLine(int index) = 0;
  // Control 4, the read-only detail box.
  virtual void SetDetailText(const std::string& text) = 0;
  virtual std::string DetailText() const = 0;

  // Notification-area icon; the text arrives already cut to what the tray shows.
  virtual void SetTrayTooltip(const std::string& text) = 0;
  virtual void RemoveTrayIcon() = 0;

  virtual void HideMainWindow() = 0;
  // Shows the window in the state it had (maximised, minimised or normal and
  // active); gives the city list the focus when no control has it.
  virtual void ShowMainWindow() = 0;
  // Shows the window un-minimised, in front and active, with the city list
  // focused, and lets the screen reader announce the window, then the list.
  virtual void BringMainWindowBack() = 0;
  virtual void CloseMainWindow() = 0;
  virtual FocusedControl Focus() const = 0;

  // Modal dialogs.
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // One-line input box: the field's text on Enter or OK, nullopt on Escape or
  // closing, so an emptied field is told apart from a box left alone.
  virtual std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                             const std::string& initial) = 0;

  virtual void SetClipboardText(const std::string& text) = 0;

  // The font of every window, main and secondary, open now or later: the
  // system's own size times `percent` / 100. The main window lays itself
  // out again for it.
  virtual void SetTextSize(int percent) = 0;

  // Window 1: the forecast, search results or history window, owned by the
  // main window. Opening one closes whichever window 1 is open. None has
  // a close box; its own Escape (command 100) and buttons close it.
  //
  // Forecast window "Forecast": label 100 "Forecast", list 101, read-only box
  // 103, buttons 104 "Copy forecast" and 102 "Close"; Escape gives command
  // 100 and Control+Shift+C command 13. Shown empty while the forecast loads.
  virtual void OpenForecastWindow() = 0;
  // Fills list 101, selects line 0 without a list event (the box stays
  // empty) and gives the list the focus.
  virtual void SetForecastLines(const std::vector<std::string>& lines) = 0;
  virtual int ForecastSelection() const = 0;  // -1 when nothing is selected
  virtual void SetForecastDetailText(const std::string& text) = 0;
  virtual std::string ForecastDetailText() const = 0;
  // Results window "Results": label 200 "Results", list 201 of `entries`,
  // buttons 202 "Add" and 203 "Cancel"; Return gives command 200 and Escape
  // command 100. Entry 0 is selected and the list has the focus. Opened
  // empty while the search runs.
  virtual void OpenResultsWindow(const std::vector<std::string>& entries) = 0;
  // Fills list 201 of the open results window, selects entry 0 and gives the
  // list the focus.
  virtual void SetResultEntries(const std::vector<std::string>& entries) = 0;
  virtual int ResultSelection() const = 0;  // -1 when nothing is selected
  // History window "History": label 300 "Announcements", list 301 of `lines`,
  // line 0 selected and focused; Escape gives command 100, Control+Shift+C
  // command 13.
  virtual void OpenHistoryWindow(const std::vector<std::string>& lines) = 0;
  virtual int HistorySelection() const = 0;  // -1 when nothing is selected
  // A list window of the core's, "Next Hours" or "Alert": label 400 and list
  // 401 named as the window, buttons 402 "Copy all" and 403 "Close"; Escape
  // gives command 100, Control+Shift+C command 13. Opened empty while its
  // lines load.
  virtual void OpenListWindow(ListWindow which) = 0;
  // Fills list 401 of the open list window, selects line 0 and gives the list
  // the focus, so the line is read.
  virtual void SetListWindowLines(const std::vector<std::string>& lines) = 0;
  virtual int ListWindowSelection() const = 0;  // -1 when nothing is selected
  virtual void CloseSecondaryWindow() = 0;

  // One-shot: OnBriefingTimer runs after `seconds`; a new call replaces a
  // timer still waiting.
  virtual void StartBriefingTimer(int seconds) = 0;
  // The update download's window, as kDownloadWindow (app/window_specs.h)
  // says, owned by the main window and leaving it usable. Escape, Cancel and
  // its close box each run the core's OnDownloadWindowClose; the window stays
  // until CloseDownloadWindow.
  virtual void OpenDownloadWindow() = 0;
  // The bar at `percent` (0 to 100); -1: the length is unknown, the bar pulses.
  virtual void SetDownloadProgress(int percent) = 0;
  virtual void CloseDownloadWindow() = 0;

  // Modal key dialog: the explanation, the address box, the problem (when not
  // empty), the labelled key field, OK and Cancel. OK starts `trial` with the
  // field's text and the dialog ends, with that text, when the trial is done.
  // nullopt when cancelled.
  virtual std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) = 0;
};

}  // namespace skyvigil
