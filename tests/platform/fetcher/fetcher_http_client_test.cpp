// What only the client that runs skyvigil-fetch promises: a helper that is
// missing, dies or answers badly gives failed answers; Abort kills the helper
// at work and starts no other; bodies of every byte value pass both ways
// exactly; no helper is left unreaped. Stand-in helpers are shell scripts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"
#include "platform/fetch/fetch_framing.h"
#include "platform/posix/fetcher_http_client.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;
using platform_test::FolderEntries;
using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

fs::path Script(const TempDir& dir, const std::string& body) {
  const fs::path path = dir / "helper.sh";
  WriteBytes(path, "#!/bin/sh\n" + body + "\n");
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// `size` bytes cycling through every byte value.
std::string EveryByte(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>(i % 256);
  return bytes;
}

FetcherHttpClient Client(const fs::path& helper) {
  FetcherOptions options;
  options.helper = helper;
  // Only the abort may end a helper that sleeps.
  options.limits.transfer_timeout_ms = 600000;
  return FetcherHttpClient(options);
}

std::vector<HttpRequest> Requests(std::size_t count, const std::string& body = "") {
  return std::vector<HttpRequest>(
      count, {HttpRequest::Method::post, "http://127.0.0.1:9/v1/current.json", body});
}

void ExpectAllFailed(const std::vector<HttpResponse>& answers, std::size_t count) {
  ASSERT_EQ(answers.size(), count);
  for (const HttpResponse& answer : answers) {
    EXPECT_FALSE(answer.completed);
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.body, "");
  }
}

void ExpectNoChildLeft() {
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

std::size_t Lines(const fs::path& path) {
  const std::string text = fs::exists(path) ? ReadBytes(path) : "";
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FetcherHttpClientTest, AMissingHelperGivesFailedAnswers) {
  const TempDir dir;
  FetcherHttpClient client = Client(dir / "skyvigil-fetch");
  ExpectAllFailed(client.PerformBatch(Requests(3)), 3);
  const TempDir folder;
  EXPECT_FALSE(client.Download("http://127.0.0.1:9/softs/Skyvigil.zip", folder / "Skyvigil.zip"));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
  ExpectNoChildLeft();
}

TEST(FetcherHttpClientTest, AHelperThatDiesOrAnswersBadlyGivesFailedAnswers) {
  const TempDir dir;
  WriteBytes(dir / "answers", EncodeAnswers({{true, 200, "a"}, {true, 200, "b"}}));
  const std::string answers = (dir / "answers").string();
  const struct {
    const char* what;
    std::string script;
    std::string body;
  } cases[] = {
      {"killed mid-answer", "cat >/dev/null; head -c 30 '" + answers + "'; kill -9 $$", ""},
      {"garbage", "cat >/dev/null; echo garbage", ""},
      {"an extra byte", "cat >/dev/null; cat '" + answers + "'; printf x", ""},
      {"a whole answer, then a failure", "cat >/dev/null; cat '" + answers + "'; exit 3", ""},
      // Its end of the socket is closed while a large job is being written:
      // the write fails, and SIGPIPE does not end this process.
      {"gone before reading", "exit 0", EveryByte(8u << 20)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FetcherHttpClient client = Client(Script(dir, c.script));
    ExpectAllFailed(client.PerformBatch(Requests(2, c.body)), 2);
    ExpectNoChildLeft();
  }
}

TEST(FetcherHttpClientTest, BodiesOfEveryByteValuePassBothWaysExactlyWhateverTheOrder) {
  const TempDir dir;
  // Both larger than any socket buffer, and the helper answers before it reads:
  // a client that wrote the whole job first would wait forever.
  const std::string sent = EveryByte((4u << 20) + 3);
  const std::string received = EveryByte((4u << 20) + 5);
  WriteBytes(dir / "answers", EncodeAnswers({{true, 200, received}, {false, 502, ""}}));
  FetcherHttpClient client = Client(Script(
      dir, "cat '" + (dir / "answers").string() + "'; cat > '" + (dir / "job").string() + "'"));
  const std::vector<HttpResponse> answers =
      client.PerformBatch({{HttpRequest::Method::post, "http://127.0.0.1:9/a", sent},
                           {HttpRequest::Method::get, "http://127.0.0.1:9/b", ""}});
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_TRUE(answers[0].completed);
  EXPECT_EQ(answers[0].status, 200);
  EXPECT_TRUE(answers[0].body == received);
  EXPECT_FALSE(answers[1].completed);
  EXPECT_EQ(answers[1].status, 502);

  const std::optional<FetchJob> job = DecodeJob(ReadBytes(dir / "job"));
  ASSERT_TRUE(job.has_value());
  ASSERT_EQ(job->requests.size(), 2u);
  EXPECT_TRUE(job->requests[0].body == sent);
  EXPECT_EQ(job->requests[1].url, "http://127.0.0.1:9/b");
  EXPECT_EQ(job->limits.transfer_timeout_ms, 600000);
}

// Starts `call` on a thread, waits for its helper to start, then aborts.
template <typename Call>
auto AbortWhileTheHelperRuns(FetcherHttpClient& client, const fs::path& log, Call call) {
  auto result = std::async(std::launch::async, call);
  for (int tries = 0; Lines(log) == 0 && tries < 3000; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Lines(log), 1u);
  client.Abort();
  return result.get();
}

TEST(FetcherHttpClientTest, AbortKillsTheHelperAtWorkAndStartsNoOther) {
  const TempDir dir;
  const fs::path log = dir / "started";
  FetcherHttpClient client =
      Client(Script(dir, "echo started >> '" + log.string() + "'; exec sleep 600"));
  ExpectAllFailed(
      AbortWhileTheHelperRuns(client, log, [&] { return client.PerformBatch(Requests(2)); }), 2);
  ExpectNoChildLeft();

  ExpectAllFailed(client.PerformBatch(Requests(3)), 3);
  const TempDir folder;
  EXPECT_FALSE(client.Download("http://127.0.0.1:9/softs/Skyvigil.zip", folder / "Skyvigil.zip"));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
  EXPECT_EQ(Lines(log), 1u);
}

TEST(FetcherHttpClientTest, AnAbortedDownloadLeavesNothingBehind) {
  const TempDir dir;
  const fs::path log = dir / "started";
  FetcherHttpClient client =
      Client(Script(dir, "echo started >> '" + log.string() + "'; exec sleep 600"));
  const TempDir folder;
  EXPECT_FALSE(AbortWhileTheHelperRuns(client, log, [&] {
    return client.Download("http://127.0.0.1:9/softs/Skyvigil.zip", folder / "Skyvigil.zip");
  }));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
  ExpectNoChildLeft();
}

}  // namespace
}  // namespace skyvigil
