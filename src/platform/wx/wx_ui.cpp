// UiPort on wxWidgets. Core texts are UTF-8 throughout.
#include "platform/wx/wx_ui.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <wx/clipbrd.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/download_window.h"
#include "platform/wx/key_dialog.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/secondary_window.h"
#include "platform/wx/text_dialog.h"
#include "platform/wx/text_font.h"
#include "platform/wx/tray_icon.h"

namespace skyvigil {

namespace {

wxArrayString ToWx(const std::vector<std::string>& lines) {
  wxArrayString items;
  items.reserve(lines.size());
  for (const std::string& line : lines)
    items.push_back(wxString::FromUTF8(line));
  return items;
}

// A focused list's lines are changed where they stand, added or removed at
// the end: emptied and filled again, it would leave the screen reader on a
// line that is gone, and the next window would be announced without its
// title and list. Any other list is filled afresh, which costs the screen
// reader one event per line instead of three. The selection is the caller's.
void ReplaceLines(wxListBox* list, const std::vector<std::string>& lines) {
  if (!list->HasFocus()) {
    list->Set(ToWx(lines));
    return;
  }
  while (list->GetCount() > lines.size())
    list->Delete(list->GetCount() - 1);
  const size_t kept = list->GetCount();
  for (size_t i = 0; i < kept; ++i) {
    const wxString text = wxString::FromUTF8(lines[i]);
    if (list->GetString(static_cast<unsigned>(i)) != text)
      list->SetString(static_cast<unsigned>(i), text);
  }
  if (lines.size() > kept)
    list->Append(ToWx({lines.begin() + static_cast<std::ptrdiff_t>(kept), lines.end()}));
}

// A secondary window's list filled by its answer: the first line selected and
// focused, so the screen reader reads it.
void FillAndFocus(wxListBox* list, const std::vector<std::string>& lines) {
  ReplaceLines(list, lines);
  if (!lines.empty())
    list->SetSelection(0);
  list->SetFocus();
}

void Select(wxListBox* list, int index) {
  if (index >= 0 && static_cast<unsigned>(index) < list->GetCount()) {
    list->SetSelection(index);
  } else {
    list->SetSelection(wxNOT_FOUND);
  }
}

// Dialogs belong to the active window when it is one of ours, else to none.
wxWindow* DialogOwner() {
  wxWindow* active = wxGetActiveWindow();
  return active != nullptr && active->IsShown() ? active : nullptr;
}

bool IsWithin(const wxWindow* window, const wxWindow* control) {
  for (; window != nullptr; window = window->GetParent()) {
    if (window == control)
      return true;
  }
  return false;
}

}  // namespace

WxUi::WxUi(CoreGate& gate) : gate_(gate) {}

void WxUi::Attach(MainFrame* frame, TrayIcon* tray) {
  frame_ = frame;
  tray_ = tray;
}

void WxUi::SetCityLines(const std::vector<std::string>& lines) {
  if (frame_ == nullptr)
    return;
  ReplaceLines(frame_->city_list(), lines);
  frame_->LayOut();  // the widest line decides the list's width
}

int WxUi::CitySelection() const {
  return frame_ != nullptr ? frame_->city_list()->GetSelection() : -1;
}

void WxUi::SelectCity(int index) {
  if (frame_ == nullptr)
    return;
  Select(frame_->city_list(), index);
  // Hidden, the list gets its cursor now rather than when the window comes
  // back. Not while shown: before the window's first activation that would
  // again reach the screen reader too early. Not for the report list either:
  // a list with a cursor is emptied row by row, each row a cursor move.
  if (!frame_->IsShown() && frame_->city_list()->GetSelection() == index)
    MoveListCursor(frame_->city_list(), index);
}

void WxUi::SetHeading(const std::string& text) {
  if (frame_ == nullptr)
    return;
  frame_->heading()->SetLabelText(wxString::FromUTF8(text));
  SetAccessibleName(frame_->report_list(), text);
}

void WxUi::SetReportLines(const std::vector<std::string>& lines) {
  if (frame_ == nullptr)
    return;
  ReplaceLines(frame_->report_list(), lines);
  frame_->LayOut();
}

int WxUi::ReportSelection() const {
  return frame_ != nullptr ? frame_->report_list()->GetSelection() : -1;
}

void WxUi::SelectReportLine(int index) {
  if (frame_ != nullptr)
    Select(frame_->report_list(), index);
}

void WxUi::SetDetailText(const std::string& text) {
  // ChangeValue, not SetValue: the box raises no event of its own.
  if (frame_ != nullptr)
    frame_->detail_box()->ChangeValue(wxString::FromUTF8(text));
}

std::string WxUi::DetailText() const {
  return frame_ != nullptr ? frame_->detail_box()->GetValue().utf8_string() : std::string();
}

void WxUi::SetTextSize(int percent) {
  // Every window has it already (the start sets the saved size, often the
  // built-in one): new fonts would restyle and lay out every control again.
  if (percent == TextPercent())
    return;
  SetTextPercent(percent);
  if (frame_ != nullptr)
    frame_->SetTextPercent(percent);
  if (secondary_ != nullptr)
    ApplyTextFont(secondary_);
  if (download_ != nullptr)
    ApplyTextFont(download_);
}

void WxUi::SetTrayTooltip(const std::string& text) {
  if (tray_ != nullptr)
    tray_->SetTooltip(text);
}

void WxUi::RemoveTrayIcon() {
  if (tray_ != nullptr)
    tray_->Remove();
}

void WxUi::HideMainWindow() {
  if (frame_ == nullptr)
    return;
  was_iconized_ = frame_->IsIconized();
  was_maximized_ = frame_->IsMaximized();
  frame_->Hide();
}

void WxUi::ShowMainWindow() {
  if (frame_ == nullptr)
    return;
  if (was_iconized_) {
    // Asked for while the window is hidden, the minimised state is the one it
    // is shown in; asked for right after showing, the window manager may not
    // see it yet.
    frame_->Iconize(true);
    frame_->Show();
    return;
  } else {
    frame_->Show();
    if (was_maximized_)
      frame_->Maximize(true);
    frame_->Raise();  // brings it to the front and activates it
  }
  if (Focus() == FocusedControl::none)
    frame_->city_list()->SetFocus();
}

void WxUi::BringMainWindowBack() {
  if (frame_ == nullptr)
    return;
  frame_->Iconize(false);
  frame_->Show();
  frame_->Raise();
  frame_->city_list()->SetFocus();
}

void WxUi::CloseMainWindow() {
  if (frame_ != nullptr)
    frame_->Hide();
}

FocusedControl WxUi::Focus() const {
  const wxWindow* focus = wxWindow::FindFocus();
  if (focus == nullptr || frame_ == nullptr)
    return FocusedControl::none;
  if (IsWithin(focus, frame_->city_list()))
    return FocusedControl::city_list;
  if (IsWithin(focus, frame_->report_list()))
    return FocusedControl::report_list;
  if (IsWithin(focus, frame_->detail_box()))
    return FocusedControl::detail_box;
  if (HasForecastWindow()) {
    if (IsWithin(focus, secondary_->list()))
      return FocusedControl::forecast_list;
    if (IsWithin(focus, secondary_->detail_box()))
      return FocusedControl::forecast_box;
  }
  if (HasHistoryWindow() && IsWithin(focus, secondary_->list()))
    return FocusedControl::history_list;
  if (HasListWindow() && IsWithin(focus, secondary_->list()))
    return FocusedControl::list_window;
  return FocusedControl::other;
}

void WxUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  const long style = wxOK | (icon == MessageIcon::error ? wxICON_ERROR : wxICON_NONE);
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), style, DialogOwner());
}

bool WxUi::AskYesNo(const std::string& title, const std::string& text) {
  return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), wxYES_NO | wxICON_NONE,
                      DialogOwner()) == wxYES;
}

std::optional<std::string> WxUi::AskText(const std::string& title, const std::string& prompt,
                                         const std::string& initial) {
  return AskTextDialog(DialogOwner(), title, prompt, initial);
}

void WxUi::SetClipboardText(const std::string& text) {
  wxLogNull quiet;  // a busy clipboard is not reported
  if (!wxTheClipboard->Open())
    return;
  wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
  wxTheClipboard->Close();
}

void WxUi::OpenForecastWindow() {
  CloseSecondaryWindow();
  secondary_ = SecondaryWindow::Open(frame_, gate_, SecondaryWindow::Kind::forecast, {});
}

void WxUi::SetForecastLines(const std::vector<std::string>& lines) {
  if (!HasForecastWindow())
    return;
  FillAndFocus(secondary_->list(), lines);
}

int WxUi::ForecastSelection() const {
  return HasForecastWindow() ? secondary_->list()->GetSelection() : -1;
}

void WxUi::SetForecastDetailText(const std::string& text) {
  if (HasForecastWindow())
    secondary_->detail_box()->ChangeValue(wxString::FromUTF8(text));
}

std::string WxUi::ForecastDetailText() const {
  return HasForecastWindow() ? secondary_->detail_box()->GetValue().utf8_string() : std::string();
}

void WxUi::OpenResultsWindow(const std::vector<std::string>& entries) {
  CloseSecondaryWindow();
  secondary_ = SecondaryWindow::Open(frame_, gate_, SecondaryWindow::Kind::results, entries);
}

void WxUi::SetResultEntries(const std::vector<std::string>& entries) {
  if (secondary_ == nullptr || secondary_->kind() != SecondaryWindow::Kind::results)
    return;
  FillAndFocus(secondary_->list(), entries);
}

int WxUi::ResultSelection() const {
  const bool open = secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::results;
  return open ? secondary_->list()->GetSelection() : -1;
}

void WxUi::OpenHistoryWindow(const std::vector<std::string>& lines) {
  CloseSecondaryWindow();
  secondary_ = SecondaryWindow::Open(frame_, gate_, SecondaryWindow::Kind::history, lines);
}

int WxUi::HistorySelection() const {
  return HasHistoryWindow() ? secondary_->list()->GetSelection() : -1;
}

void WxUi::OpenListWindow(ListWindow which) {
  CloseSecondaryWindow();
  secondary_ = SecondaryWindow::Open(frame_, gate_, KindOf(which), {});
}

void WxUi::SetListWindowLines(const std::vector<std::string>& lines) {
  if (!HasListWindow())
    return;
  FillAndFocus(secondary_->list(), lines);
}

int WxUi::ListWindowSelection() const {
  return HasListWindow() ? secondary_->list()->GetSelection() : -1;
}

void WxUi::StartBriefingTimer(int seconds) {
  if (frame_ != nullptr)
    frame_->StartBriefingTimer(seconds);
}

std::optional<std::string> WxUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  return AskKeyDialog(DialogOwner(), prompt, trial);
}

void WxUi::CloseSecondaryWindow() {
  if (secondary_ == nullptr)
    return;
  DropListLines(secondary_->list());
  secondary_->Destroy();  // deferred by wx until no handler of it runs
  secondary_ = nullptr;
}

void WxUi::OpenDownloadWindow() {
  CloseDownloadWindow();
  download_ = DownloadWindow::Open(frame_, gate_);
}

void WxUi::SetDownloadProgress(int percent) {
  if (download_ != nullptr)
    download_->SetPercent(percent);
}

void WxUi::CloseDownloadWindow() {
  if (download_ == nullptr)
    return;
  download_->Destroy();  // deferred by wx until no handler of it runs
  download_ = nullptr;
}

bool WxUi::HasHistoryWindow() const {
  return secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::history;
}

bool WxUi::HasListWindow() const {
  return secondary_ != nullptr && (secondary_->kind() == SecondaryWindow::Kind::next_hours ||
                                   secondary_->kind() == SecondaryWindow::Kind::alert);
}

bool WxUi::HasForecastWindow() const {
  return secondary_ != nullptr && secondary_->kind() == SecondaryWindow::Kind::forecast;
}

}  // namespace skyvigil
