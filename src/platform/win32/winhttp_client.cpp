// WinHTTP implementation of the HTTP client: synchronous requests, one per
// worker thread of a batch; redirects are followed here, hop by hop.
#include "platform/win32/winhttp_client.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "platform/win32/utf16.h"
#include "weather/address_rule.h"
#include "weather/http_policy.h"

namespace skyvigil {

namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";

struct CloseInternet {
  void operator()(void* handle) const { ::WinHttpCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, CloseInternet>;

// Where a body goes: memory for requests, the temporary file for downloads.
struct Sink {
  std::string* memory = nullptr;
  HANDLE file = INVALID_HANDLE_VALUE;
  std::size_t limit = 0;
  std::size_t size = 0;
  bool too_large = false;
  const DownloadProgress* progress = nullptr;  // a download's listener, if any

  // False when the listener cancelled the download.
  bool Report(std::optional<unsigned long long> length) const {
    return progress == nullptr || !*progress || (*progress)(size, length.value_or(0));
  }

  bool Write(const char* data, std::size_t bytes) {
    if (bytes > limit - size) {
      too_large = true;
      return false;
    }
    size += bytes;
    if (memory != nullptr) {
      memory->append(data, bytes);
      return true;
    }
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) &&
           written == bytes;
  }

  // A redirect's own body is not part of the answer.
  bool Restart() {
    size = 0;
    if (memory != nullptr) {
      memory->clear();
      return true;
    }
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
  }
};

std::optional<std::wstring> HeaderText(HINTERNET request, DWORD which) {
  DWORD bytes = 0;
  ::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &bytes, WINHTTP_NO_HEADER_INDEX);
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0)
    return std::nullopt;
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  if (!::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

std::optional<unsigned long long> ContentLength(HINTERNET request) {
  const std::optional<std::wstring> text = HeaderText(request, WINHTTP_QUERY_CONTENT_LENGTH);
  if (!text || text->empty() || text->size() > 19)
    return std::nullopt;
  unsigned long long value = 0;
  for (wchar_t c : *text) {
    if (c < L'0' || c > L'9')
      return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  return value;
}

// Every blocking step may take only what is left of the request's time.
bool LimitTo(HINTERNET request, Clock::time_point deadline, long connect_ms) {
  const long long left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0)
    return false;
  const int all = static_cast<int>(std::min<long long>(left, 0x7fffffff));
  // The wait for the answer's head has a limit of its own besides the receive one.
  DWORD head = static_cast<DWORD>(all);
  return ::WinHttpSetTimeouts(request, all, std::min(all, static_cast<int>(connect_ms)), all,
                              all) &&
         ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &head, sizeof head);
}

long Status(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  ::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<long>(status);
}

// After a 407: the user's own logon (null name and password) for the proxy's
// Negotiate or NTLM. The low logon policy lets WinHTTP use it for this
// request; automatic authentication stays off, so only this answer is made.
bool AnswerProxyWithLogon(HINTERNET request) {
  DWORD supported = 0;
  DWORD first = 0;
  DWORD target = 0;
  if (!::WinHttpQueryAuthSchemes(request, &supported, &first, &target))
    return false;
  const DWORD scheme = ProxyLogonScheme(target, supported);
  if (scheme == 0)
    return false;
  DWORD low = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
  ::WinHttpSetOption(request, WINHTTP_OPTION_AUTOLOGON_POLICY, &low, sizeof low);
  return ::WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr, nullptr,
                                 nullptr) != 0;
}

// One request through its redirects; the body goes to `sink`.
HttpResponse Fetch(HINTERNET session, const HttpLimits& limits, const std::atomic<bool>& aborted,
                   const HttpRequest& asked, Sink& sink) {
  HttpResponse response;
  if (session == nullptr)
    return response;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(limits.transfer_timeout_ms);
  // WinHTTP gets the rule's own parts, never the text: its parser ends the
  // host elsewhere than the rule does.
  std::optional<AllowedAddress> address = ParseAllowedAddress(asked.url);
  bool post = asked.method == HttpRequest::Method::post;
  for (int redirects = 0;; ++redirects) {
    if (aborted || !address)
      return response;
    const bool secure = address->scheme == "https";
    // WinHttpConnect takes an IPv6 address without its brackets.
    std::string host = address->host;
    if (host.front() == '[')
      host = host.substr(1, host.size() - 2);
    Internet connection(::WinHttpConnect(session, win32::Utf8ToUtf16(host).c_str(),
                                         static_cast<INTERNET_PORT>(address->port), 0));
    if (!connection)
      return response;
    const Internet request(::WinHttpOpenRequest(connection.get(), post ? L"POST" : L"GET",
                                                win32::Utf8ToUtf16(address->path).c_str(), nullptr,
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
      return response;
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    // No cookies and no automatic logon: nothing beyond the request itself is
    // sent, but for the answer to a proxy's 407 below.
    DWORD plain = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &plain, sizeof plain);
    if (!secure) {
      // Plain http only ever goes to this machine: never through a proxy.
      WINHTTP_PROXY_INFO direct{WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr};
      ::WinHttpSetOption(request.get(), WINHTTP_OPTION_PROXY, &direct, sizeof direct);
    }
    const DWORD body_size = post ? static_cast<DWORD>(asked.body.size()) : 0;
    void* body = post && !asked.body.empty() ? const_cast<char*>(asked.body.data()) : nullptr;
    if (!LimitTo(request.get(), deadline, limits.connect_timeout_ms) ||
        !::WinHttpSendRequest(request.get(), post ? kFormHeader : WINHTTP_NO_ADDITIONAL_HEADERS,
                              post ? static_cast<DWORD>(-1L) : 0, body, body_size, body_size, 0) ||
        !LimitTo(request.get(), deadline, limits.connect_timeout_ms) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
      return response;
    }
    response.status = Status(request.get());
    // A proxy that wants the user's logon gets it, in a few rounds at most
    // (NTLM takes two); a server asking for one (401) is never answered.
    for (int round = 0; response.status == 407 && round < 3; ++round) {
      if (!AnswerProxyWithLogon(request.get()) ||
          !LimitTo(request.get(), deadline, limits.connect_timeout_ms) ||
          !::WinHttpSendRequest(request.get(), post ? kFormHeader : WINHTTP_NO_ADDITIONAL_HEADERS,
                                post ? static_cast<DWORD>(-1L) : 0, body, body_size, body_size,
                                0) ||
          !LimitTo(request.get(), deadline, limits.connect_timeout_ms) ||
          !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return response;
      }
      response.status = Status(request.get());
    }

    const std::optional<std::wstring> location =
        IsRedirectStatus(response.status) ? HeaderText(request.get(), WINHTTP_QUERY_LOCATION)
                                          : std::nullopt;
    if (location) {
      if (redirects + 1 > limits.max_redirects)
        return response;
      address = AllowedRedirect(*address, win32::Utf16ToUtf8(*location));
      post = post && MethodAfterRedirect(HttpRequest::Method::post, response.status) ==
                         HttpRequest::Method::post;
      if (!sink.Restart())
        return response;
      continue;
    }

    // A download keeps no byte of an error page.
    if (sink.file != INVALID_HANDLE_VALUE && !IsSuccessStatus(response.status))
      return response;
    const std::optional<unsigned long long> length = ContentLength(request.get());
    if (length && *length > sink.limit) {
      sink.too_large = true;
      return response;
    }
    // Asking what is available first bounds each wait by the time left; a read
    // of a whole buffer could wait for a slow server to fill it.
    std::string buffer;
    if (!sink.Report(length))
      return response;
    for (;;) {
      DWORD available = 0;
      if (aborted || !LimitTo(request.get(), deadline, limits.connect_timeout_ms) ||
          !::WinHttpQueryDataAvailable(request.get(), &available)) {
        return response;
      }
      if (available == 0) {
        // Wine reports a receive time-out as the end of the data.
        if (Clock::now() + std::chrono::milliseconds(50) >= deadline)
          return response;
        break;
      }
      buffer.resize(std::min<DWORD>(available, 1u << 20));
      DWORD got = 0;
      if (!::WinHttpReadData(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                             &got) ||
          !sink.Write(buffer.data(), got) || !sink.Report(length)) {
        return response;
      }
    }
    // A connection that closes early may look like a normal end to WinHTTP.
    response.completed = !length || *length == sink.size;
    return response;
  }
}

HttpResponse FetchIntoMemory(HINTERNET session, const HttpLimits& limits,
                             const std::atomic<bool>& aborted, const HttpRequest& request) {
  std::string body;
  Sink sink;
  sink.memory = &body;
  sink.limit = limits.max_body_bytes;
  HttpResponse response = Fetch(session, limits, aborted, request, sink);
  if (!sink.too_large)
    response.body = std::move(body);
  return response;
}

// A name beside `target` that no other download uses at the same time.
HANDLE CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target.parent_path() /
           (L"." + target.filename().wstring() + L"." + std::to_wstring(::GetCurrentProcessId()) +
            L"-" + std::to_wstring(counter++) + L".part");
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
      return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

unsigned long ProxyLogonScheme(unsigned long target, unsigned long supported) {
  if (target != WINHTTP_AUTH_TARGET_PROXY)
    return 0;
  for (const DWORD scheme : {WINHTTP_AUTH_SCHEME_NEGOTIATE, WINHTTP_AUTH_SCHEME_NTLM}) {
    if ((supported & scheme) != 0)
      return scheme;
  }
  return 0;  // Basic and Digest would need a name and password of their own
}

WinHttpClient::WinHttpClient(HttpLimits limits) : limits_(limits) {
  // The system's proxy settings (with WPAD) from Windows 8.1 on; older systems
  // reject the flag and go direct.
  const std::wstring agent = win32::Utf8ToUtf16(kUserAgent);
  session_ = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (session_ == nullptr) {
    session_ = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
  }
  if (session_ != nullptr) {
    DWORD connections = static_cast<DWORD>(std::max<std::size_t>(1, limits_.max_running));
    ::WinHttpSetOption(session_, WINHTTP_OPTION_MAX_CONNS_PER_SERVER, &connections,
                       sizeof connections);
    ::WinHttpSetOption(session_, WINHTTP_OPTION_MAX_CONNS_PER_1_0_SERVER, &connections,
                       sizeof connections);
  }
}

WinHttpClient::~WinHttpClient() {
  if (session_ != nullptr)
    ::WinHttpCloseHandle(session_);
}

std::vector<HttpResponse> WinHttpClient::PerformBatch(const std::vector<HttpRequest>& requests) {
  std::vector<HttpResponse> answers(requests.size());
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next++) < requests.size();)
      answers[i] = FetchIntoMemory(session_, limits_, aborted_, requests[i]);
  };
  // The calling thread works too; the helpers end with the batch.
  const std::size_t helpers = std::min(requests.size(), limits_.max_running);
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < helpers; ++i)
    threads.emplace_back(work);
  work();
  for (std::thread& thread : threads)
    thread.join();
  return answers;
}

DownloadResult WinHttpClient::Download(const std::string& url, const std::filesystem::path& target,
                                       const DownloadProgress& progress) {
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  if (!IsAllowedAddress(url))
    return {};
  std::filesystem::path temp;
  Sink sink;
  sink.file = CreateTemporaryBeside(target, temp);
  if (sink.file == INVALID_HANDLE_VALUE)
    return {};
  sink.limit = limits_.max_download_bytes;
  sink.progress = &progress;
  const HttpResponse response =
      Fetch(session_, limits_, aborted_, {HttpRequest::Method::get, url, ""}, sink);
  bool ok = ::CloseHandle(sink.file) && response.completed && IsSuccessStatus(response.status);
  if (ok)
    ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!ok)
    ::DeleteFileW(temp.c_str());
  return {ok, response.status};
}

void WinHttpClient::Abort() {
  aborted_ = true;
}

}  // namespace skyvigil
