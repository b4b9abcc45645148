// The yardstick of the memory figure: a bare wx frame with one list of three
// lines, started and measured beside the program in the same run.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/listbox.h>

namespace {

class BareApp : public wxApp {
 public:
  bool OnInit() override {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Bare frame");
    const wxString lines[] = {"Paris: Sunny, 70 degrees F", "London: Light rain, 61 degrees F",
                              "Tokyo: Clear, 58 degrees F"};
    auto* list = new wxListBox(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 3, lines);
    frame->Show();
    list->SetFocus();
    return true;
  }
};

}  // namespace

wxIMPLEMENT_APP(BareApp);
