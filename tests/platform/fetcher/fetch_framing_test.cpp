// The framing between the program and skyvigil-fetch: exact bytes both ways,
// and nothing but a whole, well-formed message is taken.
#include <gtest/gtest.h>

#include <string>

#include "platform/fetch/fetch_framing.h"

namespace skyvigil {
namespace {

std::string EveryByte() {
  std::string bytes;
  for (int i = 0; i < 256; ++i)
    bytes.push_back(static_cast<char>(i));
  return bytes + bytes;
}

TEST(FetchFramingTest, AJobComesBackExactlyAsItWent) {
  FetchJob job;
  job.limits = {1234, 5678, 3, 7, 99, 1000};
  job.requests = {{HttpRequest::Method::post, "http://127.0.0.1:1/a", EveryByte()},
                  {HttpRequest::Method::get, "https://example.org/b\n", ""}};
  const std::optional<FetchJob> decoded = DecodeJob(EncodeJob(job));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_FALSE(decoded->download);
  EXPECT_EQ(decoded->limits.connect_timeout_ms, 1234);
  EXPECT_EQ(decoded->limits.transfer_timeout_ms, 5678);
  EXPECT_EQ(decoded->limits.max_running, 3u);
  EXPECT_EQ(decoded->limits.max_redirects, 7);
  EXPECT_EQ(decoded->limits.max_body_bytes, 99u);
  EXPECT_EQ(decoded->limits.max_download_bytes, 1000u);
  ASSERT_EQ(decoded->requests.size(), 2u);
  EXPECT_EQ(decoded->requests[0].method, HttpRequest::Method::post);
  EXPECT_EQ(decoded->requests[0].url, "http://127.0.0.1:1/a");
  EXPECT_EQ(decoded->requests[0].body, EveryByte());
  EXPECT_EQ(decoded->requests[1].method, HttpRequest::Method::get);
  EXPECT_EQ(decoded->requests[1].url, "https://example.org/b\n");
  EXPECT_EQ(decoded->requests[1].body, "");
}

TEST(FetchFramingTest, EveryCutShortOrLengthenedMessageIsRefused) {
  const std::string answers = EncodeAnswers({{true, 200, "abc"}, {true, 500, ""}});
  for (std::size_t size = 0; size < answers.size(); ++size)
    EXPECT_FALSE(DecodeAnswers(answers.substr(0, size), 2).has_value()) << size;
  EXPECT_FALSE(DecodeAnswers(answers + "x", 2).has_value());
  EXPECT_FALSE(DecodeAnswers(answers, 3).has_value());

  FetchJob job;
  job.requests = {{HttpRequest::Method::get, "http://127.0.0.1:1/", "body"}};
  const std::string encoded = EncodeJob(job);
  for (std::size_t size = 0; size < encoded.size(); ++size)
    EXPECT_FALSE(DecodeJob(encoded.substr(0, size)).has_value()) << size;
  EXPECT_FALSE(DecodeJob(encoded + "x").has_value());

  const std::string downloaded = EncodeDownloaded(true);
  for (std::size_t size = 0; size < downloaded.size(); ++size)
    EXPECT_FALSE(DecodeDownloaded(downloaded.substr(0, size)).has_value()) << size;
}

TEST(FetchFramingTest, ALengthPastTheEndIsRefused) {
  std::string answers = EncodeAnswers({{true, 200, "abc"}});
  // The body's length field is the last 8 bytes before the body: claim one byte more.
  answers[answers.size() - 3 - 8] = 4;
  EXPECT_FALSE(DecodeAnswers(answers, 1).has_value());
  EXPECT_FALSE(DecodeAnswers("garbage", 1).has_value());
}

}  // namespace
}  // namespace skyvigil
