// How every HTTP client of the program behaves, whatever library carries the
// requests: the name it gives, the redirects it follows and how, how long it
// waits and how much it keeps. Each client reads it from here; where it may
// connect at all is the address rule's (weather/address_rule.h).
#pragma once

#include <cstddef>

#include "ports/http.h"

namespace skyvigil {

// Sent with every request, redirects included, and no other name.
inline constexpr char kUserAgent[] = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";

// The largest answer of the service that is read at all: a forecast with
// alerts is some tens of kilobytes; a larger body counts as broken.
inline constexpr std::size_t kMaxServiceAnswerBytes = 1u << 20;

struct HttpLimits {
  // Each request's own limits, counted from the moment it starts, as if it ran alone.
  long connect_timeout_ms = 3000;    // connection set-up, per hop
  long transfer_timeout_ms = 20000;  // the whole request, redirects included
  int max_redirects = 10;
  // Requests of a batch running at once; the others wait their turn, their
  // clocks not running yet.
  std::size_t max_running = 16;
  // Larger answers count as failed, as the core would count them: no more is held.
  std::size_t max_body_bytes = kMaxServiceAnswerBytes;
  std::size_t max_download_bytes = 512u << 20;  // larger downloads count as failed
};

// The statuses whose Location is followed: 301, 302, 303, 307 and 308.
bool IsRedirectStatus(long status);

// The method of the hop after a redirect with `status`: like browsers, 301,
// 302 and 303 turn a POST into a GET (its body dropped); 307 and 308 keep it.
HttpRequest::Method MethodAfterRedirect(HttpRequest::Method method, long status);

// A download keeps the body of a 2xx answer only: any other status fails it.
bool IsSuccessStatus(long status);

}  // namespace skyvigil
