// Which addresses the program may fetch: https anywhere, plain http only on
// this machine. Every HTTP client checks it on each hop, redirects included,
// before any connection is made, and connects to exactly the parts it
// accepted: no second parser may read the address another way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skyvigil {

struct AllowedAddress {
  std::string scheme;  // "https" or "http"
  std::string host;    // lower case; an IPv6 address in brackets
  int port = 0;        // the one written, or the scheme's own
  std::string path;    // path and query, never empty, without the fragment

  std::string Url() const;  // the address rebuilt from these parts alone
};

// The parts of `url` when it may be fetched, otherwise nothing. Plain http is
// allowed for loopback hosts only: localhost, 127.0.0.0/8, [::1]. Refused:
// user names ("@" in the authority), backslashes, spaces, controls and bytes
// beyond ASCII anywhere, and any host but a plain name, an IPv4 address or
// an IPv6 address in brackets (a bracketed name or IPv4 address is refused).
std::optional<AllowedAddress> ParseAllowedAddress(std::string_view url);

inline bool IsAllowedAddress(std::string_view url) {
  return ParseAllowedAddress(url).has_value();
}

// The next hop of a redirect from `from` to `location`, when it may be
// followed: allowed itself, and never from https down to plain http.
std::optional<AllowedAddress> AllowedRedirect(const AllowedAddress& from,
                                              std::string_view location);

// The address a redirect's Location leads to, resolved against the address
// that answered with it: absolute, scheme-relative ("//host/p"), absolute-path
// ("/p") and relative ("p", "../p") references. Empty when `base` is not an
// absolute address.
std::string ResolveRedirect(std::string_view base, std::string_view location);

}  // namespace skyvigil
