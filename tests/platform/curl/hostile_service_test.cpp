// The weather requests against a hostile or broken service, through the real
// libcurl client: whatever comes back, a city's record keeps its previous
// values and the process's memory stays bounded.
#include <arpa/inet.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fakes/local_service.h"
#include "fakes/temp_dir.h"
#include "platform/curl/http_curl.h"
#include "weather/record_json.h"
#include "weather/records.h"
#include "weather/service_config.h"
#include "weather/service_requests.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;
using testing::LocalService;
using Clock = std::chrono::steady_clock;

constexpr char kKey[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f";
// Resident memory a fetch may add. AddressSanitizer keeps freed blocks in its
// quarantine, so there the body's growth steps (up to 16 MiB) stay resident.
#if defined(__SANITIZE_ADDRESS__)
#define SKYVIGIL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYVIGIL_ASAN 1
#endif
#endif
#ifdef SKYVIGIL_ASAN
constexpr long kMemoryBound = 40L << 20;
#else
constexpr long kMemoryBound = 20L << 20;
#endif

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Resident memory of this process, in bytes.
long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * ::sysconf(_SC_PAGESIZE);
}

// What a city's record holds from the refresh before.
currentWeather EarlierWeather() {
  currentWeather weather;
  weather.last_updated = "2024-07-09 11:45";
  weather.last_updated_epoch = 1720525500;
  weather.temp_c = 16;
  weather.temp_f = 60.8;
  weather.condition = {"Light rain", "//cdn.weatherapi.com/weather/64x64/day/296.png", 1183};
  weather.humidity = 82;
  weather.location = {51.52,
                      -0.11,
                      "London",
                      "City of London, Greater London",
                      "United Kingdom",
                      "Europe/London",
                      1720526400,
                      "2024-07-09 13:00"};
  weather.aqi.pm2_5 = 6.8f;
  weather.aqi.us_epa_index = 1;
  return weather;
}

std::string Text(const currentWeather& weather) {
  return RecordListJsonText(std::vector<currentWeather>{weather});
}

// One fetch into a record that holds the earlier weather; checks that the
// record is unchanged and that resident memory grew by less than the bound.
void ExpectFetchChangesNothing(HttpClient& client, const ServiceConfig& config) {
  currentWeather weather = EarlierWeather();
  const long before = ResidentBytes();
  FetchCurrentWeather(client, config, "London", weather);
  const long growth = ResidentBytes() - before;
  EXPECT_EQ(Text(weather), Text(EarlierWeather()));
  EXPECT_LT(growth, kMemoryBound) << "resident memory grew by " << growth << " bytes";
}

class HostileServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.running());
    config_ = {service_.BaseAddress(), kKey, ""};
  }

  LocalService service_{testing::kServiceScript};
  ServiceConfig config_;
};

TEST_F(HostileServiceTest, EveryFaultKeepsTheRecordAndMemoryBounded) {
  const std::string port = std::to_string(service_.port());
  const struct {
    const char* name;
    std::string fault;
  } cases[] = {
      {"not JSON", R"({"kind":"non_json"})"},
      {"status 500 with an HTML page",
       R"({"kind":"raw","status":500,"content_type":"text/html",
           "body":"<html><body><h1>500 Internal Server Error</h1></body></html>"})"},
      {"truncated", R"({"kind":"truncated"})"},
      {"1 GiB with its length", R"({"kind":"oversize","size":1073741824})"},
      {"1 GiB until close", R"({"kind":"oversize","size":1073741824,"length":false})"},
      {"one byte a second", R"({"kind":"drip","interval_ms":1000})"},
      {"redirect to plain http elsewhere",
       R"({"kind":"redirect","location":"http://0.0.0.0:)" + port + R"(/v1/current.json"})"},
      {"redirect loop", R"({"kind":"redirect","location":"/v1/current.json","permanent":true})"},
      {"closed connection", R"({"kind":"close"})"},
      {"never answers", R"({"kind":"hang"})"},
  };
  HttpLimits limits;
  limits.connect_timeout_ms = 1000;
  limits.transfer_timeout_ms = 2000;
  CurlHttpClient client(limits);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    service_.Admin("reset");
    service_.Admin("fault", c.fault);
    const Clock::time_point start = Clock::now();
    ExpectFetchChangesNothing(client, config_);
    // Nothing outlasts the transfer time-out.
    EXPECT_LT(SecondsSince(start), 4.0);
  }

  // The same client still fetches a good answer afterwards.
  service_.Admin("reset");
  currentWeather weather = EarlierWeather();
  FetchCurrentWeather(client, config_, "Paris", weather);
  EXPECT_EQ(weather.location.name, "Paris");
}

// A server that answers one request with a body of `size` bytes (a small JSON
// object padded with blanks) and counts how much of it it managed to send
// before the client hung up.
class StreamingServer {
 public:
  StreamingServer(uint64_t size, bool with_length) : size_(size), with_length_(with_length) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0) {
      return;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~StreamingServer() { Finish(); }

  int port() const { return port_; }

  // Waits until the server has stopped sending; returns the body bytes sent.
  uint64_t Finish() {
    if (thread_.joinable())
      thread_.join();
    if (listener_ >= 0)
      ::close(listener_);
    listener_ = -1;
    return sent_;
  }

 private:
  void Serve() {
    pollfd watch{listener_, POLLIN, 0};
    if (::poll(&watch, 1, 10000) != 1)
      return;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
      return;
    // A client that stops reading without hanging up must not stall the test.
    timeval limit{10, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
      if (n <= 0)
        break;
      request.append(buffer, static_cast<size_t>(n));
    }
    std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
    head += with_length_ ? "Content-Length: " + std::to_string(size_) + "\r\n"
                         : std::string("Connection: close\r\n");
    head += "\r\n";
    std::string body = R"({"current":{"temp_f":99.5,"condition":{"text":"Oversize"}}})";
    ::send(connection, head.data(), head.size(), MSG_NOSIGNAL);
    const std::string blanks(65536, ' ');
    uint64_t left = size_;
    while (left > 0) {
      const std::string& piece = body.empty() ? blanks : body;
      const size_t length = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
      const ssize_t n = ::send(connection, piece.data(), length, MSG_NOSIGNAL);
      if (n <= 0)
        break;
      sent_ += static_cast<uint64_t>(n);
      left -= static_cast<uint64_t>(n);
      body.clear();
    }
    ::close(connection);
  }

  uint64_t size_;
  bool with_length_;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::atomic<uint64_t> sent_{0};
};

TEST(GigabyteAnswerTest, ClientHangsUpSoonAfterTheCap) {
  constexpr uint64_t kGigabyte = 1ull << 30;
  for (const bool with_length : {true, false}) {
    SCOPED_TRACE(with_length ? "with its length" : "until close");
    StreamingServer server(kGigabyte, with_length);
    ASSERT_GT(server.port(), 0);
    CurlHttpClient client;  // the service's own limits: 20 s for the whole transfer
    const ServiceConfig config{"http://127.0.0.1:" + std::to_string(server.port()) + "/v1", kKey,
                               ""};
    const Clock::time_point start = Clock::now();
    ExpectFetchChangesNothing(client, config);
    const double seconds = SecondsSince(start);
    const uint64_t sent = server.Finish();
    // The client stops at 8 MiB; what the sockets buffered on top stays far
    // below the gigabyte.
    EXPECT_LT(sent, 64ull << 20) << "the server got " << sent << " bytes out";
    EXPECT_LT(seconds, 5.0);
  }
}

// ---- TLS ----

size_t Collect(char* data, size_t one, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, one * count);
  return one * count;
}

// Fetches `url` with certificate checks switched off: proof that the server
// itself answers and only its certificate is wrong.
std::string FetchWithoutVerification(const std::string& url) {
  std::string body;
  CURL* easy = curl_easy_init();
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 5000L);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "q=London");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  const CURLcode result = curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  return result == CURLE_OK ? body : "";
}

TEST(SelfSignedTlsTest, UntrustedCertificateKeepsTheRecord) {
  platform_test::TempDir folder;
  ASSERT_FALSE(folder.path().empty());
  const fs::path cert = folder.path() / "cert.pem";
  const fs::path key = folder.path() / "key.pem";
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
      " -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout '" +
      key.string() + "' -out '" + cert.string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0)
    GTEST_SKIP() << "openssl could not make a self-signed certificate";

  const std::string script =
      (fs::path(SKYVIGIL_TEST_DATA).parent_path() / "tools" / "tls_service.py").string();
  LocalService server(script, {"--cert", cert.string(), "--key", key.string()});
  ASSERT_TRUE(server.running());
  const std::string base = "https://127.0.0.1:" + std::to_string(server.port()) + "/v1";
  ASSERT_NE(FetchWithoutVerification(base + "/current.json").find("Selfsigned"), std::string::npos);

  HttpLimits limits;
  limits.connect_timeout_ms = 2000;
  limits.transfer_timeout_ms = 5000;
  CurlHttpClient client(limits);
  const ServiceConfig config{base, kKey, ""};
  const Clock::time_point start = Clock::now();
  ExpectFetchChangesNothing(client, config);
  EXPECT_LT(SecondsSince(start), 3.0);

  // The same through the name the certificate also carries.
  const ServiceConfig by_name{"https://localhost:" + std::to_string(server.port()) + "/v1", kKey,
                              ""};
  ExpectFetchChangesNothing(client, by_name);
}

}  // namespace
}  // namespace skyvigil
