// The core's view of the desktop on plain Win32: controls of window 0, the
// tray icon, modal dialogs, the clipboard and window 1.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ports/ui.h"

namespace skyvigil {

class AccessibleNames;
class CoreGate;
class DownloadWindow;
class MainWindow;
class SecondaryWindow;

class WinUi : public UiPort {
 public:
  WinUi(CoreGate& gate, AccessibleNames& names);
  ~WinUi() override;

  // Until the window stands, control calls do nothing and dialogs have no owner.
  void Attach(MainWindow* window) { window_ = window; }

  void SetCityLines(const std::vector<std::string>& lines) override;
  int CitySelection() const override;
  void SelectCity(int index) override;
  void SetHeading(const std::string& text) override;
  void SetReportLines(const std::vector<std::string>& lines) override;
  int ReportSelection() const override;
  void SelectReportLine(int index) override;
  void SetDetailText(const std::string& text) override;
  std::string DetailText() const override;
  void SetTrayTooltip(const std::string& text) override;
  void RemoveTrayIcon() override;
  void HideMainWindow() override;
  void ShowMainWindow() override;
  void BringMainWindowBack() override;
  void CloseMainWindow() override;
  FocusedControl Focus() const override;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;
  void SetClipboardText(const std::string& text) override;
  void SetTextSize(int percent) override;
  void OpenForecastWindow() override;
  void SetForecastLines(const std::vector<std::string>& lines) override;
  int ForecastSelection() const override;
  void SetForecastDetailText(const std::string& text) override;
  std::string ForecastDetailText() const override;
  void OpenResultsWindow(const std::vector<std::string>& entries) override;
  void SetResultEntries(const std::vector<std::string>& entries) override;
  int ResultSelection() const override;
  void OpenHistoryWindow(const std::vector<std::string>& lines) override;
  int HistorySelection() const override;
  void OpenListWindow(ListWindow which) override;
  void SetListWindowLines(const std::vector<std::string>& lines) override;
  int ListWindowSelection() const override;
  void StartBriefingTimer(int seconds) override;
  void CloseSecondaryWindow() override;
  void OpenDownloadWindow() override;
  void SetDownloadProgress(int percent) override;
  void CloseDownloadWindow() override;
  std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) override;

 private:
  // Controls of the forecast window; null when it is not open.
  HWND ForecastList() const;
  HWND ForecastBox() const;
  HWND HistoryList() const;
  HWND ListWindowList() const;
  // Brings the shown main window to the front; see win_ui.cpp.
  void Activate(bool focus_city_list);

  CoreGate& gate_;
  AccessibleNames& names_;
  MainWindow* window_ = nullptr;
  std::unique_ptr<SecondaryWindow> secondary_;  // window 1, when open
  std::unique_ptr<DownloadWindow> download_;    // the update download's, when open
  // Whether the window was minimised when it was hidden: shown again so.
  bool was_minimized_ = false;
};

}  // namespace skyvigil
