// The one place where the program's UTF-8 strings meet the UTF-16 of the W
// functions of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace skyvigil {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring Utf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf8(std::wstring_view text);

}  // namespace skyvigil
