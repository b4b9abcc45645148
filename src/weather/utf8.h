// Text that arrives from files and servers: strict UTF-8 checks, Latin-1 for
// files written by older editors, and replacement of bytes that are not UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skyvigil {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Every byte as the Latin-1 character of that number.
std::string Latin1ToUtf8(std::string_view text);

// `text` with each byte that does not belong to a valid UTF-8 sequence read
// as the Latin-1 character of that number: one byte typed in an older editor
// does not garble the good names around it.
std::string DecodeInvalidUtf8AsLatin1(std::string_view text);

// `text` with each byte that does not belong to a valid UTF-8 sequence
// replaced by U+FFFD.
std::string ReplaceInvalidUtf8(std::string_view text);

// The most of a text from a server (an error message, a version) that is
// shown or spoken: the server decides its length, the user should not hear
// it for minutes.
inline constexpr std::size_t kMaxServerTextCharacters = 512;

// Valid UTF-8 `text` when it has at most `max_characters` characters;
// otherwise its first max_characters - 1 and "…", so the cut shows.
std::string CapCharacters(std::string_view text, std::size_t max_characters);

}  // namespace skyvigil
