// Which addresses may be fetched, and where a redirect leads.
#include "weather/address_rule.h"

#include <gtest/gtest.h>

#include <ostream>

namespace skyvigil {
namespace {

struct AddressCase {
  const char* url;
  bool allowed;
};

void PrintTo(const AddressCase& c, std::ostream* out) {
  *out << '"' << c.url << '"';
}

class AllowedAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AllowedAddressTest, HttpsEverywhereHttpOnlyOnLoopback) {
  EXPECT_EQ(IsAllowedAddress(GetParam().url), GetParam().allowed) << GetParam().url;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AllowedAddressTest,
    ::testing::Values(
        AddressCase{"https://api.weatherapi.com/v1/current.json", true},
        AddressCase{"https://10.1.2.3:8443/x", true}, AddressCase{"HTTPS://Example.COM/", true},
        AddressCase{"http://127.0.0.1:8080/v1", true}, AddressCase{"http://127.255.254.1/", true},
        AddressCase{"http://localhost:1234/x", true}, AddressCase{"http://LocalHost/x", true},
        AddressCase{"http://[::1]:8080/x", true}, AddressCase{"http://0.0.0.0:8080/", false},
        AddressCase{"http://128.0.0.1/", false}, AddressCase{"http://126.255.255.255/", false},
        AddressCase{"http://10.0.0.1/", false}, AddressCase{"http://[::2]/", false},
        AddressCase{"http://[::ffff:10.0.0.1]/", false},
        AddressCase{"http://api.weatherapi.com/v1", false},
        AddressCase{"http://localhost.example.com/", false},
        AddressCase{"http://127.0.0.1.example.com/", false},
        AddressCase{"ftp://127.0.0.1/file", false}, AddressCase{"file:///etc/passwd", false},
        AddressCase{"127.0.0.1/v1", false}, AddressCase{"", false}));
INSTANTIATE_TEST_SUITE_P(
    Spellings, AllowedAddressTest,
    ::testing::Values(AddressCase{"http://[0:0:0:0:0:0:0:1]/", true},
                      AddressCase{"http://[::0:1]/", true}, AddressCase{"http://[::]/", false},
                      AddressCase{"http://[::1/", false}, AddressCase{"http://127.1/", false},
                      AddressCase{"http://0127.0.0.1/", false},
                      AddressCase{"http://127.0.0.256/", false},
                      AddressCase{"http://127.0.0.1@evil.example/", false},
                      AddressCase{"http://evil.example#@127.0.0.1/", false},
                      AddressCase{"http://127.0.0.1\\@evil.example/", false},
                      AddressCase{"http://user:pw@127.0.0.1:80/", true},
                      AddressCase{"http://127.0.0.1:8x/", false}, AddressCase{"https:///x", false},
                      AddressCase{"https://exa mple.com/", false},
                      AddressCase{"https:example.com", false}));

TEST(ResolveRedirectTest, EveryKindOfReference) {
  const struct {
    const char* location;
    const char* expected;
  } cases[] = {
      {"https://other.example/x?y", "https://other.example/x?y"},
      {"//cdn.example/a", "https://cdn.example/a"},
      {"/softs/Skyvigil.zip", "https://host.example:8443/softs/Skyvigil.zip"},
      {"/a/./b/../c?q=1", "https://host.example:8443/a/c?q=1"},
      {"next.txt", "https://host.example:8443/v1/next.txt"},
      {"../up.txt", "https://host.example:8443/up.txt"},
      {"../../../top", "https://host.example:8443/top"},
      {"?page=2", "https://host.example:8443/v1/current.json?page=2"},
      {"", "https://host.example:8443/v1/current.json?key=k"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveRedirect("https://host.example:8443/v1/current.json?key=k", c.location),
              c.expected)
        << c.location;
  }
  EXPECT_EQ(ResolveRedirect("not an address", "/x"), "");
}

}  // namespace
}  // namespace skyvigil
