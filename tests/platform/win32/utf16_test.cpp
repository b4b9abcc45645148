// UTF-8 <-> UTF-16 at the Win32 calls: every script, characters outside the
// basic plane, and invalid input of either kind.
#include "platform/win32/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace skyvigil::win32 {
namespace {

struct Text {
  const char* name;
  std::string utf8;
  std::wstring utf16;
};

void PrintTo(const Text& text, std::ostream* out) {
  *out << text.name;
}

const Text kValid[] = {
    {"Empty", "", L""},
    {"Ascii", "Paris, France", L"Paris, France"},
    {"Latin", "Z\xC3\xBCrich", L"Z\u00fcrich"},
    {"Cjk", "\xE6\x9D\xB1\xE4\xBA\xAC", L"\u6771\u4eac"},
    {"OutsideTheBasicPlane", "\xF0\x9F\x8C\xA7 rain", L"\xD83C\xDF27 rain"},
    {"NulInside", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
};

class ValidTextTest : public ::testing::TestWithParam<Text> {};

TEST_P(ValidTextTest, ConvertsBothWays) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, ValidTextTest, ::testing::ValuesIn(kValid),
                         [](const auto& info) { return std::string(info.param.name); });

const Text kInvalidUtf8[] = {
    {"StrayContinuationByte", "a\x80z", L"a\uFFFDz"},
    {"ByteNeverInUtf8", "a\xFFz", L"a\uFFFDz"},
    {"CutAtTheEnd", "a\xE6\x9D", L"a\uFFFD"},
};

class InvalidUtf8Test : public ::testing::TestWithParam<Text> {};

TEST_P(InvalidUtf8Test, BecomesReplacementCharacterAndKeepsTheRest) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidUtf8Test, ::testing::ValuesIn(kInvalidUtf8),
                         [](const auto& info) { return std::string(info.param.name); });

const Text kInvalidUtf16[] = {
    {"LoneHighSurrogate", "a\xEF\xBF\xBDz", std::wstring{L'a', 0xD83C, L'z'}},
    {"LoneLowSurrogate", "a\xEF\xBF\xBDz", std::wstring{L'a', 0xDF27, L'z'}},
    {"HighSurrogateAtTheEnd", "a\xEF\xBF\xBD", std::wstring{L'a', 0xD83C}},
};

class InvalidUtf16Test : public ::testing::TestWithParam<Text> {};

TEST_P(InvalidUtf16Test, BecomesReplacementCharacterAndKeepsTheRest) {
  EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidUtf16Test, ::testing::ValuesIn(kInvalidUtf16),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil::win32
