// The recording fake HttpClient.
#include "fakes/fake_http.h"

#include <fstream>

namespace skyvigil::testing {

void FakeHttpClient::QueueAnswer(HttpResponse answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(std::move(answer));
}

void FakeHttpClient::QueueAnswer(std::string body, long status) {
  QueueAnswer(HttpResponse{true, status, std::move(body)});
}

void FakeHttpClient::QueueFailure() {
  QueueAnswer(HttpResponse{false, 0, ""});
}

void FakeHttpClient::SetDownloadBytes(std::optional<std::string> bytes) {
  std::lock_guard lock(mutex_);
  download_bytes_ = std::move(bytes);
}

std::vector<HttpResponse> FakeHttpClient::PerformBatch(const std::vector<HttpRequest>& requests) {
  std::lock_guard lock(mutex_);
  batch_sizes_.push_back(requests.size());
  std::vector<HttpResponse> answers;
  for (const HttpRequest& request : requests) {
    requests_.push_back(request);
    if (answers_.empty()) {
      answers.push_back(HttpResponse{});
    } else {
      answers.push_back(std::move(answers_.front()));
      answers_.pop_front();
    }
  }
  return answers;
}

DownloadResult FakeHttpClient::Download(const std::string& url, const std::filesystem::path& target,
                                        const DownloadProgress& progress) {
  std::lock_guard lock(mutex_);
  downloads_.emplace_back(url, target);
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  if (!download_bytes_)
    return {};
  const uint64_t size = download_bytes_->size();
  if (progress && !progress(0, size))
    return {};
  std::ofstream out(target, std::ios::binary);
  out << *download_bytes_;
  out.close();
  if (!out) {
    std::filesystem::remove(target, ignored);
    return {};
  }
  if (progress && !progress(size, size)) {
    std::filesystem::remove(target, ignored);
    return {};
  }
  return {true, 200};
}

std::vector<HttpRequest> FakeHttpClient::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::size_t> FakeHttpClient::batch_sizes() const {
  std::lock_guard lock(mutex_);
  return batch_sizes_;
}

std::vector<std::pair<std::string, std::filesystem::path>> FakeHttpClient::downloads() const {
  std::lock_guard lock(mutex_);
  return downloads_;
}

}  // namespace skyvigil::testing
