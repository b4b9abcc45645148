// Builds the next hours' lines and an alert's detail lines.
#include "present/hour_lines.h"

#include <optional>

#include "present/format.h"

namespace skyvigil {

namespace {

struct HourOfDay {
  std::string date;  // "yyyy-mm-dd"
  int hour = 0;
};

// Reads "yyyy-mm-dd h:mm" or "yyyy-mm-dd hh:mm": the city's date and hour.
std::optional<HourOfDay> ReadHourOfDay(std::string_view time) {
  if (time.size() < 14 || time[10] != ' ')
    return std::nullopt;
  const size_t colon = time.find(':', 11);
  if (colon == std::string_view::npos || colon == 11 || colon > 13)
    return std::nullopt;
  int hour = 0;
  for (size_t i = 11; i < colon; ++i) {
    if (time[i] < '0' || time[i] > '9')
      return std::nullopt;
    hour = hour * 10 + (time[i] - '0');
  }
  if (hour > 23)
    return std::nullopt;
  return HourOfDay{std::string(time.substr(0, 10)), hour};
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void AddTrimmed(std::vector<std::string>& out, std::string_view piece) {
  while (!piece.empty() && IsBlank(piece.front()))
    piece.remove_prefix(1);
  while (!piece.empty() && IsBlank(piece.back()))
    piece.remove_suffix(1);
  if (!piece.empty())
    out.emplace_back(piece);
}

void AddIfSet(std::vector<std::string>& lines, const char* label, const std::string& value) {
  if (!value.empty())
    lines.push_back(label + value);
}

}  // namespace

std::string HourLabel(std::string_view time) {
  const auto at = ReadHourOfDay(time);
  if (!at)
    return std::string(time);
  return TwelveHourText(at->hour, 0);
}

bool SnowIsLikelier(const hour& h) {
  return h.chance_of_snow > h.chance_of_rain;
}

bool SnowIsNamed(const hour& h) {
  return h.will_it_snow == 1 && (h.will_it_rain != 1 || SnowIsLikelier(h));
}

std::string HourLine(const hour& h, int64_t unit) {
  const bool snow = SnowIsLikelier(h);
  return HourLabel(h.time) + ": " + ConditionText(h.condition) + ", " +
         TemperatureText(h.temp_f, h.temp_c, unit) + ", " +
         IntText(snow ? h.chance_of_snow : h.chance_of_rain) + " percent chance of " +
         (snow ? "snow" : "rain");
}

std::vector<hour> HoursFrom(const std::vector<forecastday>& days, std::string_view localtime,
                            size_t count) {
  std::vector<hour> hours;
  const auto now = ReadHourOfDay(localtime);
  if (!now)
    return hours;
  bool started = false;
  for (const forecastday& d : days) {
    for (const hour& h : d.hour) {
      if (!started) {
        const auto at = ReadHourOfDay(h.time);
        // The hours come in order; the first not before the city's hour starts the list.
        started = at && (at->date > now->date || (at->date == now->date && at->hour >= now->hour));
      }
      if (!started)
        continue;
      if (hours.size() == count)
        return hours;
      hours.push_back(h);
    }
  }
  return hours;
}

std::vector<std::string> NextHourLines(const std::vector<forecastday>& days,
                                       std::string_view localtime, int64_t unit) {
  std::vector<std::string> lines;
  for (const hour& h : HoursFrom(days, localtime, 24))
    lines.push_back(HourLine(h, unit));
  return lines;
}

std::vector<std::string> Sentences(std::string_view text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool line_break = c == '\n';
    const bool sentence_end =
        (c == '.' || c == '!' || c == '?') && (i + 1 == text.size() || IsBlank(text[i + 1]));
    if (line_break || sentence_end) {
      AddTrimmed(pieces, text.substr(start, i + (line_break ? 0 : 1) - start));
      start = i + 1;
    }
  }
  AddTrimmed(pieces, text.substr(start));
  return pieces;
}

std::vector<std::string> AlertDetailLines(const alert& a) {
  std::vector<std::string> lines;
  AddTrimmed(lines, a.headline);
  AddIfSet(lines, "Severity: ", a.severity);
  AddIfSet(lines, "Urgency: ", a.urgency);
  AddIfSet(lines, "Areas: ", a.areas);
  AddIfSet(lines, "From ", a.effective);
  AddIfSet(lines, "Until ", a.expires);
  for (std::string& s : Sentences(a.desc))
    lines.push_back(std::move(s));
  for (std::string& s : Sentences(a.instruction))
    lines.push_back(std::move(s));
  return lines;
}

}  // namespace skyvigil
