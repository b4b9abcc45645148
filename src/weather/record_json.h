// Filling the weather records from parsed JSON by member name, and writing
// records back out as pretty-printed JSON. One field list per record drives both.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "weather/json_value.h"
#include "weather/records.h"

namespace skyvigil {

// How member names are compared with field names: the service's answers ignore
// letter case (ASCII folding), cities.json matches exactly.
enum class NameMatch { exact, ignore_case };

// The member named `name` of an object (the last one when the name occurs more
// than once, also between spellings differing only in case under ignore_case);
// nullptr if `object` is null, not an object, or has no such member.
const JsonValue* FindMember(const JsonValue* object, std::string_view name, NameMatch match);

// Resets `record`, then fills each field from the member of the same name:
// text only from a string, whole (the answer's and the file's own caps bound
// it: alert descriptions run to thousands of characters); integer from a number cut toward zero
// (clamped to the int64_t range) or from true/false as 1/0; double and float from a number or
// true/false; embedded records by this same rule, lists of them by FillList; anything else
// leaves the field reset. A null `value` or one that is not an object leaves it reset.
template <class Record>
void FillRecord(Record& record, const JsonValue* value, NameMatch match);

// Empties `list`, then appends one record per array item, filled by FillRecord
// (an item that is not an object gives a reset record). A `value` that is not
// an array leaves the list empty.
template <class Record>
void FillList(std::vector<Record>& list, const JsonValue* value, NameMatch match);

// `list` as a JSON array of objects, one member per field in field order,
// pretty-printed with CR LF line breaks and aligned colons; no line break after
// the closing bracket. Doubles and widened floats as "%.32g", NaN and infinity
// as null.
template <class Record>
std::string RecordListJsonText(const std::vector<Record>& list);

#define SKYVIGIL_RECORD_JSON_INSTANCES(Record, ...)                                              \
  __VA_ARGS__ template void FillRecord<Record>(Record&, const JsonValue*, NameMatch);            \
  __VA_ARGS__ template void FillList<Record>(std::vector<Record>&, const JsonValue*, NameMatch); \
  __VA_ARGS__ template std::string RecordListJsonText<Record>(const std::vector<Record>&);

// The record types these templates are compiled for (in record_json.cpp).
SKYVIGIL_RECORD_JSON_INSTANCES(condition, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(location, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(aqi, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(currentWeather, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(day, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(astro, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(hour, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(forecastday, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(alert, extern)
SKYVIGIL_RECORD_JSON_INSTANCES(city, extern)

}  // namespace skyvigil
