// A recording stand-in for the desktop and its process services: keeps what
// the core shows and answers dialogs from scripted replies.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/process.h"
#include "ports/ui.h"

namespace skyvigil::testing {

class FakeUi : public UiPort, public ProcessPort {
 public:
  // What the controls hold.
  std::vector<std::string> city_lines;
  int city_selection = -1;
  std::string heading = "Current Weather";
  std::vector<std::string> report_lines;
  int report_selection = -1;
  std::string detail_text;
  std::string tooltip = "Skyvigil";
  bool tray_icon = true;
  bool window_shown = true;
  bool window_closed = false;
  bool marker_released = false;
  int memory_releases = 0;
  std::optional<int> loop_quit_code;  // set when the event loop was asked to end
  std::optional<int> ended_at_once;   // set when the process was ended without teardown
  // Where the process calls are written ("marker released", "loop quit 0") when
  // a test wants them in one list with other fakes' records.
  std::vector<std::string>* process_log = nullptr;
  FocusedControl focus = FocusedControl::city_list;
  std::string clipboard;
  int text_size = 100;  // percent, as last set

  // Window 1: "" when closed, else "Forecast", "Results", "History" or a list
  // window's title.
  std::string secondary_window;
  std::vector<std::string> forecast_lines;
  int forecast_selection = -1;
  std::string forecast_detail_text;
  std::vector<std::string> result_entries;
  int result_selection = -1;
  std::vector<std::string> history_lines;
  int history_selection = -1;
  // A list window's lines (its title is in secondary_window).
  std::vector<std::string> list_lines;
  int list_selection = -1;
  std::vector<int> briefing_timers;  // seconds of each timer started
  // The download's window, as "open <title>", "bar <percent>" and "close".
  std::vector<std::string> download_window;
  int updater_starts = 0;
  bool starts_at_login = false;
  bool start_at_login_fails = false;

  // Scripted answers; an unexpected dialog fails the test.
  std::deque<std::optional<std::string>> text_answers;  // nullopt: Escape
  std::deque<bool> yes_no_answers;
  std::deque<std::optional<std::string>> key_answers;  // nullopt: Cancel
  std::vector<KeyPrompt> key_prompts;                  // every key dialog shown
  // The key dialog's Escape comes while the next key is being tried.
  bool escape_while_trying = false;
  // Runs the main thread's posted work while a dialog waits in its own loop.
  std::function<void()> await_main_thread;

  // Every dialog shown, as "title|text" (input boxes as "title|prompt|initial",
  // the key dialog as "title|problem|initial").
  std::vector<std::string> dialogs;
  // Changes of the city list's selection made from code.
  int city_selections_from_code = 0;

  void SetCityLines(const std::vector<std::string>& lines) override;
  int CitySelection() const override { return city_selection; }
  void SelectCity(int index) override;
  void SetHeading(const std::string& text) override { heading = text; }
  void SetReportLines(const std::vector<std::string>& lines) override;
  int ReportSelection() const override { return report_selection; }
  void SelectReportLine(int index) override;
  void SetDetailText(const std::string& text) override { detail_text = text; }
  std::string DetailText() const override { return detail_text; }
  void SetTrayTooltip(const std::string& text) override { tooltip = text; }
  void RemoveTrayIcon() override { tray_icon = false; }
  void HideMainWindow() override { window_shown = false; }
  void ShowMainWindow() override { window_shown = true; }
  void BringMainWindowBack() override {
    window_shown = true;
    focus = FocusedControl::city_list;
  }
  void CloseMainWindow() override { window_closed = true; }
  FocusedControl Focus() const override { return focus; }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void SetTextSize(int percent) override { text_size = percent; }
  void OpenForecastWindow() override;
  void SetForecastLines(const std::vector<std::string>& lines) override;
  int ForecastSelection() const override { return forecast_selection; }
  void SetForecastDetailText(const std::string& text) override { forecast_detail_text = text; }
  std::string ForecastDetailText() const override { return forecast_detail_text; }
  void OpenResultsWindow(const std::vector<std::string>& entries) override;
  void SetResultEntries(const std::vector<std::string>& entries) override;
  int ResultSelection() const override { return result_selection; }
  void OpenHistoryWindow(const std::vector<std::string>& lines) override;
  int HistorySelection() const override { return history_selection; }
  void OpenListWindow(ListWindow which) override;
  void SetListWindowLines(const std::vector<std::string>& lines) override;
  int ListWindowSelection() const override { return list_selection; }
  void StartBriefingTimer(int seconds) override { briefing_timers.push_back(seconds); }
  void CloseSecondaryWindow() override;
  void OpenDownloadWindow() override;
  void SetDownloadProgress(int percent) override {
    download_window.push_back("bar " + std::to_string(percent));
  }
  void CloseDownloadWindow() override { download_window.push_back("close"); }
  std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) override;
  void StartUpdater(const std::filesystem::path&) override { ++updater_starts; }
  bool StartsAtLogin() const override { return starts_at_login; }
  bool SetStartAtLogin(bool on) override {
    if (start_at_login_fails)
      return false;
    starts_at_login = on;
    return true;
  }
  void ReleaseMarker() override {
    marker_released = true;
    if (process_log != nullptr)
      process_log->push_back("marker released");
  }
  void ReleaseFreedMemory() override { ++memory_releases; }
  void QuitEventLoop(int exit_code) override {
    loop_quit_code = exit_code;
    if (process_log != nullptr)
      process_log->push_back("loop quit " + std::to_string(exit_code));
  }
  void EndAtOnce(int exit_code) override { ended_at_once = exit_code; }
};

}  // namespace skyvigil::testing
