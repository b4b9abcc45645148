// Text size steps: spoken, applied through the UI port, saved in prefs.ini.
#include "views/text_size.h"

#include <algorithm>
#include <string>

#include "weather/prefs.h"

namespace skyvigil {

int UsableTextSize(int64_t percent) {
  return static_cast<int>(std::clamp<int64_t>(percent, kSmallestTextSize, kLargestTextSize));
}

void ChangeTextSize(App& app, int steps) {
  Preferences& p = app.state.prefs;
  const int size = UsableTextSize(UsableTextSize(p.text_size) + steps * kTextSizeStep);
  // At either end the size is said again, so the key press is not met with silence.
  app.announcer.Speak("Text size " + std::to_string(size) + " percent", true);
  if (size == p.text_size)
    return;
  p.text_size = size;
  app.ui.SetTextSize(size);
  SavePreferences(p, app.state.paths.prefs_file);
}

void ApplyTextSize(App& app) {
  app.ui.SetTextSize(UsableTextSize(app.state.prefs.text_size));
}

}  // namespace skyvigil
