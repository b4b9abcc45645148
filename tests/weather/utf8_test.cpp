// Strict UTF-8 and the replacement of what is not.
#include "weather/utf8.h"

#include <gtest/gtest.h>

namespace skyvigil {
namespace {

TEST(Utf8Test, InvalidBytesAreReplacedOneByOne) {
  const struct {
    const char* what;
    std::string text;
    std::string replaced;
  } cases[] = {
      {"plain", "0.37", "0.37"},
      {"two-byte letter", "Z\xC3\xBCrich", "Z\xC3\xBCrich"},
      {"four-byte sign", "\xF0\x9F\x8C\xA7", "\xF0\x9F\x8C\xA7"},
      {"Latin-1 byte", "Z\xFCrich", "Z\xEF\xBF\xBDrich"},
      {"cut sequence at the end", "a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong slash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceInvalidUtf8(c.text), c.replaced) << c.what;
    EXPECT_EQ(IsValidUtf8(c.text), c.text == c.replaced) << c.what;
  }
}

TEST(Utf8Test, OnlyInvalidBytesAreReadAsLatin1) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Z\xC3\xBCrich", "Z\xC3\xBCrich"},
      {"Malm\xF6 Z\xC3\xBCrich", "Malm\xC3\xB6 Z\xC3\xBCrich"},
      {"\xC3", "\xC3\x83"},
      {"\xE6\x9D", "\xC3\xA6\xC2\x9D"},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeInvalidUtf8AsLatin1(c.in), c.out) << c.in;
}

TEST(Utf8Test, CappedTextsEndWithAnEllipsisWhereTheyWereCut) {
  const std::string e_acute = "\xC3\xA9";
  const std::string cloud = "\xF0\x9F\x8C\xA7";
  const std::string ellipsis = "\xE2\x80\xA6";
  const struct {
    std::string text;
    size_t max_characters;
    std::string capped;
  } cases[] = {
      {"", 3, ""},
      {"abc", 3, "abc"},
      {"abcd", 3, "ab" + ellipsis},
      {"ab" + e_acute, 3, "ab" + e_acute},
      {"a" + e_acute + cloud + "x", 3, "a" + e_acute + ellipsis},
      {cloud + cloud + cloud, 2, cloud + ellipsis},
      {"ab", 1, ellipsis},
      {"ab", 0, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CapCharacters(c.text, c.max_characters), c.capped)
        << c.text << " " << c.max_characters;
}

}  // namespace
}  // namespace skyvigil
