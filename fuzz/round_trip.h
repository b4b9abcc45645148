// Checks shared by the fuzz targets: what the program fills from outside must
// survive being written as JSON and read back.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "weather/json_value.h"
#include "weather/record_json.h"

namespace skyvigil::fuzz {

// Stops the fuzzer with a message; libFuzzer records the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  __builtin_printf("invariant broken: %s\n", what);
  std::abort();
}

// The writer puts null where a value is not finite (a reading too large for a
// float, say) and the reader takes null as 0: `text` as a reload writes it.
// CR LF only stands between tokens (strings escape it), so these patterns
// cannot match inside a string.
inline std::string NonFiniteAsZero(std::string_view text) {
  static constexpr std::string_view kNull = ": null";
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at = text.find(kNull); at != std::string_view::npos; at = text.find(kNull, at + 1)) {
    const std::string_view after = text.substr(at + kNull.size());
    if (after.empty() || after.starts_with("\r\n") || after.starts_with(",\r\n")) {
      out.append(text.substr(from, at - from));
      out += ": 0";
      from = at + kNull.size();
    }
  }
  out.append(text.substr(from));
  return out;
}

// Writes `list` as JSON, parses that back with exact names and checks that
// writing the result gives the same text (non-finite values read back as 0).
template <class Record>
void CheckWriteReadRoundTrip(const std::vector<Record>& list) {
  const std::string text = RecordListJsonText(list);
  const std::optional<JsonValue> parsed = ParseJson(text);
  if (!parsed)
    Fail("written records are not valid JSON");
  std::vector<Record> reread;
  FillList(reread, &*parsed, NameMatch::exact);
  if (RecordListJsonText(reread) != NonFiniteAsZero(text))
    Fail("written records read back differently");
}

}  // namespace skyvigil::fuzz
