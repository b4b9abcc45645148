// The core's one background fetch: answers land on the main thread, only
// while their asker still awaits them.
#include "state/fetch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using testing::FormField;
using ::testing::IsEmpty;

HttpRequest Asking(const std::string& what) {
  HttpRequest r;
  r.url = "https://weather.test/v1/echo.json";
  r.body = "q=" + what;
  return r;
}

// Each answer's body is the query it answered; `applied` records "asker:bodies".
struct FetchBed {
  FetchBed() {
    h.http.answer = [](const HttpRequest& r) {
      return HttpResponse{true, 200, FormField(r.body, "q")};
    };
  }

  uint64_t Fetch(Asker asker, std::vector<std::string> queries, const std::string& label) {
    std::vector<HttpRequest> requests;
    for (const std::string& q : queries)
      requests.push_back(Asking(q));
    return FetchAnswers(h.app, asker, requests,
                        [this, label](App&, const std::vector<HttpResponse>& answers) {
                          std::string bodies;
                          for (const HttpResponse& a : answers)
                            bodies += (bodies.empty() ? "" : ",") + a.body;
                          applied.push_back(label + ":" + bodies);
                        });
  }

  // Lets the workers post, then runs what they posted.
  void Land(size_t posts) {
    while (h.main_thread.Pending() < posts)
      h.main_thread.AwaitPost();
    h.main_thread.RunPosted();
  }

  AppHarness h;
  std::vector<std::string> applied;
};

TEST(Fetch, AnswersLandOnTheMainThreadInTheOrderOfTheRequests) {
  FetchBed bed;
  const uint64_t ticket = bed.Fetch(Asker::window_one, {"a", "b", "c"}, "forecast");
  EXPECT_TRUE(Awaiting(bed.h.app, Asker::window_one, ticket));
  EXPECT_THAT(bed.applied, IsEmpty());  // nothing lands before the main thread runs it
  bed.Land(1);
  EXPECT_THAT(bed.applied, ElementsAre("forecast:a,b,c"));
  EXPECT_FALSE(Awaiting(bed.h.app, Asker::window_one, ticket));
}

struct DropCase {
  const char* label;
  std::function<void(FetchBed&)> meanwhile;  // after the first fetch of window 1 started
  size_t posts;
  std::vector<std::string> applied;
};

TEST(Fetch, AnAnswerNobodyAwaitsIsDropped) {
  const std::vector<DropCase> cases = {
      {"untouched", [](FetchBed&) {}, 1, {"first:1"}},
      {"window closed", [](FetchBed& b) { CancelFetch(b.h.app, Asker::window_one); }, 1, {}},
      {"newer request wins",
       [](FetchBed& b) { b.Fetch(Asker::window_one, {"2"}, "second"); },
       2,
       {"second:2"}},
      {"another asker's fetch replaces nothing",
       [](FetchBed& b) { b.Fetch(Asker::key_trial, {"2"}, "key"); },
       2,
       {"first:1", "key:2"}},
      {"another asker's cancel drops nothing",
       [](FetchBed& b) { CancelFetch(b.h.app, Asker::key_trial); },
       1,
       {"first:1"}},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.label);
    FetchBed bed;
    bed.Fetch(Asker::window_one, {"1"}, "first");
    c.meanwhile(bed);
    bed.Land(c.posts);
    std::sort(bed.applied.begin(), bed.applied.end());
    EXPECT_EQ(bed.applied, c.applied);
  }
}

TEST(Fetch, TheExitAppliesNothingMoreAndEndsTheTransfers) {
  FetchBed bed;
  bed.Fetch(Asker::window_one, {"1"}, "forecast");
  bed.h.main_thread.AwaitPost();
  StopFetches(bed.h.app);
  EXPECT_TRUE(bed.h.http.aborted);
  bed.h.main_thread.RunPosted();
  EXPECT_EQ(bed.Fetch(Asker::window_one, {"2"}, "after"), 0u);
  bed.h.main_thread.RunPosted();
  EXPECT_THAT(bed.applied, IsEmpty());
}

// The exit waits for nothing; afterwards the workers are joined, within a
// bound, unless a request its client could not end still holds one.
TEST(Fetch, AfterTheExitTheWorkersAreJoinedUnlessARequestHoldsOne) {
  FetchBed bed;
  bed.h.http.Hold();  // a service that never answers, a client that can't cut it short
  bed.Fetch(Asker::refresh, {"1"}, "refresh");
  StopFetches(bed.h.app);
  EXPECT_FALSE(AwaitFetchWorkers(bed.h.app, std::chrono::milliseconds(20)));
  EXPECT_EQ(bed.h.app.state.fetch.workers.size(), 1u);
  bed.h.http.Release();
  EXPECT_TRUE(AwaitFetchWorkers(bed.h.app, std::chrono::seconds(30)));
  EXPECT_TRUE(bed.h.app.state.fetch.workers.empty());
  bed.h.main_thread.RunPosted();
  EXPECT_THAT(bed.applied, IsEmpty());
}

TEST(Fetch, AnAnswerForTheHandlerInsideADialogLandsWhileTheGateIsBusy) {
  FetchBed bed;
  std::vector<std::string> landed;
  bed.h.gate.Run([&](App& app) {
    FetchAnswers(
        app, Asker::key_trial, {Asking("k")},
        [&landed](App&, const std::vector<HttpResponse>& a) { landed.push_back(a.front().body); },
        Delivery::inside_handler);
    bed.h.main_thread.AwaitPost();
    bed.h.main_thread.RunPosted();  // the dialog's own loop
    EXPECT_THAT(landed, ElementsAre("k"));
  });
}

struct NoticeCase {
  const char* label;
  std::function<void(FetchBed&)> before_the_second;  // the service held its answer until now
  std::vector<std::string> events;
};

TEST(Fetch, TheNoticeIsSaidOnceAfterASecondOnlyWhileTheAnswerIsAwaited) {
  const std::vector<NoticeCase> cases = {
      {"still awaited", [](FetchBed&) {}, {"say:Loading forecast"}},
      {"answered before",
       [](FetchBed& b) {
         b.h.http.Release();
         b.Land(1);
       },
       {}},
      {"window closed", [](FetchBed& b) { CancelFetch(b.h.app, Asker::window_one); }, {}},
  };
  for (const NoticeCase& c : cases) {
    SCOPED_TRACE(c.label);
    FetchBed bed;
    bed.h.http.Hold();
    const uint64_t ticket = bed.Fetch(Asker::window_one, {"1"}, "forecast");
    SayIfStillFetching(bed.h.app, Asker::window_one, ticket, "Loading forecast");
    EXPECT_THAT(bed.h.main_thread.delays, ElementsAre(std::chrono::milliseconds(1000)));
    c.before_the_second(bed);
    bed.h.main_thread.RunDelayed();
    bed.h.main_thread.RunPosted();
    bed.h.http.Release();
    EXPECT_EQ(bed.h.announcer.events, c.events);
  }
}

}  // namespace
}  // namespace skyvigil
