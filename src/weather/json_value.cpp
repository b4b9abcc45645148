// Builds the JsonValue tree from nlohmann/json's SAX events, so that objects keep
// every member in document order.
#include "weather/json_value.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace skyvigil {

namespace {

// Receives the parser's events and grows the tree. `open_` holds the arrays and
// objects not yet closed, innermost last; only the innermost one is appended to,
// so the pointers to the outer ones stay valid.
class TreeBuilder {
 public:
  using json = nlohmann::json;

  bool null() { return Add(JsonValue{nullptr}); }
  bool boolean(bool value) { return Add(JsonValue{value}); }
  bool number_integer(json::number_integer_t value) { return Add(JsonValue{int64_t{value}}); }
  bool number_unsigned(json::number_unsigned_t value) { return Add(JsonValue{uint64_t{value}}); }
  bool number_float(json::number_float_t value, const json::string_t&) {
    return Add(JsonValue{double{value}});
  }
  bool string(json::string_t& value) { return Add(JsonValue{std::move(value)}); }
  bool binary(json::binary_t&) { return false; }  // not produced by JSON text

  bool start_object(std::size_t) { return Open(JsonValue{JsonValue::Object{}}); }
  bool key(json::string_t& name) {
    std::get<JsonValue::Object>(open_.back()->data).push_back(JsonMember{std::move(name), {}});
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(std::size_t) { return Open(JsonValue{JsonValue::Array{}}); }
  bool end_array() { return Close(); }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

  JsonValue TakeRoot() { return std::move(root_); }

 private:
  // Places `value` where the document is at and returns where it now lives.
  JsonValue* Place(JsonValue&& value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    JsonValue& container = *open_.back();
    if (auto* array = std::get_if<JsonValue::Array>(&container.data)) {
      return &array->emplace_back(std::move(value));
    }
    // Inside an object, key() has just added the member this value belongs to.
    JsonValue& slot = std::get<JsonValue::Object>(container.data).back().value;
    slot = std::move(value);
    return &slot;
  }

  bool Add(JsonValue&& value) {
    Place(std::move(value));
    return true;
  }

  bool Open(JsonValue&& container) {
    if (open_.size() >= kMaxJsonDepth)
      return false;
    open_.push_back(Place(std::move(container)));
    return true;
  }

  bool Close() {
    open_.pop_back();
    return true;
  }

  JsonValue root_;
  std::vector<JsonValue*> open_;
};

}  // namespace

std::optional<JsonValue> ParseJson(std::string_view utf8_text) {
  TreeBuilder builder;
  bool ok = false;
  try {
    ok = nlohmann::json::sax_parse(utf8_text.begin(), utf8_text.end(), &builder);
  } catch (const nlohmann::json::exception&) {
    ok = false;
  }
  if (!ok)
    return std::nullopt;
  return builder.TakeRoot();
}

}  // namespace skyvigil
