// UTF-8 <-> UTF-16 through MultiByteToWideChar and WideCharToMultiByte, which
// replace invalid input with U+FFFD when not asked to fail on it.
#include "platform/win32/utf16.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace skyvigil::win32 {

namespace {

// The API counts in int.
int Length(std::size_t size) {
  if (size > INT_MAX)
    throw std::length_error("text over 2 GiB to convert between UTF-8 and UTF-16");
  return static_cast<int>(size);
}

}  // namespace

std::wstring Utf8ToUtf16(std::string_view utf8) {
  const int in = Length(utf8.size());
  if (in == 0)
    return {};
  std::wstring result(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, result.data(),
                        static_cast<int>(result.size()));
  return result;
}

std::string Utf16ToUtf8(std::wstring_view utf16) {
  const int in = Length(utf16.size());
  if (in == 0)
    return {};
  std::string result(
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, nullptr, 0, nullptr, nullptr), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, result.data(),
                        static_cast<int>(result.size()), nullptr, nullptr);
  return result;
}

}  // namespace skyvigil::win32
