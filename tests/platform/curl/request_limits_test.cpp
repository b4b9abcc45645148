// Each request of a batch on its own clock, a stalled one holding up no other,
// and the abort of the exit, against the local weather service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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

class RequestLimitsTest : public ::testing::Test {
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

TEST_F(RequestLimitsTest, WaitingForATurnDoesNotCountAgainstARequestsLimit) {
  // Four turns of two requests, 0.4 s each: the batch takes longer than one
  // request's limit, every request alone stays well within it.
  service_.Admin("delay", R"({"ms":400})");
  CurlHttpOptions options;
  options.transfer_timeout_ms = 1200;
  options.max_running = 2;
  CurlHttpClient client(options);
  EXPECT_EQ(Completed(client.PerformBatch(Requests(8))), std::vector<bool>(8, true));
}

TEST_F(RequestLimitsTest, AStalledRequestHoldsUpNoOther) {
  service_.Admin("fault", R"({"kind":"hang","count":1})");
  CurlHttpOptions options;
  options.transfer_timeout_ms = 1500;
  CurlHttpClient client(options);
  const std::vector<bool> completed = Completed(client.PerformBatch(Requests(4)));
  EXPECT_EQ(std::count(completed.begin(), completed.end(), false), 1);
}

TEST_F(RequestLimitsTest, AbortEndsTheCallsInProgressAndFailsLaterOnes) {
  service_.Admin("fault", R"({"kind":"hang","permanent":true})");
  CurlHttpOptions options;
  options.transfer_timeout_ms = 600000;  // only the abort can end these in time
  CurlHttpClient client(options);
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
