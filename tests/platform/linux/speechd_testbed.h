// Test helpers around the private speech-dispatcher of tests/e2e/speechd: start
// and stop it, point clients at it and read back what it was asked to say.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"

namespace skyvigil::platform_test {

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str()))
      old_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// How many sockets this process holds open.
inline int OpenSockets() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(entry.path(), error);
    if (!error && target.string().starts_with("socket:"))
      ++count;
  }
  return count;
}

// One line of the recorder's timed log: a message started, ended or was cut off.
struct SpeechEvent {
  std::string what;  // "start", "end" or "cut"
  std::string text;
  bool operator==(const SpeechEvent&) const = default;
};

inline void PrintTo(const SpeechEvent& event, std::ostream* out) {
  *out << event.what << " \"" << event.text << "\"";
}

// One private speech-dispatcher whose recorder module appends every text it
// speaks as a line of a file. Stopped by the destructor, so also when a test fails.
class SpeechdTestbed {
 public:
  // `delay` is how long each message "sounds" after it has been recorded.
  explicit SpeechdTestbed(std::chrono::milliseconds delay = std::chrono::milliseconds(0))
      : SpeechdTestbed(std::to_string(delay.count() / 1000.0)) {}
  // Seconds, or "realistic" (as long as a voice would take).
  explicit SpeechdTestbed(const std::string& delay) {
    const ScopedEnv delay_env("SKYVIGIL_SPEECH_DELAY", delay);
    started_ = Run("start '" + dir_.path().string() + "' '" + record().string() + "'");
  }
  SpeechdTestbed(const SpeechdTestbed&) = delete;
  SpeechdTestbed& operator=(const SpeechdTestbed&) = delete;
  ~SpeechdTestbed() { Stop(); }

  bool started() const { return started_; }
  std::string address() const { return "unix_socket:" + (dir_ / "speechd.sock").string(); }
  std::filesystem::path record() const { return dir_ / "said.txt"; }
  std::filesystem::path times() const { return dir_ / "said.txt.times"; }

  void Stop() {
    if (started_)
      Run("stop '" + dir_.path().string() + "'");
    started_ = false;
  }

  // The timed log's events so far, in order, without their times.
  std::vector<SpeechEvent> Events() const {
    std::vector<SpeechEvent> events;
    for (const std::string& line : ReadLines(times())) {
      const size_t first = line.find('\t');
      const size_t second = line.find('\t', first + 1);
      if (second != std::string::npos)
        events.push_back({line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return events;
  }

  // The events so far, waiting up to `timeout` for at least `count` of them.
  std::vector<SpeechEvent> WaitForEvents(
      size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      auto events = Events();
      if (events.size() >= count || std::chrono::steady_clock::now() >= deadline)
        return events;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // The texts spoken so far, waiting up to `timeout` for at least `count` of them.
  std::vector<std::string> WaitForTexts(
      size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      auto lines = ReadLines(record());
      if (lines.size() >= count || std::chrono::steady_clock::now() >= deadline)
        return lines;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

 private:
  static bool Run(const std::string& arguments) {
    const std::filesystem::path script = std::filesystem::path(SKYVIGIL_TEST_DATA).parent_path() /
                                         "e2e" / "speechd" / "speechd-testbed.sh";
    return std::system(("'" + script.string() + "' " + arguments).c_str()) == 0;
  }

  TempDir dir_;
  bool started_ = false;
};

}  // namespace skyvigil::platform_test
