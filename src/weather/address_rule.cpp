// A deliberately strict reader of absolute http(s) addresses: anything it does
// not understand is refused rather than guessed at.
#include "weather/address_rule.h"

#include <algorithm>
#include <array>
#include <cctype>
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

// True for the one loopback address of IPv6 in any of its spellings.
bool IsIpv6Loopback(std::string_view text) {
  std::vector<std::string_view> head, tail;
  const size_t gap = text.find("::");
  auto groups = [](std::string_view part, std::vector<std::string_view>& out) {
    if (part.empty())
      return true;
    size_t start = 0;
    for (;;) {
      const size_t colon = part.find(':', start);
      const std::string_view group = part.substr(start, colon - start);
      if (group.empty() || group.size() > 4 || !std::all_of(group.begin(), group.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
          }))
        return false;
      out.push_back(group);
      if (colon == std::string_view::npos)
        return true;
      start = colon + 1;
    }
  };
  if (gap == std::string_view::npos) {
    if (!groups(text, head) || head.size() != 8)
      return false;
  } else {
    if (text.find("::", gap + 1) != std::string_view::npos || !groups(text.substr(0, gap), head) ||
        !groups(text.substr(gap + 2), tail) || head.size() + tail.size() > 7)
      return false;
  }
  std::vector<std::string_view> all = head;
  all.resize(8 - tail.size(), "0");
  all.insert(all.end(), tail.begin(), tail.end());
  for (size_t i = 0; i < 8; ++i) {
    const unsigned long value = std::stoul(std::string(all[i]), nullptr, 16);
    if (value != (i == 7 ? 1u : 0u))
      return false;
  }
  return true;
}

bool IsLoopbackHost(std::string_view host) {
  if (Lower(host) == "localhost")
    return true;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    return IsIpv6Loopback(host.substr(1, host.size() - 2));
  const auto v4 = ParseIpv4(host);
  return v4 && (*v4)[0] == 127;
}

// The host of an authority, or nothing when the authority is malformed.
std::optional<std::string_view> Host(std::string_view authority) {
  for (const char c : authority) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7f || c == '\\')
      return std::nullopt;
  }
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos)
    authority = authority.substr(at + 1);
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
  } else {
    const size_t colon = authority.find(':');
    host = authority.substr(0, colon);
    if (colon != std::string_view::npos)
      port = authority.substr(colon);
  }
  if (!port.empty()) {
    port.remove_prefix(1);
    if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
          return std::isdigit(static_cast<unsigned char>(c));
        }))
      return std::nullopt;
  }
  if (host.empty())
    return std::nullopt;
  return host;
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

std::optional<std::string> AllowedScheme(std::string_view url) {
  const auto parts = Split(url);
  if (!parts)
    return std::nullopt;
  const auto host = Host(parts->authority);
  if (!host)
    return std::nullopt;
  if (parts->scheme == "https")
    return parts->scheme;
  if (parts->scheme == "http" && IsLoopbackHost(*host))
    return parts->scheme;
  return std::nullopt;
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
