// The speech layer against a private speech-dispatcher that records every text
// it is asked to say, and against no server or a broken one.
#include "platform/linux/speech_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <latch>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"
#include "platform/linux/speechd_testbed.h"

// libspeechd 0.11 leaks one message string each time spd_open2 fails to reach a
// server; the leak sanitizer is told to look past it. glibc has no frame
// pointers, so only the slow unwinder sees spd_open2 in the leak's stack.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:spd_open2\n";
}
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}

namespace skyvigil {
namespace {

using platform_test::ScopedEnv;
using platform_test::SpeechdTestbed;
using platform_test::SpeechEvent;
using platform_test::TempDir;
using std::chrono::milliseconds;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

// Runs `call` on its own thread and gives its result if it returns within
// `limit`; a call that hangs is left behind instead of hanging the test.
std::optional<bool> ResultWithin(milliseconds limit, std::function<bool()> call) {
  auto done = std::make_shared<std::promise<bool>>();
  std::future<bool> result = done->get_future();
  std::thread([done, call = std::move(call)] { done->set_value(call()); }).detach();
  if (result.wait_for(limit) != std::future_status::ready)
    return std::nullopt;
  return result.get();
}

class SpeechOutputTest : public ::testing::Test {
 protected:
  void Connect(SpeechOutput& speech) {
    speech.Load();
    speech.TrySystemSpeech(true);
    ASSERT_TRUE(speech.IsConnected());
  }
};

TEST_F(SpeechOutputTest, QueuedTextsAllArriveWholeAndInOrder) {
  // Each text keeps the recorder busy for a while, so the later ones really queue.
  SpeechdTestbed server(milliseconds(40));
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  const std::vector<std::string> texts = {
      "London, City of London, Greater London, United Kingdom: Severe Flood Warning. View "
      "the forecast For more.",
      "Zürich: 41 Degrees",
      "São Paulo: Patchy rain nearby",
      "Skyvigil for Paris, Ile-de-France, France on",
      "Alerts for Paris, Ile-de-France, France off",
      "Monitor sounds off",
      "Both (Celcius first)",
      "fahrenheit",
      "Downloading update",
      "it's \"quoted\" & $HOME; `not run`",
  };

  SpeechOutput speech;
  Connect(speech);
  for (const std::string& text : texts)
    EXPECT_TRUE(speech.Output(text, false)) << text;

  EXPECT_EQ(server.WaitForTexts(texts.size()), texts);
}

TEST_F(SpeechOutputTest, InterruptCutsOffTheTextInProgressAndTheQueue) {
  // Every text "sounds" for two seconds after it was recorded.
  SpeechdTestbed server(milliseconds(2000));
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  SpeechOutput speech;
  Connect(speech);

  ASSERT_TRUE(speech.Output("Oslo: Light snow", false));
  ASSERT_TRUE(speech.Output("Oslo: 28 Degrees", false));
  ASSERT_TRUE(speech.Output("Bergen: Rain", false));
  ASSERT_THAT(server.WaitForTexts(1), ElementsAre("Oslo: Light snow"));
  ASSERT_TRUE(speech.Output("Copied", true));

  // Without the cut "Copied" would only come after two more texts, seconds later.
  EXPECT_THAT(server.WaitForTexts(2, milliseconds(1500)),
              ElementsAre("Oslo: Light snow", "Copied"));
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_THAT(platform_test::ReadLines(server.record()), ElementsAre("Oslo: Light snow", "Copied"));
}

// Background texts against another client speaking as a screen reader does (a
// "message"), and against this object's own speech. Each text "sounds" for a
// second, so the other speech surely comes while one of ours sounds.
class BackgroundSpeechTest : public SpeechOutputTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started());
    Connect(ours_);
    Connect(reader_);
  }

  // The texts that started to sound so far, waiting for at least `count`.
  std::vector<std::string> WaitForStarts(size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(10000);
    for (;;) {
      std::vector<std::string> started;
      for (const SpeechEvent& event : server_.Events()) {
        if (event.what == "start")
          started.push_back(event.text);
      }
      if (started.size() >= count || std::chrono::steady_clock::now() >= deadline)
        return started;
      std::this_thread::sleep_for(milliseconds(20));
    }
  }

  // Queues `texts` in the background and waits until the first one sounds.
  void QueueAndWaitForTheFirst(const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
      ASSERT_TRUE(ours_.OutputInBackground(text));
    ASSERT_THAT(WaitForStarts(1), ElementsAre(texts.front()));
  }

  // The record once it has `count` lines and nothing more came for a while.
  std::vector<std::string> SettledRecord(size_t count) {
    server_.WaitForTexts(count, milliseconds(15000));
    std::this_thread::sleep_for(milliseconds(1200));
    return platform_test::ReadLines(server_.record());
  }

  SpeechdTestbed server_{milliseconds(1000)};
  ScopedEnv address_{"SPEECHD_ADDRESS", server_.address()};
  SpeechOutput ours_;
  SpeechOutput reader_;  // another client, like Orca
};

TEST_F(BackgroundSpeechTest, AnotherClientsMessageCutsInAndTheCutTextIsSpokenAgainAfterIt) {
  QueueAndWaitForTheFirst({"London: Minor Flood alert", "Paris: Sunny"});
  ASSERT_TRUE(reader_.Output("Areas list", false));

  // Cut at once, before the reader's text starts, not after both of ours.
  EXPECT_THAT(
      server_.WaitForEvents(8),
      ElementsAre(SpeechEvent{"start", "London: Minor Flood alert"},
                  SpeechEvent{"cut", "London: Minor Flood alert"},
                  SpeechEvent{"start", "Areas list"}, SpeechEvent{"end", "Areas list"},
                  SpeechEvent{"start", "London: Minor Flood alert"},
                  SpeechEvent{"end", "London: Minor Flood alert"},
                  SpeechEvent{"start", "Paris: Sunny"}, SpeechEvent{"end", "Paris: Sunny"}));
}

TEST_F(BackgroundSpeechTest, OwnTextWaitsForOurBackgroundTextsUnlessItInterruptsThem) {
  const struct {
    bool interrupt;
    std::vector<std::string> said;
  } cases[] = {
      {false, {"Oslo: Light snow", "Oslo: 28 Degrees", "Added Bergen"}},
      {true, {"Oslo: Light snow", "Added Bergen", "Oslo: Light snow", "Oslo: 28 Degrees"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interrupt ? "interrupt" : "queued");
    const size_t before = platform_test::ReadLines(server_.record()).size();
    ASSERT_TRUE(ours_.OutputInBackground("Oslo: Light snow"));
    ASSERT_TRUE(ours_.OutputInBackground("Oslo: 28 Degrees"));
    ASSERT_EQ(WaitForStarts(before + 1).size(), before + 1);
    ASSERT_TRUE(ours_.Output("Added Bergen", c.interrupt));

    const auto record = SettledRecord(before + c.said.size());
    EXPECT_EQ(std::vector(record.begin() + static_cast<std::ptrdiff_t>(before), record.end()),
              c.said);
  }
}

TEST_F(BackgroundSpeechTest, ATextCutOffThreeTimesAfterItBeganIsDropped) {
  ASSERT_TRUE(ours_.OutputInBackground("Rome: Thunderstorm"));
  const std::vector<std::string> reader_texts = {"Areas list", "Paris", "London"};
  for (size_t i = 0; i < reader_texts.size(); ++i) {
    // Each time ours sounds again, the reader cuts it off.
    const auto started = WaitForStarts(2 * i + 1);
    ASSERT_EQ(started.size(), 2 * i + 1);
    ASSERT_EQ(started.back(), "Rome: Thunderstorm");
    ASSERT_TRUE(reader_.Output(reader_texts[i], false));
  }

  EXPECT_THAT(SettledRecord(6),
              ElementsAre("Rome: Thunderstorm", "Areas list", "Rome: Thunderstorm", "Paris",
                          "Rome: Thunderstorm", "London"));
}

TEST_F(BackgroundSpeechTest, SilenceStopsTheTextSoundingAndDropsTheQueuedOnes) {
  QueueAndWaitForTheFirst({"Oslo: Light snow", "Oslo: 28 Degrees", "Bergen: Rain"});
  ours_.Silence();

  // Waits for the text's second event rather than a fixed time: on a loaded
  // machine the recorder may log the cut late, but never as an end.
  EXPECT_THAT(server_.WaitForEvents(2), ElementsAre(SpeechEvent{"start", "Oslo: Light snow"},
                                                    SpeechEvent{"cut", "Oslo: Light snow"}));
  EXPECT_THAT(SettledRecord(1), ElementsAre("Oslo: Light snow"));
  // Later texts are spoken as before.
  ASSERT_TRUE(ours_.OutputInBackground("Bergen: Rain"));
  EXPECT_THAT(server_.WaitForTexts(2), ElementsAre("Oslo: Light snow", "Bergen: Rain"));
}

// What the fates of background texts said, in the order they were told.
class ToldFates {
 public:
  std::function<void(bool)> For(const std::string& text) {
    return [this, text](bool heard) {
      std::lock_guard lock(mutex_);
      told_.push_back(text + (heard ? ": heard" : ": dropped"));
      changed_.notify_all();
    };
  }
  std::vector<std::string> WaitFor(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(15), [&] { return told_.size() >= count; });
    return told_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> told_;
};

// "Speak Each Alert Once" counts a text as spoken only once it was heard.
TEST_F(BackgroundSpeechTest, ATextIsToldHeardOnlyOnceItEndedAndDroppedWhenSilenced) {
  ToldFates fates;
  ASSERT_TRUE(ours_.OutputInBackground("Oslo: Light snow", fates.For("Oslo: Light snow")));
  ASSERT_TRUE(ours_.OutputInBackground("Oslo: 28 Degrees", fates.For("Oslo: 28 Degrees")));
  ASSERT_THAT(WaitForStarts(1), ElementsAre("Oslo: Light snow"));
  ours_.Silence();
  ASSERT_TRUE(ours_.OutputInBackground("Bergen: Rain", fates.For("Bergen: Rain")));
  EXPECT_THAT(fates.WaitFor(3), ElementsAre("Oslo: 28 Degrees: dropped",
                                            "Oslo: Light snow: dropped", "Bergen: Rain: heard"));
}

TEST_F(SpeechOutputTest, TextSpokenRightBeforeTheConnectionClosesStillArrives) {
  SpeechdTestbed server;
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  {
    SpeechOutput speech;
    Connect(speech);
    ASSERT_TRUE(speech.Output("Exiting", true));
  }
  EXPECT_THAT(server.WaitForTexts(1), ElementsAre("Exiting"));
}

TEST_F(SpeechOutputTest, EmptyTextIsRefusedAndLaterTextsStillArrive) {
  SpeechdTestbed server;
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  SpeechOutput speech;
  Connect(speech);

  EXPECT_FALSE(speech.Output("", false));
  EXPECT_FALSE(speech.Output("", true));
  // An empty text that reached libspeechd would leave this call hanging.
  EXPECT_EQ(ResultWithin(milliseconds(3000), [&] { return speech.Output("Rome: Sunny", false); }),
            std::optional<bool>(true));
  EXPECT_THAT(server.WaitForTexts(1), ElementsAre("Rome: Sunny"));
}

TEST_F(SpeechOutputTest, NothingIsSpokenBeforeLoadOrWithoutSystemSpeech) {
  SpeechdTestbed server;
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  SpeechOutput speech;

  EXPECT_FALSE(speech.Output("before load", false));
  EXPECT_FALSE(speech.IsConnected());
  speech.Load();
  EXPECT_TRUE(speech.IsConnected());
  EXPECT_FALSE(speech.Output("system speech not allowed", false));
  speech.TrySystemSpeech(true);
  EXPECT_TRUE(speech.Output("allowed", false));

  EXPECT_THAT(server.WaitForTexts(1), ElementsAre("allowed"));
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_THAT(platform_test::ReadLines(server.record()), ElementsAre("allowed"));
}

TEST_F(SpeechOutputTest, ManyThreadsLoadingAtOnceOpenOneConnection) {
  SpeechdTestbed server;
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  SpeechOutput speech;
  const int sockets_before = platform_test::OpenSockets();

  constexpr int kThreads = 8;
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  std::vector<std::string> texts;
  for (int i = 0; i < kThreads; ++i) {
    texts.push_back("Thread " + std::to_string(i));
    threads.emplace_back([&, text = texts.back()] {
      start.arrive_and_wait();
      speech.Load();
      speech.TrySystemSpeech(true);
      speech.Output(text, false);
    });
  }
  for (std::thread& thread : threads)
    thread.join();

  EXPECT_EQ(platform_test::OpenSockets() - sockets_before, 1);
  EXPECT_THAT(server.WaitForTexts(kThreads), UnorderedElementsAreArray(texts));
}

TEST_F(SpeechOutputTest, NoServerReachableStaysSilentAndReturnsPromptly) {
  TempDir dir;
  const ScopedEnv address("SPEECHD_ADDRESS", "unix_socket:" + (dir / "absent.sock").string());
  // libspeechd tries to start a server; make sure a working stock one is not it.
  std::filesystem::create_directories(dir / "config" / "speech-dispatcher");
  platform_test::WriteBytes(dir / "config" / "speech-dispatcher" / "speechd.conf",
                            "DisableAutoSpawn\n");
  const ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());

  const auto start = std::chrono::steady_clock::now();
  SpeechOutput speech;
  speech.Load();
  speech.TrySystemSpeech(true);
  EXPECT_FALSE(speech.IsConnected());
  EXPECT_FALSE(speech.Output("Exiting", true));
  EXPECT_FALSE(speech.Output("Oslo: Light snow", false));
  speech.Load();  // not retried
  EXPECT_FALSE(speech.IsConnected());
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(2000));
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.sock"));
}

TEST_F(SpeechOutputTest, ServerGoneAfterConnectingLeavesLaterTextsSilentAndPrompt) {
  SpeechdTestbed server;
  ASSERT_TRUE(server.started());
  const ScopedEnv address("SPEECHD_ADDRESS", server.address());
  SpeechOutput speech;
  Connect(speech);
  ASSERT_TRUE(speech.Output("before", false));
  ASSERT_THAT(server.WaitForTexts(1), ElementsAre("before"));

  server.Stop();
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_EQ(ResultWithin(milliseconds(2000), [&] { return speech.Output("after", false); }),
            std::optional<bool>(false));
  EXPECT_EQ(ResultWithin(milliseconds(2000), [&] { return speech.Output("Copied", true); }),
            std::optional<bool>(false));
}

// A "server" that answers the greeting, then stops reading and hangs up shortly
// after: the client's next write meets a broken pipe.
class DeafServer {
 public:
  explicit DeafServer(const std::filesystem::path& socket_path) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket_path.string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    ok_ = listener_ >= 0 &&
          ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
          ::listen(listener_, 1) == 0;
    if (ok_)
      thread_ = std::thread([this] { Serve(); });
  }
  ~DeafServer() {
    if (thread_.joinable())
      thread_.join();
    if (listener_ >= 0)
      ::close(listener_);
  }
  bool ok() const { return ok_; }

 private:
  void Serve() {
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0)
      return;
    std::string greeting;
    char c = 0;
    while (!greeting.ends_with("\r\n") && ::read(client, &c, 1) == 1)
      greeting += c;
    ::shutdown(client, SHUT_RD);
    const std::string reply = "208 OK CLIENT NAME SET\r\n";
    if (::write(client, reply.data(), reply.size()) < 0) {
      ::close(client);
      return;
    }
    std::this_thread::sleep_for(milliseconds(300));
    ::close(client);
  }

  int listener_ = -1;
  bool ok_ = false;
  std::thread thread_;
};

TEST_F(SpeechOutputTest, BrokenPipeToTheServerDoesNotEndTheProcess) {
  TempDir dir;
  DeafServer server(dir / "deaf.sock");
  ASSERT_TRUE(server.ok());
  const ScopedEnv address("SPEECHD_ADDRESS", "unix_socket:" + (dir / "deaf.sock").string());
  SpeechOutput speech;
  Connect(speech);

  // The write raises SIGPIPE; reaching the expectation means it did not kill us.
  EXPECT_EQ(ResultWithin(milliseconds(3000), [&] { return speech.Output("Copied", true); }),
            std::optional<bool>(false));
}

}  // namespace
}  // namespace skyvigil
