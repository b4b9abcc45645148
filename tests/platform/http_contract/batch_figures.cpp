// Figures, not a test: 128 weather requests that the service holds 100 ms
// each, sent one by one and then as one batch through this platform's client.
// Run through with_service.py like the contract suite.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/service_control.h"
#include "platform/http_contract/client_under_test.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  using namespace skyvigil;
  const char* origin = std::getenv("SKYVIGIL_SERVICE_URL");
  if (origin == nullptr) {
    std::fprintf(stderr, "run through with_service.py\n");
    return 2;
  }
  const std::unique_ptr<HttpClient> client = testing::MakeClientUnderTest();
  testing::ServiceControl service(*client, origin);
  service.Admin("delay", R"({"ms":100})");
  std::vector<HttpRequest> requests(128,
                                    {HttpRequest::Method::post, service.Url("/v1/current.json"),
                                     "key=0f1e2d3c4b5a69788796a5b4c3d2e1f&q=London&aqi=yes"});

  int completed = 0;
  const Clock::time_point one_by_one = Clock::now();
  for (const HttpRequest& request : requests)
    completed += client->Perform(request).completed ? 1 : 0;
  const double serial = Seconds(one_by_one);

  const Clock::time_point together = Clock::now();
  for (const HttpResponse& answer : client->PerformBatch(requests))
    completed += answer.completed ? 1 : 0;
  const double batch = Seconds(together);

  std::printf(
      "128 requests of 100 ms: one by one %.2f s, one batch %.2f s (%.1fx); %d of 256 "
      "completed\n",
      serial, batch, serial / batch, completed);
  return completed == 256 ? 0 : 1;
}
