// The core's view of the desktop, on wxWidgets: controls of window 0, the tray
// icon, modal dialogs and the clipboard.
#pragma once

#include <string>
#include <vector>

#include "ports/ui.h"

namespace skyvigil {

class CoreGate;
class DownloadWindow;
class MainFrame;
class SecondaryWindow;
class TrayIcon;

class WxUi : public UiPort {
 public:
  explicit WxUi(CoreGate& gate);

  // Until the window stands, control calls do nothing and dialogs have no owner.
  void Attach(MainFrame* frame, TrayIcon* tray);

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
  bool HasForecastWindow() const;
  bool HasHistoryWindow() const;
  bool HasListWindow() const;

  CoreGate& gate_;
  MainFrame* frame_ = nullptr;
  TrayIcon* tray_ = nullptr;
  SecondaryWindow* secondary_ = nullptr;  // window 1, when open
  DownloadWindow* download_ = nullptr;    // the update download's, when open
  // The window's state when it was hidden, restored when it is shown again.
  bool was_iconized_ = false;
  bool was_maximized_ = false;
};

}  // namespace skyvigil
