// The once-only rule of Rain Ahead and its setting.
#include "monitor/rain_ahead.h"

#include "monitor/monitor_cycle.h"
#include "monitor/quiet_hours.h"
#include "present/background_texts.h"
#include "present/format.h"
#include "present/hour_lines.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

// The current hour and the three after it.
constexpr size_t kHoursLooked = 4;

}  // namespace

bool BringsRainOrSnow(const hour& h) {
  return h.will_it_rain == 1 || h.will_it_snow == 1;
}

std::string RainOrSnow(const hour& h) {
  return SnowIsNamed(h) ? "Snow" : "Rain";
}

WetOutlook LookAhead(const std::vector<forecastday>& days, std::string_view localtime) {
  WetOutlook outlook;
  const std::vector<hour> hours = HoursFrom(days, localtime, kHoursLooked);
  if (hours.empty())
    return outlook;
  outlook.known = true;
  outlook.falling = BringsRainOrSnow(hours[0]);
  for (size_t i = 1; i < hours.size() && !outlook.ahead; ++i) {
    if (BringsRainOrSnow(hours[i]))
      outlook.ahead = hours[i];
  }
  return outlook;
}

void TellRainAhead(App& app, const city& c, const std::vector<forecastday>& days,
                   std::string_view localtime) {
  const WetOutlook outlook = LookAhead(days, localtime);
  if (!outlook.known)
    return;
  std::set<uint64_t>& foreseen = app.state.refresh.wet_foreseen;
  const bool seen_before = foreseen.count(c.id) > 0;
  // Rain falling now counts as foreseen, so its going on is never news.
  if (outlook.falling || outlook.ahead)
    foreseen.insert(c.id);
  else
    foreseen.erase(c.id);
  if (outlook.falling || !outlook.ahead || seen_before)
    return;
  TellNews(app, News::rain_ahead, RainAheadText(ShortCityName(c.name), *outlook.ahead),
           app.state.prefs.monitor_sounds == 1 ? std::optional(Cue::condition) : std::nullopt);
}

void ToggleRainAhead(App& app) {
  TogglePreference(app, &Preferences::rain_ahead, "Announce rain ahead");
}

}  // namespace skyvigil
