// One field list per record drives both the fill rule (JSON -> record) and the
// write rule (record -> pretty-printed JSON text).
#include "weather/record_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

namespace skyvigil {

namespace {

template <class Record, class Type>
struct Field {
  std::string_view name;
  Type Record::*member;
};

// The field list of a record: its fields in declaration order, each named by
// its own identifier, which is also its JSON member name.
template <class Record>
struct RecordFields;

#define SKYVIGIL_FIELD(Record, name)      \
  Field<Record, decltype(Record::name)> { \
#name, &Record::name                  \
  }

template <>
struct RecordFields<condition> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(condition, text),
      SKYVIGIL_FIELD(condition, icon),
      SKYVIGIL_FIELD(condition, code),
  };
};

template <>
struct RecordFields<location> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(location, lat),
      SKYVIGIL_FIELD(location, lon),
      SKYVIGIL_FIELD(location, name),
      SKYVIGIL_FIELD(location, region),
      SKYVIGIL_FIELD(location, country),
      SKYVIGIL_FIELD(location, tz_id),
      SKYVIGIL_FIELD(location, localtime_epoch),
      SKYVIGIL_FIELD(location, localtime),
  };
};

template <>
struct RecordFields<aqi> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(aqi, co),           SKYVIGIL_FIELD(aqi, o3),
      SKYVIGIL_FIELD(aqi, no2),          SKYVIGIL_FIELD(aqi, so2),
      SKYVIGIL_FIELD(aqi, pm2_5),        SKYVIGIL_FIELD(aqi, pm10),
      SKYVIGIL_FIELD(aqi, us_epa_index), SKYVIGIL_FIELD(aqi, gb_defra_index),
  };
};

template <>
struct RecordFields<currentWeather> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(currentWeather, last_updated),
      SKYVIGIL_FIELD(currentWeather, last_updated_epoch),
      SKYVIGIL_FIELD(currentWeather, temp_c),
      SKYVIGIL_FIELD(currentWeather, temp_f),
      SKYVIGIL_FIELD(currentWeather, feelslike_c),
      SKYVIGIL_FIELD(currentWeather, feelslike_f),
      SKYVIGIL_FIELD(currentWeather, condition),
      SKYVIGIL_FIELD(currentWeather, wind_mph),
      SKYVIGIL_FIELD(currentWeather, wind_kph),
      SKYVIGIL_FIELD(currentWeather, wind_degree),
      SKYVIGIL_FIELD(currentWeather, wind_dir),
      SKYVIGIL_FIELD(currentWeather, pressure_mb),
      SKYVIGIL_FIELD(currentWeather, pressure_in),
      SKYVIGIL_FIELD(currentWeather, precip_mm),
      SKYVIGIL_FIELD(currentWeather, precip_in),
      SKYVIGIL_FIELD(currentWeather, humidity),
      SKYVIGIL_FIELD(currentWeather, cloud),
      SKYVIGIL_FIELD(currentWeather, is_day),
      SKYVIGIL_FIELD(currentWeather, uv),
      SKYVIGIL_FIELD(currentWeather, gust_mph),
      SKYVIGIL_FIELD(currentWeather, gust_kph),
      SKYVIGIL_FIELD(currentWeather, location),
      SKYVIGIL_FIELD(currentWeather, aqi),
  };
};

template <>
struct RecordFields<day> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(day, maxtemp_c),
      SKYVIGIL_FIELD(day, maxtemp_f),
      SKYVIGIL_FIELD(day, mintemp_c),
      SKYVIGIL_FIELD(day, mintemp_f),
      SKYVIGIL_FIELD(day, avgtemp_c),
      SKYVIGIL_FIELD(day, avgtemp_f),
      SKYVIGIL_FIELD(day, maxwind_mph),
      SKYVIGIL_FIELD(day, maxwind_kph),
      SKYVIGIL_FIELD(day, totalprecip_mm),
      SKYVIGIL_FIELD(day, totalprecip_in),
      SKYVIGIL_FIELD(day, totalsnow_in),
      SKYVIGIL_FIELD(day, totalsnow_cm),
      SKYVIGIL_FIELD(day, avgvis_km),
      SKYVIGIL_FIELD(day, avgvis_miles),
      SKYVIGIL_FIELD(day, avghumidity),
      SKYVIGIL_FIELD(day, condition),
      SKYVIGIL_FIELD(day, uv),
      SKYVIGIL_FIELD(day, daily_will_it_rain),
      SKYVIGIL_FIELD(day, daily_will_it_snow),
      SKYVIGIL_FIELD(day, daily_chance_of_rain),
      SKYVIGIL_FIELD(day, daily_chance_of_snow),
  };
};

template <>
struct RecordFields<astro> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(astro, sunrise),    SKYVIGIL_FIELD(astro, sunset),
      SKYVIGIL_FIELD(astro, moonrise),   SKYVIGIL_FIELD(astro, moonset),
      SKYVIGIL_FIELD(astro, moon_phase), SKYVIGIL_FIELD(astro, moon_illumination),
  };
};

template <>
struct RecordFields<hour> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(hour, time),
      SKYVIGIL_FIELD(hour, temp_f),
      SKYVIGIL_FIELD(hour, temp_c),
      SKYVIGIL_FIELD(hour, condition),
      SKYVIGIL_FIELD(hour, chance_of_rain),
      SKYVIGIL_FIELD(hour, will_it_rain),
      SKYVIGIL_FIELD(hour, chance_of_snow),
      SKYVIGIL_FIELD(hour, will_it_snow),
      SKYVIGIL_FIELD(hour, precip_mm),
      SKYVIGIL_FIELD(hour, gust_mph),
      SKYVIGIL_FIELD(hour, uv),
  };
};

template <>
struct RecordFields<forecastday> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(forecastday, date), SKYVIGIL_FIELD(forecastday, date_epoch),
      SKYVIGIL_FIELD(forecastday, day),  SKYVIGIL_FIELD(forecastday, astro),
      SKYVIGIL_FIELD(forecastday, hour),
  };
};

template <>
struct RecordFields<alert> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(alert, headline),    SKYVIGIL_FIELD(alert, msgType),
      SKYVIGIL_FIELD(alert, severity),    SKYVIGIL_FIELD(alert, urgency),
      SKYVIGIL_FIELD(alert, areas),       SKYVIGIL_FIELD(alert, category),
      SKYVIGIL_FIELD(alert, certainty),   SKYVIGIL_FIELD(alert, event),
      SKYVIGIL_FIELD(alert, note),        SKYVIGIL_FIELD(alert, effective),
      SKYVIGIL_FIELD(alert, expires),     SKYVIGIL_FIELD(alert, desc),
      SKYVIGIL_FIELD(alert, instruction),
  };
};

template <>
struct RecordFields<city> {
  static constexpr auto list = std::tuple{
      SKYVIGIL_FIELD(city, name),   SKYVIGIL_FIELD(city, temp),      SKYVIGIL_FIELD(city, monitor),
      SKYVIGIL_FIELD(city, alerts), SKYVIGIL_FIELD(city, condition), SKYVIGIL_FIELD(city, weather),
  };
};

#undef SKYVIGIL_FIELD

// ---- Fill rule ----

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool NamesMatch(std::string_view a, std::string_view b, NameMatch match) {
  if (match == NameMatch::exact)
    return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

// Cut toward zero; values beyond the int64_t range give its nearest end.
int64_t IntegerFromDouble(double value) {
  if (std::isnan(value))
    return 0;
  if (value >= 0x1p63)
    return std::numeric_limits<int64_t>::max();
  if (value < -0x1p63)
    return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

// Rounds to single precision as IEEE does, without the undefined behaviour of
// converting an out-of-range double: magnitudes that round past FLT_MAX give
// infinity, those just above it round down to FLT_MAX.
float FloatFromDouble(double value) {
  constexpr double kMaxFloat = std::numeric_limits<float>::max();
  constexpr double kFirstRoundingToInfinity = 0x1.ffffffp127;  // FLT_MAX + half its last place
  const double magnitude = std::fabs(value);
  if (magnitude > kMaxFloat) {  // false for NaN, which converts as it is
    const double rounded =
        magnitude < kFirstRoundingToInfinity ? kMaxFloat : std::numeric_limits<double>::infinity();
    return static_cast<float>(std::copysign(rounded, value));
  }
  return static_cast<float>(value);
}

void FillField(std::string& field, const JsonValue* value, NameMatch) {
  if (value == nullptr)
    return;
  if (const std::string* text = value->as_string())
    field = *text;
}

void FillField(int64_t& field, const JsonValue* value, NameMatch) {
  if (value == nullptr)
    return;
  if (const int64_t* number = value->as_int()) {
    field = *number;
  } else if (const uint64_t* number = value->as_unsigned()) {
    field = *number > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())
                ? std::numeric_limits<int64_t>::max()
                : static_cast<int64_t>(*number);
  } else if (const double* number = value->as_double()) {
    field = IntegerFromDouble(*number);
  } else if (const bool* flag = value->as_bool()) {
    field = *flag ? 1 : 0;
  }
}

void FillField(double& field, const JsonValue* value, NameMatch) {
  if (value == nullptr)
    return;
  if (const int64_t* number = value->as_int()) {
    field = static_cast<double>(*number);
  } else if (const uint64_t* number = value->as_unsigned()) {
    field = static_cast<double>(*number);
  } else if (const double* number = value->as_double()) {
    field = *number;
  } else if (const bool* flag = value->as_bool()) {
    field = *flag ? 1 : 0;
  }
}

void FillField(float& field, const JsonValue* value, NameMatch match) {
  double wide = 0;
  FillField(wide, value, match);
  field = FloatFromDouble(wide);
}

template <class Record>
void FillField(Record& field, const JsonValue* value, NameMatch match) {
  FillRecord(field, value, match);
}

template <class Record>
void FillField(std::vector<Record>& field, const JsonValue* value, NameMatch match) {
  FillList(field, value, match);
}

// ---- Write rule ----

void AppendIndent(std::string& out, int blanks) {
  out.append(static_cast<size_t>(blanks), ' ');
}

void AppendQuoted(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u00";
          out += kHex[static_cast<unsigned char>(c) >> 4];
          out += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
          out += c;  // everything else, UTF-8 bytes included, as it is
        }
    }
  }
  out += '"';
}

void WriteValue(std::string& out, const std::string& text, int) {
  AppendQuoted(out, text);
}

void WriteValue(std::string& out, int64_t number, int) {
  char buffer[24];
  auto result = std::to_chars(std::begin(buffer), std::end(buffer), number);
  out.append(buffer, result.ptr);
}

// Like C's "%.32g", whatever the locale; -0 is written as 0.
void WriteValue(std::string& out, double number, int) {
  if (!std::isfinite(number)) {
    out += "null";
    return;
  }
  if (number == 0) {
    out += '0';
    return;
  }
  char buffer[64];
  auto result =
      std::to_chars(std::begin(buffer), std::end(buffer), number, std::chars_format::general, 32);
  out.append(buffer, result.ptr);
}

void WriteValue(std::string& out, float number, int level) {
  WriteValue(out, static_cast<double>(number), level);
}

template <class Record>
void WriteList(std::string& out, const std::vector<Record>& list, int level);

template <class Record>
void WriteValue(std::string& out, const std::vector<Record>& list, int level) {
  WriteList(out, list, level);
}

template <class Record>
void WriteValue(std::string& out, const Record& record, int level) {
  constexpr auto& fields = RecordFields<Record>::list;
  if constexpr (std::tuple_size_v<std::remove_cvref_t<decltype(fields)>> == 0) {
    out += "{}";
  } else {
    // Colons line up under the longest quoted name.
    const size_t width =
        std::apply([](const auto&... field) { return std::max({field.name.size()...}); }, fields);
    bool first = true;
    out += '{';
    std::apply(
        [&](const auto&... field) {
          auto write_member = [&](const auto& f) {
            if (!first)
              out += ',';
            first = false;
            out += "\r\n";
            AppendIndent(out, level + 2);
            AppendQuoted(out, f.name);
            out.append(width - f.name.size(), ' ');
            out += ": ";
            WriteValue(out, record.*f.member, level + 4);
          };
          (write_member(field), ...);
        },
        fields);
    out += "\r\n";
    AppendIndent(out, level);
    out += '}';
  }
}

template <class Record>
void WriteList(std::string& out, const std::vector<Record>& list, int level) {
  if (list.empty()) {
    out += "[]";
    return;
  }
  out += '[';
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0)
      out += ',';
    out += "\r\n";
    AppendIndent(out, level + 2);
    WriteValue(out, list[i], level + 2);
  }
  out += "\r\n";
  AppendIndent(out, level);
  out += ']';
}

}  // namespace

const JsonValue* FindMember(const JsonValue* object, std::string_view name, NameMatch match) {
  if (object == nullptr)
    return nullptr;
  const JsonValue::Object* members = object->as_object();
  if (members == nullptr)
    return nullptr;
  const JsonValue* found = nullptr;
  for (const JsonMember& member : *members) {
    if (NamesMatch(member.name, name, match))
      found = &member.value;
  }
  return found;
}

template <class Record>
void FillRecord(Record& record, const JsonValue* value, NameMatch match) {
  record = Record{};
  if (value == nullptr || value->as_object() == nullptr)
    return;
  std::apply(
      [&](const auto&... field) {
        (FillField(record.*field.member, FindMember(value, field.name, match), match), ...);
      },
      RecordFields<Record>::list);
}

template <class Record>
void FillList(std::vector<Record>& list, const JsonValue* value, NameMatch match) {
  list.clear();
  if (value == nullptr)
    return;
  const JsonValue::Array* items = value->as_array();
  if (items == nullptr)
    return;
  list.resize(items->size());
  for (size_t i = 0; i < items->size(); ++i)
    FillRecord(list[i], &(*items)[i], match);
}

template <class Record>
std::string RecordListJsonText(const std::vector<Record>& list) {
  std::string out;
  WriteList(out, list, 0);
  return out;
}

SKYVIGIL_RECORD_JSON_INSTANCES(condition)
SKYVIGIL_RECORD_JSON_INSTANCES(location)
SKYVIGIL_RECORD_JSON_INSTANCES(aqi)
SKYVIGIL_RECORD_JSON_INSTANCES(currentWeather)
SKYVIGIL_RECORD_JSON_INSTANCES(day)
SKYVIGIL_RECORD_JSON_INSTANCES(astro)
SKYVIGIL_RECORD_JSON_INSTANCES(hour)
SKYVIGIL_RECORD_JSON_INSTANCES(forecastday)
SKYVIGIL_RECORD_JSON_INSTANCES(alert)
SKYVIGIL_RECORD_JSON_INSTANCES(city)

}  // namespace skyvigil
