// A recording HttpClient for tests: keeps every request and hands out answers
// queued beforehand, so callers can be checked without a network.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ports/http.h"

namespace skyvigil::testing {

class FakeHttpClient : public HttpClient {
 public:
  // Answers are handed out in the order they were queued, one per request;
  // once the queue is empty every request gets a failed transfer.
  void QueueAnswer(HttpResponse answer);
  // A completed answer with this body and status.
  void QueueAnswer(std::string body, long status = 200);
  void QueueFailure();  // a transfer that did not complete, with no body

  // What the next Download writes into its target; nullopt makes it fail and
  // leave no file.
  void SetDownloadBytes(std::optional<std::string> bytes);

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  using HttpClient::Download;
  // Reports the whole length once before and once after writing.
  DownloadResult Download(const std::string& url, const std::filesystem::path& target,
                          const DownloadProgress& progress) override;

  // Every request performed, in order, and the size of each batch.
  std::vector<HttpRequest> requests() const;
  std::vector<std::size_t> batch_sizes() const;
  std::vector<std::pair<std::string, std::filesystem::path>> downloads() const;

 private:
  mutable std::mutex mutex_;  // the update check calls from its own thread
  std::deque<HttpResponse> answers_;
  std::optional<std::string> download_bytes_;
  std::vector<HttpRequest> requests_;
  std::vector<std::size_t> batch_sizes_;
  std::vector<std::pair<std::string, std::filesystem::path>> downloads_;
};

}  // namespace skyvigil::testing
