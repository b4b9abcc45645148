// The secondary window's state replaced, stacked or closed.
#include "state/secondary_window.h"

#include <utility>

#include "state/fetch.h"

namespace skyvigil {

SecondaryWindowState& OpenSecondaryWindow(App& app, WindowKind kind) {
  CancelFetch(app, Asker::secondary_window);
  CancelFetch(app, Asker::search);
  SecondaryWindowState window;
  window.kind = kind;
  window.focus = ListControlOf(kind);
  app.state.secondary.assign(1, std::move(window));
  app.state.active = ActiveWindow::secondary;
  return app.state.secondary.back();
}

void OpenOverSecondaryWindow(App& app, SecondaryWindowState window) {
  CancelFetch(app, Asker::search);
  window.focus = ListControlOf(window.kind);
  app.state.secondary.push_back(std::move(window));
  app.state.active = ActiveWindow::secondary;
}

void CloseSecondaryWindow(App& app) {
  CancelFetch(app, Asker::secondary_window);
  if (!app.state.secondary.empty())
    app.state.secondary.pop_back();
}

}  // namespace skyvigil
