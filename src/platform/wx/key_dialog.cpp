// The key dialog: plain wx controls in a column; the core decides the texts.
#include "platform/wx/key_dialog.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/window_specs.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/text_font.h"

namespace skyvigil {

namespace {

class KeyDialog : public wxDialog {
 public:
  KeyDialog(wxWindow* parent, const KeyPrompt& prompt, KeyTrial& trial)
      : wxDialog(parent, wxID_ANY, wxString::FromUTF8(prompt.title)), trial_(trial) {
    // Set first: the controls made next take it and size themselves to it.
    SetFont(TextFont());
    auto* explanation = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(prompt.explanation));
    // Read-only text rather than a label, so the address can be selected and copied.
    auto* address = new wxTextCtrl(
        this, wxID_ANY, wxString::FromUTF8(prompt.address), wxDefaultPosition,
        FromDIP(wxSize(kDialogSpec.field_width * TextPercent() / 100, -1)), wxTE_READONLY);
    auto* label = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(prompt.label));
    field_ = new wxTextCtrl(this, wxID_ANY, wxString::FromUTF8(prompt.initial), wxDefaultPosition,
                            FromDIP(wxSize(kDialogSpec.field_width * TextPercent() / 100, -1)));
    ok_ = new wxButton(this, wxID_OK, wxString(kDialogSpec.ok.data(), kDialogSpec.ok.size()));
    auto* cancel = new wxButton(this, wxID_CANCEL,
                                wxString(kDialogSpec.cancel.data(), kDialogSpec.cancel.size()));
    ok_->SetDefault();

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(explanation, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP));
    column->Add(address, wxSizerFlags().Expand().Border());
    if (!prompt.problem.empty()) {
      auto* problem = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(prompt.problem));
      column->Add(problem, wxSizerFlags().Border(wxLEFT | wxRIGHT));
      SetAccessibleName(problem, prompt.problem);
    }
    column->Add(label, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP));
    column->Add(field_, wxSizerFlags().Expand().Border());
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok_, wxSizerFlags().Border(wxRIGHT));
    buttons->Add(cancel);
    column->Add(buttons, wxSizerFlags().Right().Border(wxLEFT | wxRIGHT | wxBOTTOM));
    SetSizerAndFit(column);
    CentreOnScreen();

    SetAccessibleName(address, std::string(kDialogSpec.address_name));
    SetAccessibleName(field_, prompt.label);
    SetAccessibleLabel(field_, label);
    MarkAsDialog(this);
    Bind(wxEVT_SHOW, &KeyDialog::OnShow, this);
    Bind(wxEVT_CHAR_HOOK, &KeyDialog::OnCharHook, this);
    ok_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Try(); });
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Quit(); }, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Quit(); });
  }

  std::string Key() const { return field_->GetValue().utf8_string(); }

 private:
  // Enter in the key field is OK, as in the other input boxes.
  void OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && FindFocus() == field_) {
      Try();
      return;
    }
    if (key == WXK_ESCAPE) {
      Quit();
      return;
    }
    event.Skip();
  }

  // The dialog keeps answering while the key is tried; the trial decides
  // whether a second OK waits for the first.
  void Try() {
    trial_.Start(Key(), [this] { EndModal(wxID_OK); });
    ok_->Enable(!trial_.Trying());
  }

  void Quit() {
    trial_.Cancel();
    EndModal(wxID_CANCEL);
  }

  void OnShow(wxShowEvent& event) {
    if (event.IsShown()) {
      field_->SetFocus();
      field_->SetInsertionPointEnd();
    }
    event.Skip();
  }

  KeyTrial& trial_;
  wxTextCtrl* field_;
  wxButton* ok_;
};

}  // namespace

std::optional<std::string> AskKeyDialog(wxWindow* parent, const KeyPrompt& prompt,
                                        KeyTrial& trial) {
  KeyDialog dialog(parent, prompt, trial);
  if (dialog.ShowModal() != wxID_OK)
    return std::nullopt;
  return dialog.Key();
}

}  // namespace skyvigil
