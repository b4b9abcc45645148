// Input box used by the add, search and temperature-difference commands.
#include "platform/wx/text_dialog.h"

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

class TextDialog : public wxDialog {
 public:
  TextDialog(wxWindow* parent, const std::string& title, const std::string& prompt,
             const std::string& initial)
      : wxDialog(parent, wxID_ANY, wxString::FromUTF8(title)) {
    // Set first: the controls made next take it and size themselves to it.
    SetFont(TextFont());
    auto* label = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(prompt));
    field_ = new wxTextCtrl(this, wxID_ANY, wxString::FromUTF8(initial), wxDefaultPosition,
                            FromDIP(wxSize(300 * TextPercent() / 100, -1)));
    auto* ok =
        new wxButton(this, wxID_OK, wxString(kDialogTexts.ok.data(), kDialogTexts.ok.size()));
    ok->SetDefault();

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(label, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP));
    column->Add(field_, wxSizerFlags().Expand().Border());
    column->Add(ok, wxSizerFlags().Right().Border(wxLEFT | wxRIGHT | wxBOTTOM));
    SetSizerAndFit(column);
    CentreOnScreen();

    SetAccessibleName(field_, prompt);
    SetAccessibleLabel(field_, label);
    MarkAsDialog(this);

    // Closing the dialog gives wxID_CANCEL; Escape is handled below rather than
    // by wx, which would press OK for lack of a Cancel button.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, &TextDialog::OnCharHook, this);
    Bind(wxEVT_SHOW, &TextDialog::OnShow, this);
  }

  std::string Text() const { return field_->GetValue().utf8_string(); }

 private:
  void OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
      case WXK_ESCAPE:
        EndModal(wxID_CANCEL);
        return;
      case WXK_RETURN:
      case WXK_NUMPAD_ENTER:
        EndModal(wxID_OK);
        return;
      default:
        event.Skip();
    }
  }

  // Focusing an entry selects its text; put the cursor at the end instead.
  void OnShow(wxShowEvent& event) {
    if (event.IsShown()) {
      field_->SetFocus();
      field_->SetInsertionPointEnd();
      CallAfter([this] { field_->SetInsertionPointEnd(); });
    }
    event.Skip();
  }

  wxTextCtrl* field_;
};

}  // namespace

std::optional<std::string> AskTextDialog(wxWindow* parent, const std::string& title,
                                         const std::string& prompt, const std::string& initial) {
  TextDialog dialog(parent, title, prompt, initial);
  if (dialog.ShowModal() != wxID_OK)
    return std::nullopt;
  return dialog.Text();
}

}  // namespace skyvigil
