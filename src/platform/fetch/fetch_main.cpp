// skyvigil-fetch: performs one job of the program's HTTP client (a batch or a
// download) with libcurl and exits, so the long-running program never loads
// libcurl or a TLS library. The job comes on stdin, the answers go to stdout.
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "platform/curl/http_curl.h"
#include "platform/fetch/fetch_framing.h"

namespace {

bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0)
      out.append(buffer, static_cast<std::size_t>(got));
    else if (got == 0)
      return true;
    else if (errno != EINTR)
      return false;
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (put > 0)
      written += static_cast<std::size_t>(put);
    else if (put < 0 && errno != EINTR)
      return false;
  }
  return true;
}

}  // namespace

int main() {
  // Nobody is left to read the answers once the program is gone.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);

  std::string input;
  if (!ReadAll(STDIN_FILENO, input))
    return 1;
  const std::optional<skyvigil::FetchJob> job = skyvigil::DecodeJob(input);
  if (!job)
    return 2;

  skyvigil::CurlHttpClient client(job->limits);
  const std::string output =
      job->download ? skyvigil::EncodeDownloaded(client.Download(job->url, job->target))
                    : skyvigil::EncodeAnswers(client.PerformBatch(job->requests));
  return WriteAll(STDOUT_FILENO, output) ? 0 : 1;
}
