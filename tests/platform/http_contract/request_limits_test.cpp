// Each request of a batch on its own clock, a stalled one holding up no other,
// and the abort of the exit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakes/service_control.h"
#include "fakes/temp_dir.h"
#include "platform/http_contract/client_under_test.h"

namespace skyvigil {
namespace {

using testing::MakeClientUnderTest;

class RequestLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("SKYVIGIL_SERVICE_URL"), nullptr) << "run through with_service.py";
    service_.Admin("reset");
  }

  std::vector<HttpRequest> Requests(size_t count) {
    return std::vector<HttpRequest>(
        count,
        {HttpRequest::Method::post, service_.Url("/v1/current.json"), "key=k&q=London&aqi=yes"});
  }

  static std::vector<bool> Completed(const std::vector<HttpResponse>& answers) {
    std::vector<bool> completed;
    for (const HttpResponse& answer : answers)
      completed.push_back(answer.completed);
    return completed;
  }

  std::unique_ptr<HttpClient> control_client_ = MakeClientUnderTest();
  testing::ServiceControl service_{*control_client_, std::getenv("SKYVIGIL_SERVICE_URL")
                                                         ? std::getenv("SKYVIGIL_SERVICE_URL")
                                                         : ""};
};

TEST_F(RequestLimitsTest, WaitingForATurnDoesNotCountAgainstARequestsLimit) {
  // Four turns of two requests, 0.4 s each: the batch takes longer than one
  // request's limit, every request alone stays well within it.
  service_.Admin("delay", R"({"ms":400})");
  const auto client = MakeClientUnderTest({3000, 1200, 10, 2});
  EXPECT_EQ(Completed(client->PerformBatch(Requests(8))), std::vector<bool>(8, true));
}

TEST_F(RequestLimitsTest, AStalledRequestHoldsUpNoOther) {
  service_.Admin("fault", R"({"kind":"hang","count":1})");
  const auto client = MakeClientUnderTest({3000, 1500, 10, 16});
  const std::vector<bool> completed = Completed(client->PerformBatch(Requests(4)));
  EXPECT_EQ(std::count(completed.begin(), completed.end(), false), 1);
}

TEST_F(RequestLimitsTest, AbortEndsTheCallsInProgressAndFailsLaterOnesUnsent) {
  service_.Admin("fault", R"({"kind":"hang","permanent":true})");
  // How soon a call waiting on a silent server ends is each client's own
  // (curl: at once); here its limit is short enough for every client.
  const auto client = MakeClientUnderTest({3000, 3000, 10, 16});
  auto batch = std::async(std::launch::async, [&] { return client->PerformBatch(Requests(2)); });
  // Both requests reach the service before the abort.
  for (int tries = 0; service_.Log().size() < 2 && tries < 500; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(service_.Log().size(), 2u);
  client->Abort();
  EXPECT_EQ(Completed(batch.get()), std::vector<bool>(2, false));
  service_.Admin("reset");
  EXPECT_EQ(Completed(client->PerformBatch(Requests(3))), std::vector<bool>(3, false));
  const platform_test::TempDir folder;
  EXPECT_FALSE(
      client->Download(service_.Url("/softs/Skyvigil.zip"), folder / "Skyvigil.zip").saved);
  EXPECT_THAT(platform_test::FolderEntries(folder.path()), ::testing::IsEmpty());
  EXPECT_EQ(service_.Log().size(), 0u);
}

}  // namespace
}  // namespace skyvigil
