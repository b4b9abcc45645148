// UTF-8 checks and conversions.
#include "weather/utf8.h"

namespace skyvigil {

namespace {

// The length of the valid UTF-8 sequence starting at `at`, or 0 when there is none.
size_t SequenceLength(std::string_view s, size_t at) {
  const auto b0 = static_cast<unsigned char>(s[at]);
  if (b0 < 0x80)
    return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0)
      low = 0xA0;
    if (b0 == 0xED)
      high = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0)
      low = 0x90;
    if (b0 == 0xF4)
      high = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - at < length)
    return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[at + k]);
    if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
      return 0;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0)
      return false;
    i += length;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string DecodeInvalidUtf8AsLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) {
      out += Latin1ToUtf8(text.substr(i, 1));
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

std::string ReplaceInvalidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

std::string CapCharacters(std::string_view text, std::size_t max_characters) {
  if (max_characters == 0)
    return {};
  std::size_t characters = 0;
  std::size_t kept = 0;  // bytes of the first max_characters - 1 characters
  for (std::size_t at = 0; at < text.size(); ++at) {
    // Each character begins with a byte that is not 10xxxxxx.
    if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
      continue;
    if (++characters == max_characters)
      kept = at;
    if (characters > max_characters)
      return std::string(text.substr(0, kept)) + "\xE2\x80\xA6";
  }
  return std::string(text);
}

}  // namespace skyvigil
