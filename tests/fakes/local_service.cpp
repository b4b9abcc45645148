// Starts and stops the local weather service for tests; control calls go
// through plain libcurl so they do not depend on the client under test.
#include "fakes/local_service.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

extern char** environ;

namespace skyvigil::testing {

namespace {

constexpr char kPython[] = "/usr/bin/python3";

size_t Collect(char* data, size_t one, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, one * count);
  return one * count;
}

// Reads the first line the service prints, waiting at most 15 seconds.
std::string ReadFirstLine(int fd) {
  std::string line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      break;
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, static_cast<int>(left.count())) <= 0)
      break;
    char buffer[256];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
      break;
    line.append(buffer, static_cast<size_t>(n));
  }
  return line.substr(0, line.find('\n'));
}

}  // namespace

LocalService::LocalService(std::string script, std::vector<std::string> arguments) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  int to_child[2];
  int from_child[2];
  if (::pipe2(to_child, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  if (::pipe2(from_child, O_CLOEXEC) != 0) {
    ::close(to_child[0]);
    ::close(to_child[1]);
    ADD_FAILURE() << "pipe failed";
    return;
  }

  std::vector<std::string> words = {kPython, std::move(script), "--port", "0", "--watch-stdin"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
  const int spawned = ::posix_spawn(&pid_, kPython, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(to_child[0]);
  ::close(from_child[1]);
  stdin_pipe_ = to_child[1];
  if (spawned != 0) {
    pid_ = -1;
    ::close(from_child[0]);
    ADD_FAILURE() << "could not start " << kPython;
    return;
  }

  const std::string line = ReadFirstLine(from_child[0]);
  ::close(from_child[0]);
  if (line.rfind("PORT ", 0) == 0)
    port_ = std::atoi(line.c_str() + 5);
  if (port_ <= 0)
    ADD_FAILURE() << "the weather service did not report its port: " << line;
}

LocalService::~LocalService() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (stdin_pipe_ >= 0)
    ::close(stdin_pipe_);
}

std::string LocalService::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LocalService::Admin(const std::string& command, const std::string& json) {
  std::string answer;
  CURL* easy = curl_easy_init();
  const std::string url = Url("/admin/" + command);
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 10000L);
  if (command == "log") {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(json.size()));
    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, json.c_str());
  }
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &answer);
  const CURLcode result = curl_easy_perform(easy);
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(easy);
  if (result != CURLE_OK || status != 200) {
    ADD_FAILURE() << "control call " << command << " " << json << " failed: curl " << result
                  << ", status " << status << ", " << answer;
  }
  return answer;
}

std::vector<LoggedRequest> LocalService::Log() {
  return ParseLog(Admin("log"));
}

}  // namespace skyvigil::testing
