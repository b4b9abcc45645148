// List box event routing.
#include "platform/wx/list_events.h"

#include "platform/wx/key_shortcut.h"

namespace skyvigil {

void BindListEvents(wxListBox* list, CoreGate& gate, void (*on_event)(App&),
                    ShortcutTable shortcuts) {
  auto run = [&gate, on_event](wxEvent& event) {
    event.Skip();  // the list keeps its own behaviour
    if (on_event != nullptr)
      gate.RunUnlessBusy([on_event](App& app) { on_event(app); });
  };
  list->Bind(wxEVT_LISTBOX, run);
  list->Bind(wxEVT_LEFT_UP, run);
  list->Bind(wxEVT_RIGHT_UP, run);
  list->Bind(wxEVT_LISTBOX_DCLICK, [&gate, shortcuts, run](wxCommandEvent& event) {
    if (const auto pressed = EnterKeyInProgress()) {
      if (const int command = shortcuts(*pressed); command != 0) {
        gate.Run([command](App& app) { RunCommand(app, command); });
        return;
      }
    }
    run(event);
  });
}

}  // namespace skyvigil
