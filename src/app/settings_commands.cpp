// Settings commands: a setting changed, said and saved.
#include "app/settings_commands.h"

#include <array>
#include <string>

#include "monitor/briefing.h"
#include "monitor/quiet_hours.h"
#include "present/format.h"
#include "views/dialogs.h"
#include "views/text_size.h"
#include "weather/prefs.h"

namespace skyvigil {

void ToggleUnit(App& app) {
  int64_t& unit = app.state.prefs.celcius;
  static constexpr std::array<const char*, 4> kNames = {
      "fahrenheit", "Celcius", "Both (Celcius first)", "Both (fahrenheit first)"};
  unit = (unit >= 0 && unit < 3) ? unit + 1 : 0;
  app.announcer.Speak(kNames[static_cast<size_t>(unit)], false);
  SavePreferences(app.state.prefs, app.state.paths.prefs_file);
}

void ChangeTextSize(App& app, int steps) {
  Preferences& p = app.state.prefs;
  const int size = UsableTextSize(UsableTextSize(p.text_size) + steps * kTextSizeStep);
  // At either end the size is said again, so the key press is not met with silence.
  app.announcer.Speak("Text size " + std::to_string(size) + " percent", true);
  if (size == p.text_size)
    return;
  p.text_size = size;
  SavePreferences(p, app.state.paths.prefs_file);
}

void SetTemperatureDifference(App& app) {
  Preferences& p = app.state.prefs;
  const std::optional<std::string> answer =
      AskText(app, {"Temperature Difference",
                    "Please enter a value in which the temperature must change before you are "
                    "notified about it in a monitor.",
                    IntText(p.temp_diff)});
  const int64_t value = ParseIniInteger(answer.value_or(""));
  if (value <= 0)
    return;
  p.temp_diff = value;
  SavePreferences(p, app.state.paths.prefs_file);
}

namespace {

// Asks `box` until the answer is empty or `valid`, refusing anything else with
// `refusal` and asking again with what was typed; nullopt on Escape, which
// leaves the setting as it was.
std::optional<std::string> AskForSetting(App& app, TextPrompt box,
                                         bool (*valid)(const std::string&),
                                         const std::string& refusal) {
  for (;;) {
    std::optional<std::string> answer = AskText(app, box);
    if (!answer || answer->empty() || valid(*answer))
      return answer;
    box.initial = *answer;
    ShowMessage(app, box.title, refusal, MessageIcon::error);
  }
}

}  // namespace

void SetDailyBriefing(App& app) {
  Preferences& p = app.state.prefs;
  const std::optional<std::string> answer = AskForSetting(
      app,
      {"Daily Briefing",
       "Please enter the time of day, as HH:MM, at which the day's weather is said. "
       "Leave it empty to switch the briefing off.",
       p.briefing},
      [](const std::string& text) { return ParseBriefingTime(text).has_value(); },
      "Type a time like 07:30, or leave the box empty to switch the briefing off.");
  if (!answer)
    return;
  p.briefing = *answer;
  SavePreferences(p, app.state.paths.prefs_file);
  app.announcer.Speak(p.briefing.empty() ? "Daily briefing off" : "Daily briefing at " + p.briefing,
                      false);
  OnBriefingSet(app);
}

void SetQuietHours(App& app) {
  Preferences& p = app.state.prefs;
  const std::optional<std::string> answer = AskForSetting(
      app,
      {"Quiet Hours",
       "Please enter the hours, as HH:MM-HH:MM, during which only Extreme and Severe "
       "alerts are said. Leave it empty to switch quiet hours off.",
       p.quiet_hours},
      [](const std::string& text) { return ParseQuietHours(text).has_value(); },
      "Type hours like 22:00-07:00, or leave the box empty to switch quiet hours off.");
  if (!answer)
    return;
  const std::optional<QuietHours> hours = ParseQuietHours(*answer);
  p.quiet_hours = hours ? QuietHoursText(*hours) : std::string();
  SavePreferences(p, app.state.paths.prefs_file);
  app.announcer.Speak(QuietHoursSaid(hours), false);
  CheckQuietEnd(app);
}

void ToggleStartAtLogin(App& app) {
  app.process.SetStartAtLogin(!app.process.StartsAtLogin());
  // Read back, so the menu's check mark shows what holds, not what was asked.
  app.state.starts_at_login = app.process.StartsAtLogin();
  app.announcer.Speak(app.state.starts_at_login ? "Start at login on" : "Start at login off",
                      false);
}

}  // namespace skyvigil
