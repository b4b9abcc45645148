// The HTTP rules both clients read; the contract suite checks them on the wire.
#include "weather/http_policy.h"

#include <gtest/gtest.h>

namespace skyvigil {
namespace {

using Method = HttpRequest::Method;

TEST(HttpPolicyTest, RedirectsAndTheMethodOfTheNextHop) {
  const struct {
    long status;
    bool followed;
    Method after_post;
  } cases[] = {
      {200, false, Method::get}, {300, false, Method::get}, {301, true, Method::get},
      {302, true, Method::get},  {303, true, Method::get},  {304, false, Method::get},
      {305, false, Method::get}, {306, false, Method::get}, {307, true, Method::post},
      {308, true, Method::post}, {309, false, Method::get}, {404, false, Method::get},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(IsRedirectStatus(c.status), c.followed);
    if (c.followed) {
      EXPECT_EQ(MethodAfterRedirect(Method::post, c.status), c.after_post);
      EXPECT_EQ(MethodAfterRedirect(Method::get, c.status), Method::get);
    }
  }
}

TEST(HttpPolicyTest, ADownloadKeepsTheBodyOf2xxOnly) {
  const struct {
    long status;
    bool kept;
  } cases[] = {{0, false},  {100, false}, {199, false}, {200, true},  {201, true},  {204, true},
               {299, true}, {300, false}, {302, false}, {404, false}, {500, false}, {-200, false}};
  for (const auto& c : cases)
    EXPECT_EQ(IsSuccessStatus(c.status), c.kept) << c.status;
}

}  // namespace
}  // namespace skyvigil
