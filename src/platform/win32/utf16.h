// UTF-8 <-> UTF-16, the one place where the Win32 adapters convert text: the
// core's strings are UTF-8, the W functions of the Win32 API take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace skyvigil::win32 {

// Invalid UTF-8 (stray continuation bytes, cut or overlong sequences,
// surrogates) becomes U+FFFD, one for each maximal invalid part.
std::wstring Utf8ToUtf16(std::string_view utf8);

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::wstring_view utf16);

}  // namespace skyvigil::win32
