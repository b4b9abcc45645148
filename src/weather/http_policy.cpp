// The HTTP rules both clients share.
#include "weather/http_policy.h"

namespace skyvigil {

bool IsRedirectStatus(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

HttpRequest::Method MethodAfterRedirect(HttpRequest::Method method, long status) {
  if (status == 307 || status == 308)
    return method;
  return HttpRequest::Method::get;
}

bool IsSuccessStatus(long status) {
  return status >= 200 && status <= 299;
}

}  // namespace skyvigil
