// Whom the WinHTTP client gives the user's logon; its behaviour is the HTTP
// contract suite's.
#include <windows.h>
#include <winhttp.h>

#include <gtest/gtest.h>

#include "platform/win32/winhttp_client.h"

namespace skyvigil {
namespace {

struct Challenge {
  const char* name;
  unsigned long target;
  unsigned long supported;
  unsigned long answered;
};

void PrintTo(const Challenge& challenge, std::ostream* out) {
  *out << challenge.name;
}

constexpr unsigned long kNegotiate = WINHTTP_AUTH_SCHEME_NEGOTIATE;
constexpr unsigned long kNtlm = WINHTTP_AUTH_SCHEME_NTLM;
constexpr unsigned long kBasic = WINHTTP_AUTH_SCHEME_BASIC;
constexpr unsigned long kDigest = WINHTTP_AUTH_SCHEME_DIGEST;

const Challenge kChallenges[] = {
    {"ProxyNegotiate", WINHTTP_AUTH_TARGET_PROXY, kNegotiate, kNegotiate},
    {"ProxyNtlm", WINHTTP_AUTH_TARGET_PROXY, kNtlm, kNtlm},
    {"ProxyAllPrefersNegotiate", WINHTTP_AUTH_TARGET_PROXY, kBasic | kDigest | kNtlm | kNegotiate,
     kNegotiate},
    {"ProxyBasicAndNtlm", WINHTTP_AUTH_TARGET_PROXY, kBasic | kNtlm, kNtlm},
    {"ProxyBasicOnly", WINHTTP_AUTH_TARGET_PROXY, kBasic, 0},
    {"ProxyDigestOnly", WINHTTP_AUTH_TARGET_PROXY, kDigest, 0},
    {"ServerNegotiate", WINHTTP_AUTH_TARGET_SERVER, kNegotiate, 0},
    {"ServerNtlm", WINHTTP_AUTH_TARGET_SERVER, kNtlm | kBasic, 0},
};

class ProxyLogonSchemeTest : public ::testing::TestWithParam<Challenge> {};

TEST_P(ProxyLogonSchemeTest, OnlyAProxyGetsTheLogon) {
  const Challenge& c = GetParam();
  EXPECT_EQ(ProxyLogonScheme(c.target, c.supported), c.answered);
}

INSTANTIATE_TEST_SUITE_P(Challenges, ProxyLogonSchemeTest, ::testing::ValuesIn(kChallenges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil
