// libcurl implementation of the HTTP client: one multi handle per call drives
// the transfers of a batch, each on its own clock; redirects are followed here, hop by hop.
#include "platform/curl/http_curl.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "weather/address_rule.h"
#include "weather/http_policy.h"

namespace skyvigil {

namespace {

using Clock = std::chrono::steady_clock;

void InitCurlOnce() {
  // A function-local static is initialised exactly once, even across threads.
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;
}

struct EasyFree {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyFree>;

// One request on its way through the redirects; the answer lands in `response`.
struct Transfer {
  EasyHandle easy;
  AllowedAddress address;  // the current hop
  bool post = false;
  std::string body;  // form body of a POST; curl reads it in place
  std::size_t limit = 0;
  std::FILE* file = nullptr;                   // downloads write here instead of `received`
  const DownloadProgress* progress = nullptr;  // a download's listener, if any
  std::size_t size = 0;                        // bytes of the current hop's body
  bool too_large = false;
  bool write_failed = false;
  int redirects = 0;
  Clock::time_point deadline;
  bool done = false;
  HttpResponse response;
};

size_t WriteBody(char* data, size_t one, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = one * count;
  if (transfer->file != nullptr) {
    // A download keeps no byte of an error page; a redirect's body is dropped
    // with its hop anyway.
    long status = 0;
    curl_easy_getinfo(transfer->easy.get(), CURLINFO_RESPONSE_CODE, &status);
    if (!IsSuccessStatus(status) && !IsRedirectStatus(status))
      return 0;  // aborts the transfer
  }
  if (bytes > transfer->limit - transfer->size) {
    transfer->too_large = true;
    return 0;  // aborts the transfer
  }
  transfer->size += bytes;
  if (transfer->file != nullptr) {
    if (std::fwrite(data, 1, bytes, transfer->file) != bytes) {
      transfer->write_failed = true;
      return 0;
    }
  } else {
    transfer->response.body.append(data, bytes);
  }
  return bytes;
}

// curl calls it as blocks arrive and about once a second between them, so a
// cancel takes effect within a second even while the server is silent.
int ReportProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(user);
  return (*transfer->progress)(static_cast<uint64_t>(received), static_cast<uint64_t>(total))
             ? 0
             : 1;  // ends the transfer
}

// Settings every hop shares; the hop itself is set by StartHop.
bool ConfigureEasy(Transfer& transfer, const HttpLimits& limits) {
  transfer.easy.reset(curl_easy_init());
  CURL* easy = transfer.easy.get();
  if (easy == nullptr)
    return false;
  curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(easy, CURLOPT_PROXY, "");  // no proxy from the environment
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(transfer.limit));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  if (transfer.progress != nullptr && *transfer.progress) {
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &ReportProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
  }
  if (transfer.post) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(transfer.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, transfer.body.c_str());
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
  return true;
}

// Points the handle at transfer.address; false when no time is left. curl gets
// the address rebuilt from the rule's parts, and only its scheme.
bool StartHop(Transfer& transfer) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(transfer.deadline - Clock::now());
  if (left.count() <= 0)
    return false;
  CURL* easy = transfer.easy.get();
  const std::string url = transfer.address.Url();
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, transfer.address.scheme.c_str());
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
  return true;
}

void Fail(Transfer& transfer) {
  transfer.done = true;
  transfer.response.completed = false;
  if (transfer.too_large)
    transfer.response.body.clear();
}

// Handles a finished hop: either the final answer or the next hop to start.
// Returns true when the transfer goes on with another hop.
bool FinishHop(Transfer& transfer, CURLcode result, int max_redirects) {
  CURL* easy = transfer.easy.get();
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  transfer.response.status = status;
  if (result != CURLE_OK) {
    Fail(transfer);
    return false;
  }
  curl_header* location = nullptr;
  if (!IsRedirectStatus(status) ||
      curl_easy_header(easy, "Location", 0, CURLH_HEADER, -1, &location) != CURLHE_OK) {
    transfer.done = true;
    transfer.response.completed = true;
    return false;
  }
  if (++transfer.redirects > max_redirects) {
    Fail(transfer);
    return false;
  }
  // Resolved and judged by the rule, like every first hop.
  std::optional<AllowedAddress> next = AllowedRedirect(transfer.address, location->value);
  if (!next) {
    Fail(transfer);
    return false;
  }
  transfer.address = std::move(*next);
  if (transfer.post &&
      MethodAfterRedirect(HttpRequest::Method::post, status) == HttpRequest::Method::get) {
    transfer.post = false;
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
  // The redirect's own body is not part of the answer.
  transfer.size = 0;
  transfer.response.body.clear();
  if (transfer.file != nullptr &&
      (std::fflush(transfer.file) != 0 || ::ftruncate(::fileno(transfer.file), 0) != 0)) {
    Fail(transfer);
    return false;
  }
  if (transfer.file != nullptr)
    std::rewind(transfer.file);
  if (!StartHop(transfer)) {
    Fail(transfer);
    return false;
  }
  return true;
}

// Gives the transfer its handle and its own clock, and hands it to `multi`.
bool StartTransfer(CURLM* multi, Transfer& transfer, const HttpLimits& limits) {
  transfer.deadline = Clock::now() + std::chrono::milliseconds(limits.transfer_timeout_ms);
  return ConfigureEasy(transfer, limits) && StartHop(transfer) &&
         curl_multi_add_handle(multi, transfer.easy.get()) == CURLM_OK;
}

// The multi handle of one call, known to Abort while the call runs.
class RegisteredMulti {
 public:
  explicit RegisteredMulti(CurlCallsInProgress& calls) : calls_(calls), multi_(curl_multi_init()) {
    if (multi_ == nullptr)
      return;
    std::lock_guard lock(calls_.mutex);
    calls_.multis.push_back(multi_);
  }
  ~RegisteredMulti() {
    if (multi_ == nullptr)
      return;
    {
      std::lock_guard lock(calls_.mutex);
      calls_.multis.erase(std::find(calls_.multis.begin(), calls_.multis.end(), multi_));
    }
    curl_multi_cleanup(multi_);
  }
  RegisteredMulti(const RegisteredMulti&) = delete;
  RegisteredMulti& operator=(const RegisteredMulti&) = delete;
  CURLM* get() const { return multi_; }

 private:
  CurlCallsInProgress& calls_;
  CURLM* multi_;
};

// Runs the transfers, at most limits.max_running at once, until each has its
// answer or the client is aborted.
void RunTransfers(const std::vector<Transfer*>& transfers, const HttpLimits& limits,
                  CurlCallsInProgress& calls) {
  RegisteredMulti registered(calls);
  CURLM* multi = registered.get();
  if (multi == nullptr || calls.aborted) {
    for (Transfer* transfer : transfers)
      Fail(*transfer);
    return;
  }
  curl_multi_setopt(multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);

  size_t next = 0;     // the first transfer not started yet
  size_t running = 0;  // started and not done
  auto start_more = [&] {
    while (next < transfers.size() && running < std::max<size_t>(limits.max_running, 1)) {
      Transfer& transfer = *transfers[next++];
      if (StartTransfer(multi, transfer, limits))
        ++running;
      else
        Fail(transfer);
    }
  };
  start_more();

  while (running > 0 && !calls.aborted) {
    int still_running = 0;
    if (curl_multi_perform(multi, &still_running) != CURLM_OK)
      break;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg != CURLMSG_DONE)
        continue;
      CURL* easy = message->easy_handle;
      const CURLcode result = message->data.result;
      Transfer* transfer = nullptr;
      curl_easy_getinfo(easy, CURLINFO_PRIVATE, &transfer);
      curl_multi_remove_handle(multi, easy);
      if (FinishHop(*transfer, result, limits.max_redirects) &&
          curl_multi_add_handle(multi, easy) == CURLM_OK) {
        continue;
      }
      if (!transfer->done)
        Fail(*transfer);
      --running;
    }
    start_more();
    if (running == 0)
      break;
    // curl bounds the wait by its own timers; Abort wakes it.
    if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK)
      break;
  }

  // Reached with transfers left only when aborted or when curl itself failed.
  for (Transfer* transfer : transfers) {
    if (transfer->easy)
      curl_multi_remove_handle(multi, transfer->easy.get());
    if (!transfer->done)
      Fail(*transfer);
  }
}

}  // namespace

CurlHttpClient::CurlHttpClient(HttpLimits limits) : limits_(limits) {
  InitCurlOnce();
}

std::vector<HttpResponse> CurlHttpClient::PerformBatch(const std::vector<HttpRequest>& requests) {
  std::vector<Transfer> transfers(requests.size());
  std::vector<Transfer*> started;
  started.reserve(requests.size());
  for (size_t i = 0; i < requests.size(); ++i) {
    Transfer& transfer = transfers[i];
    transfer.post = requests[i].method == HttpRequest::Method::post;
    transfer.body = requests[i].body;
    transfer.limit = limits_.max_body_bytes;
    // A refused address gets no handle at all: nothing leaves the machine.
    std::optional<AllowedAddress> address = ParseAllowedAddress(requests[i].url);
    if (!address) {
      transfer.done = true;
      continue;
    }
    transfer.address = std::move(*address);
    started.push_back(&transfer);
  }
  RunTransfers(started, limits_, calls_);

  std::vector<HttpResponse> answers;
  answers.reserve(transfers.size());
  for (Transfer& transfer : transfers) {
    transfer.easy.reset();  // released once the answer is taken
    answers.push_back(std::move(transfer.response));
  }
  return answers;
}

void CurlHttpClient::Abort() {
  calls_.aborted = true;
  std::lock_guard lock(calls_.mutex);
  for (void* multi : calls_.multis)
    curl_multi_wakeup(multi);
}

DownloadResult CurlHttpClient::Download(const std::string& url, const std::filesystem::path& target,
                                        const DownloadProgress& progress) {
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  std::optional<AllowedAddress> address = ParseAllowedAddress(url);
  if (!address)
    return {};

  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0)
    return {};
  ::fchmod(fd, 0644);
  Transfer transfer;
  transfer.address = std::move(*address);
  transfer.limit = limits_.max_download_bytes;
  transfer.progress = &progress;
  transfer.file = ::fdopen(fd, "wb");
  if (transfer.file == nullptr) {
    ::close(fd);
    ::unlink(temp.c_str());
    return {};
  }
  RunTransfers({&transfer}, limits_, calls_);
  transfer.easy.reset();

  const long status = transfer.response.status;
  bool ok = transfer.response.completed && !transfer.write_failed && IsSuccessStatus(status);
  ok = (std::fclose(transfer.file) == 0) && ok;
  if (ok)
    ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok)
    ::unlink(temp.c_str());
  return {ok, status};
}

}  // namespace skyvigil
