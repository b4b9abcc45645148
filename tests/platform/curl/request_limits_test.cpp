// What only the libcurl client promises of the abort of the exit: calls in
// progress end at once. The port's limits are the contract suite's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fakes/local_service.h"
#include "platform/curl/http_curl.h"

namespace skyvigil {
namespace {

using testing::LocalService;

class CurlAbortTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.running()); }

  std::vector<HttpRequest> Requests(size_t count) {
    std::vector<HttpRequest> requests;
    for (size_t i = 0; i < count; ++i) {
      requests.push_back(
          {HttpRequest::Method::post, service_.Url("/v1/current.json"), "key=k&q=London&aqi=yes"});
    }
    return requests;
  }

  static std::vector<bool> Completed(const std::vector<HttpResponse>& answers) {
    std::vector<bool> completed;
    for (const HttpResponse& answer : answers)
      completed.push_back(answer.completed);
    return completed;
  }

  LocalService service_{testing::kServiceScript};
};

TEST_F(CurlAbortTest, AbortEndsTheCallsInProgressAtOnce) {
  service_.Admin("fault", R"({"kind":"hang","permanent":true})");
  HttpLimits limits;
  limits.transfer_timeout_ms = 600000;  // only the abort can end these in time
  CurlHttpClient client(limits);
  auto batch = std::async(std::launch::async, [&] { return client.PerformBatch(Requests(2)); });
  // Both requests reach the service before the abort.
  for (int tries = 0; service_.Log().size() < 2 && tries < 500; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(service_.Log().size(), 2u);
  client.Abort();
  EXPECT_EQ(Completed(batch.get()), std::vector<bool>(2, false));
  EXPECT_FALSE(client.Perform(Requests(1)[0]).completed);
  EXPECT_EQ(service_.Log().size(), 2u);
}

}  // namespace
}  // namespace skyvigil
