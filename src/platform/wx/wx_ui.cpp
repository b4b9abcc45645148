// UiPort on wxWidgets. Core texts are UTF-8 throughout.
#include "platform/wx/wx_ui.h"

#include <utility>
#include <variant>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/key_dialog.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/spec_window.h"
#include "platform/wx/text_dialog.h"
#include "platform/wx/text_font.h"
#include "platform/wx/tray_icon.h"

namespace skyvigil {

namespace {

namespace change = screen_change;

// Dialogs belong to the active window when it is one of ours, else to none.
wxWindow* DialogOwner() {
  wxWindow* active = wxGetActiveWindow();
  return active != nullptr && active->IsShown() ? active : nullptr;
}

void Close(SpecWindow*& window) {
  if (window == nullptr)
    return;
  window->DropLines();
  window->Destroy();  // deferred by wx until no handler of it runs
  window = nullptr;
}

}  // namespace

WxUi::WxUi(CoreGate& gate) : gate_(gate) {}

void WxUi::Attach(MainFrame* frame, TrayIcon* tray) {
  frame_ = frame;
  tray_ = tray;
}

SpecWindow* WxUi::WindowOf(int number) const {
  for (SpecWindow* window : {static_cast<SpecWindow*>(frame_), secondary_, download_}) {
    if (window != nullptr && window->Control(number) != nullptr)
      return window;
  }
  return nullptr;
}

void WxUi::Apply(const std::vector<ScreenChange>& changes) {
  if (frame_ == nullptr)
    return;
  const EventsHeld held;
  bool lay_out = false;
  // A window opened here is shown once its lines, texts and selection are
  // set, as a window comes up whole, and before the focus moves into it.
  std::vector<SpecWindow*> opened;
  auto show_opened = [&opened] {
    for (SpecWindow* window : std::exchange(opened, {}))
      window->Show();
  };
  for (const ScreenChange& c : changes) {
    if (const auto* size = std::get_if<change::SetTextSize>(&c)) {
      SetTextPercent(size->percent);
      for (SpecWindow* window : {static_cast<SpecWindow*>(frame_), secondary_, download_}) {
        if (window != nullptr)
          ApplyTextFont(window);
      }
      lay_out = true;
    } else if (const auto* lines = std::get_if<change::SetLines>(&c)) {
      if (SpecWindow* window = WindowOf(lines->control)) {
        window->SetLines(lines->control, lines->lines);
        // The widest line decides the list's width.
        lay_out = lay_out || window == frame_;
      }
    } else if (const auto* select = std::get_if<change::Select>(&c)) {
      if (SpecWindow* window = WindowOf(select->control))
        window->Select(select->control, select->index);
    } else if (const auto* text = std::get_if<change::SetText>(&c)) {
      if (SpecWindow* window = WindowOf(text->control))
        window->SetText(text->control, text->text);
    } else if (const auto* check = std::get_if<change::SetChecked>(&c)) {
      frame_->SetChecked(check->command, check->checked);
    } else if (const auto* open = std::get_if<change::OpenSecondary>(&c)) {
      std::erase(opened, secondary_);
      Close(secondary_);
      secondary_ = SpecWindow::Open(frame_, gate_, open->kind);
      opened.push_back(secondary_);
    } else if (std::holds_alternative<change::CloseSecondary>(c)) {
      std::erase(opened, secondary_);
      Close(secondary_);
    } else if (std::holds_alternative<change::OpenDownload>(c)) {
      std::erase(opened, download_);
      Close(download_);
      download_ = SpecWindow::Open(frame_, gate_, WindowKind::download);
      opened.push_back(download_);
    } else if (const auto* progress = std::get_if<change::SetProgress>(&c)) {
      if (download_ != nullptr)
        download_->SetProgress(progress->percent);
    } else if (std::holds_alternative<change::CloseDownload>(c)) {
      std::erase(opened, download_);
      Close(download_);
    } else if (const auto* tip = std::get_if<change::SetTooltip>(&c)) {
      if (tray_ != nullptr)
        tray_->SetTooltip(tip->text);
    } else if (const auto* show = std::get_if<change::ShowMain>(&c)) {
      if (std::exchange(lay_out, false))
        frame_->LayOut();
      frame_->ShowAgain(show->to_front);
    } else if (std::holds_alternative<change::HideMain>(c)) {
      frame_->HideRemembering();
    } else if (std::holds_alternative<change::MinimiseMain>(c)) {
      frame_->Iconize(true);
    } else if (const auto* focus = std::get_if<change::Focus>(&c)) {
      show_opened();
      Focus(focus->control);
    } else if (std::holds_alternative<change::RemoveTray>(c)) {
      if (tray_ != nullptr)
        tray_->Remove();
    } else if (std::holds_alternative<change::CloseMain>(c)) {
      // wx closes every window once the loop ends.
      frame_->Hide();
    }
  }
  if (lay_out)
    frame_->LayOut();
  show_opened();
}

void WxUi::Focus(int number) {
  SpecWindow* window = WindowOf(number);
  if (window == nullptr)
    return;
  // The window is not raised: a window opened or shown comes up active, one
  // closed hands the activation to its owner, and raising here would race the
  // window manager's own activations, each reported back as a focus.
  window->Control(number)->SetFocus();
}

void WxUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  const long style = wxOK | (icon == MessageIcon::error ? wxICON_ERROR : wxICON_NONE);
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), style, DialogOwner());
}

bool WxUi::AskYesNo(const std::string& title, const std::string& text) {
  return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), wxYES_NO | wxICON_NONE,
                      DialogOwner()) == wxYES;
}

std::optional<std::string> WxUi::AskText(const TextPrompt& prompt) {
  return AskTextDialog(DialogOwner(), prompt);
}

std::optional<std::string> WxUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  return AskKeyDialog(DialogOwner(), prompt, trial);
}

void WxUi::SetClipboardText(const std::string& text) {
  wxLogNull quiet;  // a busy clipboard is not reported
  if (!wxTheClipboard->Open())
    return;
  wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
  wxTheClipboard->Close();
}

}  // namespace skyvigil
