// Runs each call's job in its own skyvigil-fetch process over one socket pair:
// the job is written while the answer is read, so neither side waits on a full
// buffer whatever the sizes.
#include "platform/posix/fetcher_http_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "platform/fetch/fetch_framing.h"

extern char** environ;

namespace skyvigil {

namespace {

using Clock = std::chrono::steady_clock;

// Beyond the helper's own limits, for a helper that stops answering.
constexpr long kSlackMs = 10000;

std::vector<HttpResponse> Failed(std::size_t count) {
  return std::vector<HttpResponse>(count);
}

// Starts the helper with `child_end` as its stdin and stdout and no other
// descriptor, default signal handling and an empty signal mask.
pid_t Spawn(const std::filesystem::path& helper, int child_end) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  const std::string path = helper.string();
  char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = -1;
  const bool ready =
      posix_spawn_file_actions_adddup2(&actions, child_end, STDIN_FILENO) == 0 &&
      posix_spawn_file_actions_adddup2(&actions, child_end, STDOUT_FILENO) == 0 &&
      posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1) == 0 &&
      posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
      posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
      posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  if (!ready || posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ) != 0)
    pid = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Writes `input` and reads the output until the helper closes its end.
// Returns false on an error, when the output grows past `max_output` or the
// deadline passes.
bool Exchange(int fd, const std::string& input, std::string& output, std::size_t max_output,
              Clock::time_point deadline) {
  std::size_t written = 0;
  bool writing = true;
  char buffer[65536];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0)
      return false;
    pollfd poll_fd{fd, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
    const int ready = ::poll(&poll_fd, 1, static_cast<int>(std::min<long long>(left, 60000)));
    if (ready < 0 && errno != EINTR)
      return false;
    if (ready <= 0)
      continue;
    if (writing && (poll_fd.revents & (POLLOUT | POLLERR | POLLHUP))) {
      // MSG_NOSIGNAL: a helper gone early is an error here, not a SIGPIPE.
      const ssize_t put = ::send(fd, input.data() + written,
                                 std::min<std::size_t>(input.size() - written, sizeof buffer),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
      if (put > 0)
        written += static_cast<std::size_t>(put);
      else if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        return false;
      if (written == input.size()) {
        writing = false;
        ::shutdown(fd, SHUT_WR);  // the helper reads the job up to here
      }
    }
    if (poll_fd.revents & (POLLIN | POLLERR | POLLHUP)) {
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (got == 0)
        return !writing;
      if (got > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
        if (output.size() > max_output)
          return false;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        return false;
      }
    }
  }
}

// Each request may wait its turn behind max_running others; then its own limit runs.
long BatchLimitMs(const CurlHttpOptions& limits, std::size_t count) {
  const std::size_t running = std::max<std::size_t>(limits.max_running, 1);
  const std::size_t turns = (count + running - 1) / running;
  return static_cast<long>(turns) * limits.transfer_timeout_ms + kSlackMs;
}

}  // namespace

FetcherHttpClient::FetcherHttpClient(FetcherOptions options) : options_(std::move(options)) {}

std::optional<std::string> FetcherHttpClient::RunHelper(const std::string& input,
                                                        std::size_t max_output, long limit_ms) {
  if (aborted_)
    return std::nullopt;
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
    return std::nullopt;
  const pid_t pid = Spawn(options_.helper, ends[1]);
  ::close(ends[1]);
  if (pid < 0) {
    ::close(ends[0]);
    return std::nullopt;
  }
  {
    // Registered before the abort flag is read again, so Abort misses no helper.
    std::lock_guard lock(mutex_);
    running_.push_back(pid);
    if (aborted_)
      ::kill(pid, SIGKILL);
  }

  std::string output;
  const bool exchanged = Exchange(ends[0], input, output, max_output,
                                  Clock::now() + std::chrono::milliseconds(limit_ms));
  ::close(ends[0]);
  if (!exchanged)
    ::kill(pid, SIGKILL);

  // Waited for without reaping, so Abort never signals a reaped (reusable) pid.
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  {
    std::lock_guard lock(mutex_);
    running_.erase(std::find(running_.begin(), running_.end(), pid));
  }
  int status = 0;
  pid_t reaped = -1;
  while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (!exchanged || reaped != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  return output;
}

std::vector<HttpResponse> FetcherHttpClient::PerformBatch(
    const std::vector<HttpRequest>& requests) {
  if (requests.empty())
    return {};
  FetchJob job;
  job.limits = options_.limits;
  job.requests = requests;
  // Room for every body at its cap, with its fields.
  const std::size_t max_output = 64 + requests.size() * (options_.limits.max_body_bytes + 64);
  const std::optional<std::string> output =
      RunHelper(EncodeJob(job), max_output, BatchLimitMs(options_.limits, requests.size()));
  if (!output)
    return Failed(requests.size());
  std::optional<std::vector<HttpResponse>> answers = DecodeAnswers(*output, requests.size());
  return answers ? std::move(*answers) : Failed(requests.size());
}

bool FetcherHttpClient::Download(const std::string& url, const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::remove(target, ignored);
  if (aborted_)
    return false;
  // The helper downloads into a folder of this call's own, which goes whatever
  // happens to the helper: a killed helper leaves nothing behind.
  std::string folder =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  if (::mkdtemp(folder.data()) == nullptr)
    return false;
  const fs::path staged = fs::path(folder) / target.filename();
  FetchJob job;
  job.limits = options_.limits;
  job.download = true;
  job.url = url;
  job.target = staged.string();
  const std::optional<std::string> output =
      RunHelper(EncodeJob(job), 64, options_.limits.transfer_timeout_ms + kSlackMs);
  const std::optional<bool> downloaded = output ? DecodeDownloaded(*output) : std::nullopt;
  const bool ok = downloaded.value_or(false) && ::rename(staged.c_str(), target.c_str()) == 0;
  fs::remove_all(folder, ignored);
  return ok;
}

void FetcherHttpClient::Abort() {
  aborted_ = true;
  std::lock_guard lock(mutex_);
  for (const pid_t pid : running_)
    ::kill(pid, SIGKILL);
}

}  // namespace skyvigil
