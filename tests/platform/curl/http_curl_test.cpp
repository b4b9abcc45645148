// What only the libcurl client shows; the port's contract is checked for every
// client by tests/platform/http_contract.
#include "platform/curl/http_curl.h"

#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/local_service.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using testing::LocalService;
using testing::LoggedRequest;

std::vector<std::string> HeaderNames(const LoggedRequest& request) {
  std::vector<std::string> names;
  for (const auto& [name, value] : request.headers)
    names.push_back(name);
  return names;
}

class CurlHttpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.running()); }

  LocalService service_{testing::kServiceScript};
  CurlHttpClient client_;
};

TEST_F(CurlHttpTest, OnlyCurlsOwnHeadersAreSent) {
  client_.Perform({HttpRequest::Method::post, service_.Url("/v1/current.json"), "q=London"});
  client_.Perform({HttpRequest::Method::get, service_.Url("/projects/skyvigilversion.txt"), ""});
  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_THAT(HeaderNames(log[0]),
              ElementsAre("Host", "User-Agent", "Accept", "Content-Length", "Content-Type"));
  EXPECT_THAT(HeaderNames(log[1]), ElementsAre("Host", "User-Agent", "Accept"));
}

// The contract's refused addresses use 0.0.0.0, which on Linux reaches the
// local service: proof that the rule, not the network, stops them.
TEST_F(CurlHttpTest, AnyAddressWouldReachTheServiceWithoutTheRule) {
  std::string body;
  CURL* easy = curl_easy_init();
  const std::string url =
      "http://0.0.0.0:" + std::to_string(service_.port()) + "/projects/skyvigilversion.txt";
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 5000L);
  curl_easy_setopt(
      easy, CURLOPT_WRITEFUNCTION, +[](char* data, size_t one, size_t count, void* user) {
        static_cast<std::string*>(user)->append(data, one * count);
        return one * count;
      });
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  const CURLcode result = curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  ASSERT_EQ(result, CURLE_OK);
  EXPECT_EQ(body, "0.36");
}

}  // namespace
}  // namespace skyvigil
