// UiPort on Win32. Core texts are UTF-8; they become UTF-16 at each call.
#include "platform/win32/win_ui.h"

#include <cstring>

#include "platform/win32/download_window_win32.h"
#include "platform/win32/input_box.h"
#include "platform/win32/main_window.h"
#include "platform/win32/secondary_window_win32.h"
#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

// Dialogs belong to the foreground window when it is ours, else to none.
HWND DialogOwner() {
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground != nullptr)
    GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

// Without an owner a box still keeps the program's windows waiting.
UINT Modality(HWND owner) {
  return owner == nullptr ? MB_TASKMODAL : MB_APPLMODAL;
}

}  // namespace

WinUi::WinUi(CoreGate& gate, AccessibleNames& names) : gate_(gate), names_(names) {}

WinUi::~WinUi() = default;

void WinUi::SetCityLines(const std::vector<std::string>& lines) {
  if (window_ == nullptr)
    return;
  SetListLines(window_->city_list(), lines);
  window_->LayOut();  // the widest line decides the list's width
}

int WinUi::CitySelection() const {
  return window_ != nullptr ? ListSelection(window_->city_list()) : -1;
}

void WinUi::SelectCity(int index) {
  if (window_ != nullptr)
    SelectListLine(window_->city_list(), index);
}

void WinUi::SetHeading(const std::string& text) {
  if (window_ != nullptr)
    window_->SetHeading(win32::Utf8ToUtf16(text));
}

void WinUi::SetReportLines(const std::vector<std::string>& lines) {
  if (window_ == nullptr)
    return;
  SetListLines(window_->report_list(), lines);
  window_->LayOut();
}

void WinUi::SetTextSize(int percent) {
  SetTextPercent(percent);
  if (window_ != nullptr)
    window_->SetTextPercent(percent);
  if (secondary_ != nullptr)
    secondary_->ApplyTextSize();
  if (download_ != nullptr)
    download_->ApplyTextSize();
}

int WinUi::ReportSelection() const {
  return window_ != nullptr ? ListSelection(window_->report_list()) : -1;
}

void WinUi::SelectReportLine(int index) {
  if (window_ != nullptr)
    SelectListLine(window_->report_list(), index);
}

void WinUi::SetDetailText(const std::string& text) {
  // WM_SETTEXT on an edit box raises no event that reaches the core.
  if (window_ != nullptr)
    SetWindowTextW(window_->detail_box(), win32::Utf8ToUtf16(text).c_str());
}

std::string WinUi::DetailText() const {
  return window_ != nullptr ? win32::Utf16ToUtf8(WindowText(window_->detail_box())) : std::string();
}

void WinUi::SetTrayTooltip(const std::string& text) {
  if (window_ != nullptr)
    window_->tray().SetTooltip(win32::Utf8ToUtf16(text));
}

void WinUi::RemoveTrayIcon() {
  if (window_ != nullptr)
    window_->tray().Remove();
}

void WinUi::HideMainWindow() {
  if (window_ == nullptr)
    return;
  was_minimized_ = IsIconic(window_->hwnd()) != 0;
  ShowWindow(window_->hwnd(), SW_HIDE);
}

void WinUi::ShowMainWindow() {
  if (window_ == nullptr)
    return;
  HWND hwnd = window_->hwnd();
  // Shown again, the window starts from the city list.
  window_->ForgetFocus();
  if (was_minimized_) {
    ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    return;
  }
  // A hidden window keeps its maximised state; SW_SHOWNA shows it as it was.
  ShowWindow(hwnd, SW_SHOWNA);
  Activate(false);
}

void WinUi::BringMainWindowBack() {
  if (window_ == nullptr)
    return;
  HWND hwnd = window_->hwnd();
  window_->ForgetFocus();
  ShowWindow(hwnd, IsIconic(hwnd) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  Activate(true);
}

// Shown without activation first, so that the one activation comes last: the
// screen reader hears the window come to the front, then WM_ACTIVATE focuses
// the city list (ForgetFocus) and it hears the list and its line, as it does
// for a dialog.
void WinUi::Activate(bool focus_city_list) {
  HWND hwnd = window_->hwnd();
  // Windows may keep the foreground for the program the user turned to last;
  // active among ours at least, the focus is right when the user comes here.
  if (!SetForegroundWindow(hwnd))
    SetActiveWindow(hwnd);
  // An active window gets no WM_ACTIVATE to move its focus.
  const FocusedControl focus = Focus();
  const bool move =
      focus_city_list ? focus != FocusedControl::city_list : focus == FocusedControl::none;
  if (GetActiveWindow() == hwnd && move)
    SetFocus(window_->city_list());
}

void WinUi::CloseMainWindow() {
  // Destroying it here would pull the window out from under the handler that
  // runs in it; the message loop ends right after and main destroys it.
  if (window_ != nullptr)
    ShowWindow(window_->hwnd(), SW_HIDE);
}

FocusedControl WinUi::Focus() const {
  HWND focus = GetFocus();
  if (focus == nullptr || window_ == nullptr)
    return FocusedControl::none;
  if (focus == window_->city_list())
    return FocusedControl::city_list;
  if (focus == window_->report_list())
    return FocusedControl::report_list;
  if (focus == window_->detail_box())
    return FocusedControl::detail_box;
  if (focus == ForecastList())
    return FocusedControl::forecast_list;
  if (focus == ForecastBox())
    return FocusedControl::forecast_box;
  if (focus == HistoryList())
    return FocusedControl::history_list;
  if (focus == ListWindowList())
    return FocusedControl::list_window;
  return FocusedControl::other;
}

void WinUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  HWND owner = DialogOwner();
  const UINT style = MB_OK | Modality(owner) | (icon == MessageIcon::error ? MB_ICONERROR : 0);
  MessageBoxW(owner, win32::Utf8ToUtf16(text).c_str(), win32::Utf8ToUtf16(title).c_str(), style);
}

bool WinUi::AskYesNo(const std::string& title, const std::string& text) {
  HWND owner = DialogOwner();
  return MessageBoxW(owner, win32::Utf8ToUtf16(text).c_str(), win32::Utf8ToUtf16(title).c_str(),
                     MB_YESNO | Modality(owner)) == IDYES;
}

std::optional<std::string> WinUi::AskText(const std::string& title, const std::string& prompt,
                                          const std::string& initial) {
  const std::optional<std::wstring> answer =
      AskInputBox(DialogOwner(), names_, win32::Utf8ToUtf16(title), win32::Utf8ToUtf16(prompt),
                  win32::Utf8ToUtf16(initial));
  if (!answer)
    return std::nullopt;
  return win32::Utf16ToUtf8(*answer);
}

void WinUi::SetClipboardText(const std::string& text) {
  const std::wstring wide = win32::Utf8ToUtf16(text);
  // A busy clipboard is not reported.
  if (!OpenClipboard(window_ != nullptr ? window_->hwnd() : nullptr))
    return;
  EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
      GlobalFree(memory);
  }
  CloseClipboard();
}

void WinUi::OpenForecastWindow() {
  CloseSecondaryWindow();
  if (window_ != nullptr)
    secondary_ =
        SecondaryWindow::Open(window_->hwnd(), gate_, names_, SecondaryWindow::Kind::forecast, {});
}

void WinUi::SetForecastLines(const std::vector<std::string>& lines) {
  HWND list = ForecastList();
  if (list == nullptr)
    return;
  SetListLines(list, lines);
  SelectListLine(list, 0);
  SetFocus(list);
}

int WinUi::ForecastSelection() const {
  HWND list = ForecastList();
  return list != nullptr ? ListSelection(list) : -1;
}

void WinUi::SetForecastDetailText(const std::string& text) {
  if (HWND box = ForecastBox())
    SetWindowTextW(box, win32::Utf8ToUtf16(text).c_str());
}

std::string WinUi::ForecastDetailText() const {
  HWND box = ForecastBox();
  return box != nullptr ? win32::Utf16ToUtf8(WindowText(box)) : std::string();
}

void WinUi::OpenResultsWindow(const std::vector<std::string>& entries) {
  CloseSecondaryWindow();
  if (window_ != nullptr)
    secondary_ = SecondaryWindow::Open(window_->hwnd(), gate_, names_,
                                       SecondaryWindow::Kind::results, entries);
}

void WinUi::SetResultEntries(const std::vector<std::string>& entries) {
  if (secondary_ == nullptr || secondary_->kind() != SecondaryWindow::Kind::results)
    return;
  HWND list = secondary_->list();
  SetListLines(list, entries);
  SelectListLine(list, 0);
  SetFocus(list);
}

int WinUi::ResultSelection() const {
  const bool open = secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::results;
  return open ? ListSelection(secondary_->list()) : -1;
}

void WinUi::OpenHistoryWindow(const std::vector<std::string>& lines) {
  CloseSecondaryWindow();
  if (window_ != nullptr)
    secondary_ = SecondaryWindow::Open(window_->hwnd(), gate_, names_,
                                       SecondaryWindow::Kind::history, lines);
}

int WinUi::HistorySelection() const {
  HWND list = HistoryList();
  return list != nullptr ? ListSelection(list) : -1;
}

void WinUi::OpenListWindow(ListWindow which) {
  CloseSecondaryWindow();
  if (window_ != nullptr)
    secondary_ = SecondaryWindow::Open(window_->hwnd(), gate_, names_, KindOf(which), {});
}

void WinUi::SetListWindowLines(const std::vector<std::string>& lines) {
  HWND list = ListWindowList();
  if (list == nullptr)
    return;
  SetListLines(list, lines);
  SelectListLine(list, 0);
  SetFocus(list);
}

int WinUi::ListWindowSelection() const {
  HWND list = ListWindowList();
  return list != nullptr ? ListSelection(list) : -1;
}

void WinUi::StartBriefingTimer(int seconds) {
  if (window_ != nullptr)
    window_->StartBriefingTimer(seconds);
}

std::optional<std::string> WinUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  using win32::Utf8ToUtf16;
  const KeyBoxTexts texts{Utf8ToUtf16(prompt.title),   Utf8ToUtf16(prompt.explanation),
                          Utf8ToUtf16(prompt.address), Utf8ToUtf16(prompt.label),
                          Utf8ToUtf16(prompt.problem), Utf8ToUtf16(prompt.initial)};
  const std::optional<std::wstring> key = AskKeyBox(DialogOwner(), names_, texts, trial);
  if (!key)
    return std::nullopt;
  return win32::Utf16ToUtf8(*key);
}

void WinUi::CloseSecondaryWindow() {
  secondary_.reset();
}

void WinUi::OpenDownloadWindow() {
  download_.reset();
  if (window_ != nullptr)
    download_ = DownloadWindow::Open(window_->hwnd(), gate_, names_);
}

void WinUi::SetDownloadProgress(int percent) {
  if (download_ != nullptr)
    download_->SetPercent(percent);
}

void WinUi::CloseDownloadWindow() {
  download_.reset();
}

HWND WinUi::ForecastList() const {
  const bool open = secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::forecast;
  return open ? secondary_->list() : nullptr;
}

HWND WinUi::ListWindowList() const {
  const bool open =
      secondary_ != nullptr && (secondary_->kind() == SecondaryWindow::Kind::next_hours ||
                                secondary_->kind() == SecondaryWindow::Kind::alert);
  return open ? secondary_->list() : nullptr;
}

HWND WinUi::HistoryList() const {
  const bool open = secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::history;
  return open ? secondary_->list() : nullptr;
}

HWND WinUi::ForecastBox() const {
  const bool open = secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::forecast;
  return open ? secondary_->detail_box() : nullptr;
}

}  // namespace skyvigil
