// What the program and its fetch helper (skyvigil-fetch) say to each other
// over the helper's stdin and stdout: one job in, its answers out. Every field
// is length-prefixed, so bodies of any bytes arrive exactly as they left.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/curl/http_curl.h"
#include "ports/http.h"

namespace skyvigil {

struct FetchJob {
  CurlHttpOptions limits;
  bool download = false;
  std::vector<HttpRequest> requests;  // a batch
  std::string url;                    // a download: this address into `target`
  std::string target;
};

std::string EncodeJob(const FetchJob& job);
std::optional<FetchJob> DecodeJob(std::string_view bytes);

// A batch's answers; decoding fails unless exactly `count` answers and nothing else came.
std::string EncodeAnswers(const std::vector<HttpResponse>& answers);
std::optional<std::vector<HttpResponse>> DecodeAnswers(std::string_view bytes, std::size_t count);

// A download's outcome.
std::string EncodeDownloaded(bool downloaded);
std::optional<bool> DecodeDownloaded(std::string_view bytes);

}  // namespace skyvigil
