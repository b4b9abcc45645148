// Tests of the JSON tree: member order and duplicates, number kinds, UTF-8
// validation and the nesting limit.
#include "weather/json_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace skyvigil {
namespace {

TEST(ParseJson, ObjectKeepsEveryMemberInDocumentOrder) {
  auto value = ParseJson(R"({"b":1,"a":2,"B":3,"a":4,"c":{"x":null}})");
  ASSERT_TRUE(value.has_value());
  const JsonValue::Object* object = value->as_object();
  ASSERT_NE(object, nullptr);
  std::vector<std::string> names;
  for (const JsonMember& member : *object)
    names.push_back(member.name);
  EXPECT_EQ(names, (std::vector<std::string>{"b", "a", "B", "a", "c"}));
  ASSERT_NE((*object)[3].value.as_unsigned(), nullptr);
  EXPECT_EQ(*(*object)[3].value.as_unsigned(), 4u);
  const JsonValue::Object* inner = (*object)[4].value.as_object();
  ASSERT_NE(inner, nullptr);
  ASSERT_EQ(inner->size(), 1u);
  EXPECT_EQ((*inner)[0].name, "x");
  EXPECT_TRUE((*inner)[0].value.is_null());
}

TEST(ParseJson, ArrayKeepsItemsInOrderWithTheirTypes) {
  auto value = ParseJson(" [ true , false , null , \"t\" , [ ] , { } , -1 ] ");
  ASSERT_TRUE(value.has_value());
  const JsonValue::Array* array = value->as_array();
  ASSERT_NE(array, nullptr);
  ASSERT_EQ(array->size(), 7u);
  ASSERT_NE((*array)[0].as_bool(), nullptr);
  EXPECT_TRUE(*(*array)[0].as_bool());
  ASSERT_NE((*array)[1].as_bool(), nullptr);
  EXPECT_FALSE(*(*array)[1].as_bool());
  EXPECT_TRUE((*array)[2].is_null());
  ASSERT_NE((*array)[3].as_string(), nullptr);
  EXPECT_EQ(*(*array)[3].as_string(), "t");
  ASSERT_NE((*array)[4].as_array(), nullptr);
  EXPECT_TRUE((*array)[4].as_array()->empty());
  ASSERT_NE((*array)[5].as_object(), nullptr);
  EXPECT_TRUE((*array)[5].as_object()->empty());
  ASSERT_NE((*array)[6].as_int(), nullptr);
  EXPECT_EQ(*(*array)[6].as_int(), -1);
}

struct NumberCase {
  const char* text;
  enum Kind { integer, unsigned_integer, floating } kind;
  int64_t integer_value = 0;
  uint64_t unsigned_value = 0;
  double double_value = 0;
};

TEST(ParseJson, NumbersKeepTheirKind) {
  const NumberCase cases[] = {
      {"-5", NumberCase::integer, -5},
      {"-0", NumberCase::integer, 0},
      {"-9223372036854775808", NumberCase::integer, std::numeric_limits<int64_t>::min()},
      {"0", NumberCase::unsigned_integer, 0, 0},
      {"5", NumberCase::unsigned_integer, 0, 5},
      {"18446744073709551615", NumberCase::unsigned_integer, 0,
       std::numeric_limits<uint64_t>::max()},
      {"18446744073709551616", NumberCase::floating, 0, 0, 18446744073709551616.0},
      {"-9223372036854775809", NumberCase::floating, 0, 0, -9223372036854775809.0},
      {"1.0", NumberCase::floating, 0, 0, 1.0},
      {"81.6", NumberCase::floating, 0, 0, 81.6},
      {"1e2", NumberCase::floating, 0, 0, 100.0},
      {"-2.5E-3", NumberCase::floating, 0, 0, -0.0025},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    auto value = ParseJson(c.text);
    ASSERT_TRUE(value.has_value());
    switch (c.kind) {
      case NumberCase::integer:
        ASSERT_NE(value->as_int(), nullptr);
        EXPECT_EQ(*value->as_int(), c.integer_value);
        break;
      case NumberCase::unsigned_integer:
        ASSERT_NE(value->as_unsigned(), nullptr);
        EXPECT_EQ(*value->as_unsigned(), c.unsigned_value);
        break;
      case NumberCase::floating:
        ASSERT_NE(value->as_double(), nullptr);
        EXPECT_EQ(*value->as_double(), c.double_value);
        break;
    }
  }
}

TEST(ParseJson, StringsArriveAsUtf8) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {R"("plain")", "plain"},
      {R"("")", ""},
      {R"("a\"b\\c\/d\b\f\n\r\t")", "a\"b\\c/d\b\f\n\r\t"},
      {R"("\u00e9\u00E9")", "\xC3\xA9\xC3\xA9"},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
      {"\"Z\xC3\xBCrich \xE2\x82\xAC\"", "Z\xC3\xBCrich \xE2\x82\xAC"},
      {R"("\u0000x")", std::string("\0x", 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto value = ParseJson(c.text);
    ASSERT_TRUE(value.has_value());
    ASSERT_NE(value->as_string(), nullptr);
    EXPECT_EQ(*value->as_string(), c.expected);
  }
}

TEST(ParseJson, ByteOrderMarkIsSkipped) {
  auto value = ParseJson("\xEF\xBB\xBF[1]");
  ASSERT_TRUE(value.has_value());
  ASSERT_NE(value->as_array(), nullptr);
  EXPECT_EQ(value->as_array()->size(), 1u);
}

TEST(ParseJson, RejectsWhatIsNotOneValidJsonValue) {
  const std::string cases[] = {
      "",
      "   ",
      "{",
      "[1,]",
      "{\"a\":1,}",
      "{\"a\" 1}",
      "{a:1}",
      "nul",
      "True",
      "NaN",
      "[01]",
      "'a'",
      "1 2",
      "[1] x",
      "[1e400]",               // does not fit a double
      "\"a\x01\"",             // raw control character in a string
      "\"\xFF\"",              // not UTF-8
      "\"\xC3\"",              // cut-off sequence
      "\"\xC0\x80\"",          // overlong encoding
      "\"\xED\xA0\x80\"",      // encoded surrogate
      "\"\xF4\x90\x80\x80\"",  // beyond U+10FFFF
      R"("\ud800")",           // lone surrogate escape
      R"("\x41")",
      "[\xC3\xA9]",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseJson(text).has_value());
  }
}

TEST(ParseJson, NestingIsLimited) {
  const auto nested = [](std::size_t depth, bool objects) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
      text += objects ? "{\"a\":" : "[";
    text += "0";
    for (std::size_t i = 0; i < depth; ++i)
      text += objects ? "}" : "]";
    return text;
  };
  EXPECT_TRUE(ParseJson(nested(kMaxJsonDepth, false)).has_value());
  EXPECT_TRUE(ParseJson(nested(kMaxJsonDepth, true)).has_value());
  EXPECT_FALSE(ParseJson(nested(kMaxJsonDepth + 1, false)).has_value());
  EXPECT_FALSE(ParseJson(nested(kMaxJsonDepth + 1, true)).has_value());
  // Far deeper than any stack would take, and never closed.
  EXPECT_FALSE(ParseJson(std::string(1000000, '[')).has_value());
}

TEST(ParseJson, DepthCountsOnlyOpenContainers) {
  // Many siblings at the deepest allowed level do not add up to depth.
  std::string text(kMaxJsonDepth - 1, '[');
  for (int i = 0; i < 1000; ++i)
    text += "[],";
  text += "[]";
  text += std::string(kMaxJsonDepth - 1, ']');
  EXPECT_TRUE(ParseJson(text).has_value());
}

}  // namespace
}  // namespace skyvigil
