// Which addresses the program may fetch: https anywhere, plain http only on
// this machine. Every HTTP client checks it on each hop, redirects included,
// before any connection is made.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skyvigil {

// "https" or "http" (lower case) when `url` may be fetched, otherwise nothing.
// Plain http is allowed for loopback hosts only: localhost, 127.0.0.0/8, [::1].
std::optional<std::string> AllowedScheme(std::string_view url);

inline bool IsAllowedAddress(std::string_view url) {
  return AllowedScheme(url).has_value();
}

// The address a redirect's Location leads to, resolved against the address
// that answered with it: absolute, scheme-relative ("//host/p"), absolute-path
// ("/p") and relative ("p", "../p") references. Empty when `base` is not an
// absolute address.
std::string ResolveRedirect(std::string_view base, std::string_view location);

}  // namespace skyvigil
