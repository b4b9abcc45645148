// A parsed JSON document as a plain tree. Unlike nlohmann's DOM, an object keeps
// all of its members in document order, duplicate names included, and numbers
// keep the kind the text gave them (signed, unsigned or floating).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skyvigil {

struct JsonMember;

struct JsonValue {
  using Array = std::vector<JsonValue>;
  using Object = std::vector<JsonMember>;  // document order, duplicates kept

  // Integers that fit int64_t and are negative arrive as int64_t, other whole
  // numbers that fit uint64_t as uint64_t, everything else as double.
  std::variant<std::nullptr_t, bool, int64_t, uint64_t, double, std::string, Array, Object> data;

  bool is_null() const { return std::holds_alternative<std::nullptr_t>(data); }
  const bool* as_bool() const { return std::get_if<bool>(&data); }
  const int64_t* as_int() const { return std::get_if<int64_t>(&data); }
  const uint64_t* as_unsigned() const { return std::get_if<uint64_t>(&data); }
  const double* as_double() const { return std::get_if<double>(&data); }
  const std::string* as_string() const { return std::get_if<std::string>(&data); }
  const Array* as_array() const { return std::get_if<Array>(&data); }
  const Object* as_object() const { return std::get_if<Object>(&data); }
};

struct JsonMember {
  std::string name;
  JsonValue value;
};

// Deepest nesting of arrays and objects that ParseJson accepts.
inline constexpr std::size_t kMaxJsonDepth = 512;

// Parses one complete JSON text (UTF-8; a leading byte-order mark is skipped).
// nullopt when the text is not valid JSON, holds invalid UTF-8, has anything but
// white space after the value, or nests deeper than kMaxJsonDepth.
std::optional<JsonValue> ParseJson(std::string_view utf8_text);

}  // namespace skyvigil
