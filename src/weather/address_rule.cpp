// A deliberately strict reader of absolute http(s) addresses: anything it does
// not understand is refused rather than guessed at.
#include "weather/address_rule.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyvigil {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

struct Parts {
  std::string scheme;          // lower case
  std::string_view authority;  // between "//" and the path
  std::string_view rest;       // path, query and fragment
};

std::optional<Parts> Split(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0)
    return std::nullopt;
  for (size_t i = 0; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(url[i]);
    if (!std::isalpha(c) && (i == 0 || (!std::isdigit(c) && c != '+' && c != '-' && c != '.')))
      return std::nullopt;
  }
  if (url.substr(colon + 1, 2) != "//")
    return std::nullopt;
  Parts parts;
  parts.scheme = Lower(url.substr(0, colon));
  const std::string_view after = url.substr(colon + 3);
  const size_t end = after.find_first_of("/?#");
  parts.authority = after.substr(0, end);
  parts.rest = end == std::string_view::npos ? std::string_view() : after.substr(end);
  return parts;
}

// Decimal dotted quad, each part 0..255 without leading zeros.
std::optional<std::array<int, 4>> ParseIpv4(std::string_view text) {
  std::array<int, 4> parts{};
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (at >= text.size() || text[at] != '.')
        return std::nullopt;
      ++at;
    }
    const size_t start = at;
    int value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
           at - start < 3) {
      value = value * 10 + (text[at] - '0');
      ++at;
    }
    if (at == start || value > 255 || (at - start > 1 && text[start] == '0'))
      return std::nullopt;
    parts[static_cast<size_t>(i)] = value;
  }
  if (at != text.size())
    return std::nullopt;
  return parts;
}

// The eight groups of an IPv6 address in any of its spellings: up to eight
// groups of one to four hex digits, one "::" for a run of zero groups, and a
// dotted quad for the last two. Anything else (a zone, a name) is refused.
std::optional<std::array<unsigned, 8>> ParseIpv6(std::string_view text) {
  auto groups = [](std::string_view part, std::vector<unsigned>& out, bool quad_allowed) {
    if (part.empty())
      return true;
    size_t start = 0;
    for (;;) {
      const size_t colon = part.find(':', start);
      const std::string_view group = part.substr(start, colon - start);
      if (colon == std::string_view::npos && quad_allowed &&
          group.find('.') != std::string_view::npos) {
        const auto v4 = ParseIpv4(group);
        if (!v4)
          return false;
        out.push_back(static_cast<unsigned>((*v4)[0] << 8 | (*v4)[1]));
        out.push_back(static_cast<unsigned>((*v4)[2] << 8 | (*v4)[3]));
        return true;
      }
      if (group.empty() || group.size() > 4 || !std::all_of(group.begin(), group.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
          }))
        return false;
      out.push_back(static_cast<unsigned>(std::stoul(std::string(group), nullptr, 16)));
      if (colon == std::string_view::npos)
        return true;
      start = colon + 1;
    }
  };
  std::vector<unsigned> head, tail;
  const size_t gap = text.find("::");
  if (gap == std::string_view::npos) {
    if (!groups(text, head, true) || head.size() != 8)
      return std::nullopt;
  } else if (text.find("::", gap + 1) != std::string_view::npos ||
             !groups(text.substr(0, gap), head, false) ||
             !groups(text.substr(gap + 2), tail, true) || head.size() + tail.size() > 7) {
    return std::nullopt;
  }
  std::array<unsigned, 8> address{};
  std::copy(head.begin(), head.end(), address.begin());
  std::copy(tail.begin(), tail.end(), address.end() - static_cast<std::ptrdiff_t>(tail.size()));
  return address;
}

// "[" an IPv6 address "]": the only thing brackets may hold in a host.
std::optional<std::array<unsigned, 8>> ParseBracketedIpv6(std::string_view host) {
  if (host.size() < 2 || host.front() != '[' || host.back() != ']')
    return std::nullopt;
  return ParseIpv6(host.substr(1, host.size() - 2));
}

bool IsLoopbackHost(std::string_view host) {
  if (Lower(host) == "localhost")
    return true;
  if (!host.empty() && host.front() == '[') {
    constexpr std::array<unsigned, 8> kLoopback{0, 0, 0, 0, 0, 0, 0, 1};
    return ParseBracketedIpv6(host) == kLoopback;
  }
  const auto v4 = ParseIpv4(host);
  return v4 && (*v4)[0] == 127;
}

// Printable ASCII but the backslash, which some parsers read as a slash.
bool IsPlainUrlText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7f && c != '\\';
  });
}

bool IsHostName(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
  });
}

struct HostPort {
  std::string host;  // lower case
  int port = 0;      // 0: none written
};

// The host and port of an authority, or nothing when it is malformed or names
// a user: "@" is where parsers disagree most about where the host begins.
std::optional<HostPort> ParseAuthority(std::string_view authority) {
  if (authority.find('@') != std::string_view::npos)
    return std::nullopt;
  std::string_view host = authority;
  std::string_view port;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos)
      return std::nullopt;
    host = authority.substr(0, close + 1);
    port = authority.substr(close + 1);
    if (!port.empty() && port.front() != ':')
      return std::nullopt;
    if (!ParseBracketedIpv6(host))
      return std::nullopt;
  } else {
    const size_t colon = authority.find(':');
    host = authority.substr(0, colon);
    if (colon != std::string_view::npos)
      port = authority.substr(colon);
    if (!IsHostName(host))
      return std::nullopt;
  }
  HostPort out{Lower(host), 0};
  if (!port.empty()) {
    port.remove_prefix(1);
    if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
          return std::isdigit(static_cast<unsigned char>(c));
        }))
      return std::nullopt;
    for (const char c : port)
      out.port = out.port * 10 + (c - '0');
    if (!port.empty() && (out.port == 0 || out.port > 65535))
      return std::nullopt;
  }
  return out;
}

// Removes "." and ".." segments of an absolute path.
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  size_t start = 1;
  while (start <= path.size()) {
    const size_t slash = path.find('/', start);
    const std::string_view segment = path.substr(start, slash - start);
    const bool last = slash == std::string_view::npos;
    if (segment == "..") {
      if (!kept.empty())
        kept.pop_back();
      if (last)
        kept.push_back("");
    } else if (segment == ".") {
      if (last)
        kept.push_back("");
    } else {
      kept.push_back(segment);
    }
    if (last)
      break;
    start = slash + 1;
  }
  std::string out;
  for (const std::string_view segment : kept)
    out += "/" + std::string(segment);
  return out.empty() ? "/" : out;
}

}  // namespace

std::string AllowedAddress::Url() const {
  const bool usual = port == (scheme == "https" ? 443 : 80);
  return scheme + "://" + host + (usual ? "" : ":" + std::to_string(port)) + path;
}

std::optional<AllowedAddress> ParseAllowedAddress(std::string_view url) {
  if (!IsPlainUrlText(url))
    return std::nullopt;
  const auto parts = Split(url);
  if (!parts || (parts->scheme != "https" && parts->scheme != "http"))
    return std::nullopt;
  const auto authority = ParseAuthority(parts->authority);
  if (!authority || (parts->scheme == "http" && !IsLoopbackHost(authority->host)))
    return std::nullopt;
  AllowedAddress address;
  address.scheme = parts->scheme;
  address.host = authority->host;
  address.port = authority->port != 0 ? authority->port : (address.scheme == "https" ? 443 : 80);
  address.path = std::string(parts->rest.substr(0, parts->rest.find('#')));
  if (address.path.empty() || address.path.front() != '/')
    address.path.insert(0, 1, '/');
  return address;
}

std::optional<AllowedAddress> AllowedRedirect(const AllowedAddress& from,
                                              std::string_view location) {
  auto next = ParseAllowedAddress(ResolveRedirect(from.Url(), location));
  // The key travels in 307 and 308 bodies: never let https hand it to plain http.
  if (next && from.scheme == "https" && next->scheme == "http")
    return std::nullopt;
  return next;
}

std::string ResolveRedirect(std::string_view base, std::string_view location) {
  const auto from = Split(base);
  if (!from)
    return {};
  if (Split(location))
    return std::string(location);
  if (location.substr(0, 2) == "//")
    return from->scheme + ":" + std::string(location);
  const std::string origin = from->scheme + "://" + std::string(from->authority);
  if (!location.empty() && location.front() == '/') {
    const size_t query = location.find_first_of("?#");
    return origin + RemoveDotSegments(location.substr(0, query)) +
           std::string(query == std::string_view::npos ? "" : location.substr(query));
  }
  // Relative to the folder of the base path; a query or fragment alone keeps the path.
  std::string_view path = from->rest.substr(0, from->rest.find_first_of("?#"));
  if (path.empty())
    path = "/";
  if (location.empty())
    return origin + std::string(path) + std::string(from->rest.substr(path.size()));
  if (location.front() == '?' || location.front() == '#')
    return origin + std::string(path) + std::string(location);
  const std::string merged =
      std::string(path.substr(0, path.rfind('/') + 1)) + std::string(location);
  const size_t query = merged.find_first_of("?#");
  return origin + RemoveDotSegments(std::string_view(merged).substr(0, query)) +
         (query == std::string::npos ? "" : merged.substr(query));
}

}  // namespace skyvigil
