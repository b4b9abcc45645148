// Tests of the libcurl HTTP client against the local weather service.
#include "platform/curl/http_curl.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fakes/local_service.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::LocalService;
using testing::LoggedRequest;

constexpr char kKey[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f";
constexpr char kUserAgent[] = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

HttpRequest Post(std::string url, std::string body) {
  return {HttpRequest::Method::post, std::move(url), std::move(body)};
}

HttpRequest Get(std::string url) {
  return {HttpRequest::Method::get, std::move(url), ""};
}

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> HeaderNames(const LoggedRequest& request) {
  std::vector<std::string> names;
  for (const auto& [name, value] : request.headers)
    names.push_back(name);
  return names;
}

std::string Header(const LoggedRequest& request, const std::string& name) {
  for (const auto& [header, value] : request.headers) {
    if (header == name)
      return value;
  }
  return "";
}

std::string LocationName(const HttpResponse& answer) {
  const nlohmann::json json = nlohmann::json::parse(answer.body, nullptr, false);
  if (!json.is_object() || !json.contains("location"))
    return "";
  return json["location"]["name"].get<std::string>();
}

// A fresh empty folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("skyvigil-http-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class CurlHttpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.running()); }

  std::string Weather(const std::string& request) { return service_.Url("/v1/" + request); }

  static CurlHttpOptions Short(long transfer_ms) {
    CurlHttpOptions options;
    options.connect_timeout_ms = 1000;
    options.transfer_timeout_ms = transfer_ms;
    return options;
  }

  LocalService service_{testing::kServiceScript};
  CurlHttpClient client_;
};

TEST(CurlHttpOptionsTest, DefaultsAreTheServiceLimits) {
  const CurlHttpOptions options;
  EXPECT_EQ(options.connect_timeout_ms, 3000);
  EXPECT_EQ(options.transfer_timeout_ms, 20000);
  EXPECT_EQ(options.max_redirects, 10);
  EXPECT_EQ(options.max_body_bytes, 8u * 1024 * 1024);
}

TEST_F(CurlHttpTest, PostSendsTheFormBodyWithOnlyCurlsOwnHeaders) {
  const std::string body = std::string("key=") + kKey + "&q=London&aqi=yes";
  const HttpResponse answer = client_.Perform(Post(Weather("current.json"), body));

  EXPECT_TRUE(answer.completed);
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(LocationName(answer), "London");
  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].path, "/v1/current.json");
  EXPECT_EQ(log[0].body, body);
  EXPECT_THAT(HeaderNames(log[0]),
              ElementsAre("Host", "User-Agent", "Accept", "Content-Length", "Content-Type"));
  EXPECT_EQ(Header(log[0], "User-Agent"), kUserAgent);
  EXPECT_EQ(Header(log[0], "Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(Header(log[0], "Content-Length"), std::to_string(body.size()));
}

TEST_F(CurlHttpTest, GetSendsNoBody) {
  const HttpResponse answer = client_.Perform(Get(service_.Url("/projects/skyvigilversion.txt")));

  EXPECT_TRUE(answer.completed);
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body, "0.36");
  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].body, "");
  EXPECT_THAT(HeaderNames(log[0]), ElementsAre("Host", "User-Agent", "Accept"));
  EXPECT_EQ(Header(log[0], "User-Agent"), kUserAgent);
}

struct StatusCase {
  const char* name;
  std::string path;
  std::string body;
  long status;
  const char* body_part;
};

TEST_F(CurlHttpTest, StatusIsRecordedButTheAnswerStillCounts) {
  const std::string key = std::string("key=") + kKey;
  const std::vector<StatusCase> cases = {
      {"unknown place", "/v1/current.json", key + "&q=Atlantis&aqi=yes", 400,
       R"({"error":{"code":1006,"message":"No matching location found."}})"},
      {"wrong key", "/v1/current.json", "key=0000&q=London&aqi=yes", 401,
       R"({"error":{"code":2006,"message":"API key is invalid."}})"},
      {"missing key", "/v1/search.json", "q=London", 401,
       R"({"error":{"code":1002,"message":"API key is invalid or not provided."}})"},
      {"unknown path", "/nothing/here", "", 404, "404 Not Found"},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    const HttpResponse answer = client_.Perform(Post(service_.Url(c.path), c.body));
    EXPECT_TRUE(answer.completed);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_THAT(answer.body, HasSubstr(c.body_part));
  }
}

TEST_F(CurlHttpTest, BatchAnswersComeInListOrderWhateverOrderTheyFinish) {
  // The version file drips out slowly, so the first request finishes last.
  service_.Admin("fault", R"({"kind":"drip","interval_ms":150,"permanent":true,
                              "path":"/projects/skyvigilversion.txt"})");
  service_.Admin("fault", R"({"kind":"close","permanent":true,"path":"/v1/search.json"})");
  const std::string key = std::string("key=") + kKey;
  const std::vector<HttpRequest> requests = {
      Get(service_.Url("/projects/skyvigilversion.txt")),
      Post(Weather("current.json"), key + "&q=Tokyo&aqi=yes"),
      Post(Weather("search.json"), key + "&q=Lon"),
      Post(Weather("current.json"), key + "&q=10001&aqi=yes"),
      Post(Weather("forecast.json"), key + "&q=Berlin&days=2&alerts=yes"),
      Post(Weather("current.json"), key + "&q=Nowhere&aqi=yes"),
  };
  const std::vector<HttpResponse> answers = client_.PerformBatch(requests);

  ASSERT_EQ(answers.size(), requests.size());
  EXPECT_TRUE(answers[0].completed);
  EXPECT_EQ(answers[0].body, "0.36");
  EXPECT_EQ(LocationName(answers[1]), "Tokyo");
  EXPECT_FALSE(answers[2].completed);
  EXPECT_EQ(answers[2].status, 0);
  EXPECT_EQ(LocationName(answers[3]), "New York");
  EXPECT_EQ(LocationName(answers[4]), "Berlin");
  EXPECT_EQ(answers[5].status, 400);
  EXPECT_EQ(service_.Log().size(), requests.size());
}

TEST_F(CurlHttpTest, BatchRunsConcurrently) {
  service_.Admin("delay", R"({"ms":300})");
  const std::string key = std::string("key=") + kKey;
  std::vector<HttpRequest> requests;
  for (const char* city :
       {"London", "Paris", "Tokyo", "Sydney", "Toronto", "Berlin", "Mumbai", "10001", "2000",
        "75001", "8001", "400001", "SW1A 1AA", "10115", "M5H 2N2", "100-0001"}) {
    requests.push_back(Post(Weather("current.json"), key + "&q=" + city + "&aqi=yes"));
  }
  const Clock::time_point start = Clock::now();
  const std::vector<HttpResponse> answers = client_.PerformBatch(requests);
  const double seconds = SecondsSince(start);

  ASSERT_EQ(answers.size(), 16u);
  for (const HttpResponse& answer : answers)
    EXPECT_TRUE(answer.completed);
  EXPECT_EQ(LocationName(answers[7]), "New York");
  EXPECT_EQ(LocationName(answers[15]), "Tokyo");
  // One by one this takes 16 x 0.3 s = 4.8 s.
  EXPECT_LT(seconds, 2.4);
}

TEST_F(CurlHttpTest, EmptyBatchGivesNoAnswers) {
  EXPECT_THAT(client_.PerformBatch({}), IsEmpty());
  EXPECT_THAT(service_.Log(), IsEmpty());
}

TEST_F(CurlHttpTest, NonJsonBodyIsDeliveredAsIs) {
  service_.Admin("fault", R"({"kind":"non_json"})");
  const HttpResponse answer = client_.Perform(Post(Weather("current.json"), "q=London"));
  EXPECT_TRUE(answer.completed);
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body,
            "<html><head><title>502 Bad Gateway</title></head><body>Bad Gateway</body></html>");
}

TEST_F(CurlHttpTest, TruncatedBodyIsAFailedTransfer) {
  service_.Admin("fault", R"({"kind":"truncated"})");
  const HttpResponse answer = client_.Perform(
      Post(Weather("current.json"), std::string("key=") + kKey + "&q=London&aqi=yes"));
  EXPECT_FALSE(answer.completed);
  EXPECT_EQ(answer.status, 200);
  // Whatever part arrived is kept, but it is no complete answer.
  EXPECT_THAT(answer.body, ::testing::StartsWith(R"({"location":{"name":"London")"));
}

struct SizeCase {
  const char* name;
  std::size_t size;
  bool with_length;
  bool completed;
};

TEST_F(CurlHttpTest, BodiesAreCappedAtEightMebibytes) {
  constexpr std::size_t kCap = 8u << 20;
  const std::vector<SizeCase> cases = {
      {"exactly the cap, length given", kCap, true, true},
      {"exactly the cap, until close", kCap, false, true},
      {"one byte over, length given", kCap + 1, true, false},
      {"one byte over, until close", kCap + 1, false, false},
      {"nine mebibytes, length given", 9u << 20, true, false},
      {"nine mebibytes, until close", 9u << 20, false, false},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.name);
    nlohmann::json fault = {{"kind", "oversize"}, {"size", c.size}, {"length", c.with_length}};
    service_.Admin("fault", fault.dump());
    const HttpResponse answer = client_.Perform(Post(Weather("current.json"), "q=x"));
    EXPECT_EQ(answer.completed, c.completed);
    if (c.completed) {
      EXPECT_EQ(answer.body.size(), c.size);
      EXPECT_EQ(answer.body.substr(0, 13), R"({"location": )");
    } else {
      EXPECT_THAT(answer.body, IsEmpty());
    }
  }
}

TEST_F(CurlHttpTest, SlowDripHitsTheTransferTimeout) {
  service_.Admin("fault", R"({"kind":"drip","interval_ms":1000})");
  CurlHttpClient client(Short(1500));
  const Clock::time_point start = Clock::now();
  const HttpResponse answer = client.Perform(Post(Weather("current.json"), "q=London"));
  EXPECT_FALSE(answer.completed);
  EXPECT_GE(SecondsSince(start), 1.4);
  EXPECT_LT(SecondsSince(start), 4.0);
}

TEST_F(CurlHttpTest, ServiceThatNeverAnswersHitsTheTransferTimeout) {
  service_.Admin("fault", R"({"kind":"hang"})");
  CurlHttpClient client(Short(800));
  const Clock::time_point start = Clock::now();
  const HttpResponse answer = client.Perform(Post(Weather("current.json"), "q=London"));
  EXPECT_FALSE(answer.completed);
  EXPECT_EQ(answer.status, 0);
  EXPECT_THAT(answer.body, IsEmpty());
  EXPECT_LT(SecondsSince(start), 3.0);
}

TEST_F(CurlHttpTest, ClosedConnectionIsAFailedTransfer) {
  service_.Admin("fault", R"({"kind":"close"})");
  const HttpResponse answer = client_.Perform(Post(Weather("current.json"), "q=London"));
  EXPECT_FALSE(answer.completed);
  EXPECT_EQ(answer.status, 0);
  EXPECT_THAT(answer.body, IsEmpty());
}

TEST_F(CurlHttpTest, RefusedConnectionIsAFailedTransfer) {
  // A port that was free a moment ago: nothing listens there.
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  socklen_t length = sizeof address;
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(probe);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  const HttpResponse answer = client_.Perform(Get(url));
  EXPECT_FALSE(answer.completed);
  EXPECT_EQ(answer.status, 0);
}

TEST_F(CurlHttpTest, ConnectionSetUpHasItsOwnTimeout) {
  // A listener whose accept queue is full drops further connection attempts.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::vector<int> fillers;
  for (int i = 0; i < 3; ++i) {
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(filler);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  CurlHttpOptions options;
  options.connect_timeout_ms = 500;
  options.transfer_timeout_ms = 10000;
  CurlHttpClient client(options);
  const Clock::time_point start = Clock::now();
  const HttpResponse answer =
      client.Perform(Get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/"));
  const double seconds = SecondsSince(start);
  for (int filler : fillers)
    ::close(filler);
  ::close(listener);

  EXPECT_FALSE(answer.completed);
  EXPECT_GE(seconds, 0.4);
  EXPECT_LT(seconds, 3.0);
}

TEST_F(CurlHttpTest, RedirectKeepsPostFor307And308) {
  for (const char* status : {"307", "308"}) {
    SCOPED_TRACE(status);
    service_.ClearLog();
    service_.Admin("fault", std::string(R"({"kind":"redirect","status":)") + status +
                                R"(,"location":"/v1/current.json","path":"/v1/forecast.json"})");
    const std::string body = std::string("key=") + kKey + "&q=Paris&aqi=yes";
    const HttpResponse answer = client_.Perform(Post(Weather("forecast.json"), body));

    EXPECT_TRUE(answer.completed);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(LocationName(answer), "Paris");
    const std::vector<LoggedRequest> log = service_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].method, "POST");
    EXPECT_EQ(log[1].path, "/v1/current.json");
    EXPECT_EQ(log[1].body, body);
    EXPECT_EQ(Header(log[1], "User-Agent"), kUserAgent);
  }
}

TEST_F(CurlHttpTest, RedirectTurnsPostIntoGetFor301To303) {
  for (const char* status : {"301", "302", "303"}) {
    SCOPED_TRACE(status);
    service_.ClearLog();
    service_.Admin("fault", std::string(R"({"kind":"redirect","status":)") + status +
                                R"(,"location":")" + service_.Url("/projects/skyvigilversion.txt") +
                                R"("})");
    const HttpResponse answer = client_.Perform(Post(Weather("current.json"), "q=London"));

    EXPECT_TRUE(answer.completed);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "0.36");
    const std::vector<LoggedRequest> log = service_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].method, "GET");
    EXPECT_EQ(log[1].path, "/projects/skyvigilversion.txt");
    EXPECT_EQ(log[1].body, "");
  }
}

// 0.0.0.0 is no loopback address, yet on Linux a connection to it reaches the
// local service: the rule, not the network, must stop these requests.
std::string AnyAddressUrl(const LocalService& service, const std::string& path) {
  return "http://0.0.0.0:" + std::to_string(service.port()) + path;
}

TEST_F(CurlHttpTest, AnyAddressWouldReachTheServiceWithoutTheRule) {
  std::string body;
  CURL* easy = curl_easy_init();
  const std::string url = AnyAddressUrl(service_, "/projects/skyvigilversion.txt");
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

TEST_F(CurlHttpTest, PlainHttpToANonLoopbackHostIsNeverSent) {
  const std::vector<HttpResponse> answers = client_.PerformBatch(
      {Post(AnyAddressUrl(service_, "/v1/current.json"), std::string("key=") + kKey + "&q=Paris"),
       Get(service_.Url("/projects/skyvigilversion.txt"))});
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_FALSE(answers[0].completed);
  EXPECT_EQ(answers[0].status, 0);
  EXPECT_THAT(answers[0].body, IsEmpty());
  EXPECT_TRUE(answers[1].completed);
  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].path, "/projects/skyvigilversion.txt");
}

TEST_F(CurlHttpTest, RedirectFromLoopbackToPlainHttpElsewhereIsRefused) {
  for (const char* status : {"302", "307"}) {
    SCOPED_TRACE(status);
    service_.ClearLog();
    service_.Admin("fault", std::string(R"({"kind":"redirect","status":)") + status +
                                R"(,"location":")" + AnyAddressUrl(service_, "/v1/current.json") +
                                R"(","path":"/v1/forecast.json"})");
    const HttpResponse answer = client_.Perform(
        Post(Weather("forecast.json"), std::string("key=") + kKey + "&q=Paris&aqi=yes"));
    EXPECT_FALSE(answer.completed);
    const std::vector<LoggedRequest> log = service_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].path, "/v1/forecast.json");
  }
}

TEST_F(CurlHttpTest, RedirectToAnotherLoopbackAddressIsFollowed) {
  service_.Admin("fault", R"({"kind":"redirect","location":"http://localhost:)" +
                              std::to_string(service_.port()) +
                              R"(/projects/skyvigilversion.txt","status":302})");
  const HttpResponse answer = client_.Perform(Get(service_.Url("/softs/Skyvigil.zip")));
  EXPECT_TRUE(answer.completed);
  EXPECT_EQ(answer.body, "0.36");
}

struct LoopCase {
  int max_redirects;
  int redirects;  // how many hops the service redirects before answering
  bool completed;
};

TEST_F(CurlHttpTest, RedirectsAreLimited) {
  const std::vector<LoopCase> cases = {
      {10, 10, true}, {10, 11, false}, {10, 1000, false},
      {3, 3, true},   {3, 4, false},   {0, 1, false},
  };
  for (const LoopCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.max_redirects << " allowed, " << c.redirects);
    service_.Admin("reset");
    nlohmann::json fault = {{"kind", "redirect"},
                            {"location", "/projects/skyvigilversion.txt"},
                            {"status", 302},
                            {"count", c.redirects}};
    service_.Admin("fault", fault.dump());
    CurlHttpOptions options;
    options.max_redirects = c.max_redirects;
    CurlHttpClient client(options);
    const HttpResponse answer = client.Perform(Get(service_.Url("/projects/skyvigilversion.txt")));

    EXPECT_EQ(answer.completed, c.completed);
    if (c.completed) {
      EXPECT_EQ(answer.body, "0.36");
    }
    const size_t requests = static_cast<size_t>(std::min(c.redirects, c.max_redirects) + 1);
    EXPECT_EQ(service_.Log().size(), requests);
  }
}

TEST_F(CurlHttpTest, RedirectsShareOneTransferTimeout) {
  // Five hops of 400 ms each: every hop is short, the whole chain is not.
  service_.Admin("delay", R"({"ms":400})");
  service_.Admin("fault", R"({"kind":"redirect","location":"/projects/skyvigilversion.txt",
                              "status":302,"count":5})");
  CurlHttpClient client(Short(1200));
  const Clock::time_point start = Clock::now();
  const HttpResponse answer = client.Perform(Get(service_.Url("/projects/skyvigilversion.txt")));
  EXPECT_FALSE(answer.completed);
  EXPECT_LT(SecondsSince(start), 2.0);
}

TEST_F(CurlHttpTest, DownloadWritesExactlyTheArchiveBytes) {
  std::string archive;
  for (unsigned i = 0; i < 300000; ++i)
    archive.push_back(static_cast<char>((i * 7919u) % 251u));
  // The control interface takes binary bytes as base64.
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  for (size_t i = 0; i < archive.size(); i += 3) {
    const auto byte = [&](size_t k) {
      return k < archive.size() ? static_cast<unsigned char>(archive[k]) : 0u;
    };
    const unsigned triple = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
    encoded += kAlphabet[(triple >> 18) & 63];
    encoded += kAlphabet[(triple >> 12) & 63];
    encoded += i + 1 < archive.size() ? kAlphabet[(triple >> 6) & 63] : '=';
    encoded += i + 2 < archive.size() ? kAlphabet[triple & 63] : '=';
  }
  service_.Admin("archive", nlohmann::json{{"base64", encoded}}.dump());

  TempFolder folder;
  const std::filesystem::path target = folder.path() / "Skyvigil.zip";
  {
    std::ofstream old(target, std::ios::binary);
    old << "an older archive";
  }
  EXPECT_TRUE(client_.Download(service_.Url("/softs/Skyvigil.zip"), target));
  const std::string written = FileBytes(target);
  EXPECT_EQ(written.size(), archive.size());
  EXPECT_TRUE(written == archive);  // no diff print for 300 kB of binary
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("Skyvigil.zip"));
  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].path, "/softs/Skyvigil.zip");
  EXPECT_EQ(Header(log[0], "User-Agent"), kUserAgent);
}

TEST_F(CurlHttpTest, DownloadKeepsOnlyTheFinalBodyAfterRedirects) {
  service_.Admin("archive", R"({"text":"PK archive"})");
  service_.Admin("fault", R"({"kind":"redirect","location":"/softs/Skyvigil.zip",
                              "status":302,"count":2})");
  TempFolder folder;
  const std::filesystem::path target = folder.path() / "Skyvigil.zip";
  EXPECT_TRUE(client_.Download(service_.Url("/softs/Skyvigil.zip"), target));
  EXPECT_EQ(FileBytes(target), "PK archive");
}

TEST_F(CurlHttpTest, DownloadDoesNotJudgeTheStatus) {
  TempFolder folder;
  const std::filesystem::path target = folder.path() / "Skyvigil.zip";
  EXPECT_TRUE(client_.Download(service_.Url("/softs/missing.zip"), target));
  EXPECT_EQ(FileBytes(target), "<html><body><h1>404 Not Found</h1></body></html>");
}

struct DownloadFailure {
  const char* name;
  std::string fault;
  long transfer_ms;
};

TEST_F(CurlHttpTest, FailedDownloadLeavesNoFile) {
  const std::vector<DownloadFailure> cases = {
      {"truncated", R"({"kind":"truncated"})", 5000},
      {"closed", R"({"kind":"close"})", 5000},
      {"slow drip", R"({"kind":"drip","interval_ms":500})", 1000},
      {"no answer", R"({"kind":"hang"})", 800},
      {"redirect loop", R"({"kind":"redirect","location":"/softs/Skyvigil.zip","permanent":true})",
       5000},
      {"redirect off loopback",
       R"({"kind":"redirect","location":"http://0.0.0.0:)" + std::to_string(service_.port()) +
           R"(/softs/Skyvigil.zip"})",
       5000},
  };
  for (const DownloadFailure& c : cases) {
    SCOPED_TRACE(c.name);
    service_.Admin("reset");
    service_.Admin("fault", c.fault);
    TempFolder folder;
    const std::filesystem::path target = folder.path() / "Skyvigil.zip";
    {
      std::ofstream old(target, std::ios::binary);
      old << "an older archive";
    }
    CurlHttpClient client(Short(c.transfer_ms));
    EXPECT_FALSE(client.Download(service_.Url("/softs/Skyvigil.zip"), target));
    EXPECT_THAT(FolderEntries(folder.path()), IsEmpty());
  }
}

TEST_F(CurlHttpTest, DownloadOverPlainHttpElsewhereIsNeverSent) {
  TempFolder folder;
  const std::filesystem::path target = folder.path() / "Skyvigil.zip";
  EXPECT_FALSE(client_.Download(AnyAddressUrl(service_, "/softs/Skyvigil.zip"), target));
  EXPECT_THAT(FolderEntries(folder.path()), IsEmpty());
  EXPECT_THAT(service_.Log(), IsEmpty());
}

TEST_F(CurlHttpTest, DownloadIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(client_.Download(service_.Url("/softs/Skyvigil.zip"),
                                folder.path() / "no-such-folder" / "Skyvigil.zip"));
  EXPECT_THAT(FolderEntries(folder.path()), IsEmpty());
}

TEST_F(CurlHttpTest, OneClientServesTwoThreadsAtOnce) {
  service_.Admin("delay", R"({"ms":50})");
  service_.Admin("archive", R"({"text":"archive bytes"})");
  TempFolder folder;
  const std::filesystem::path target = folder.path() / "Skyvigil.zip";
  const std::string key = std::string("key=") + kKey;

  auto update_thread = std::async(std::launch::async, [&] {
    bool all = true;
    for (int i = 0; i < 5; ++i) {
      all = client_.Download(service_.Url("/softs/Skyvigil.zip"), target) && all;
      all =
          client_.Perform(Get(service_.Url("/projects/skyvigilversion.txt"))).body == "0.36" && all;
    }
    return all;
  });
  for (int i = 0; i < 5; ++i) {
    const std::vector<HttpResponse> answers =
        client_.PerformBatch({Post(Weather("current.json"), key + "&q=Sydney&aqi=yes"),
                              Post(Weather("current.json"), key + "&q=Toronto&aqi=yes")});
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(LocationName(answers[0]), "Sydney");
    EXPECT_EQ(LocationName(answers[1]), "Toronto");
  }
  EXPECT_TRUE(update_thread.get());
  EXPECT_EQ(FileBytes(target), "archive bytes");
}

}  // namespace
}  // namespace skyvigil
