// What a service answer says about the service and the key.
#include "weather/service_status.h"

#include <gtest/gtest.h>

namespace skyvigil {
namespace {

HttpResponse Answer(long status, const std::string& body, bool completed = true) {
  return {completed, status, body};
}

std::string Error(int code, const std::string& message) {
  return R"({"error":{"code":)" + std::to_string(code) + R"(,"message":")" + message + R"("}})";
}

TEST(ServiceStatus, AnswersAreClassifiedByTransferStatusAndErrorCode) {
  struct Case {
    const char* label;
    HttpResponse answer;
    ServiceProblem problem;
  };
  const Case cases[] = {
      {"weather", Answer(200, R"({"current":{}})"), ServiceProblem::none},
      {"search list", Answer(200, "[]"), ServiceProblem::none},
      {"no connection", Answer(0, "", false), ServiceProblem::unreachable},
      {"cut short", Answer(200, R"({"curr)", false), ServiceProblem::unreachable},
      {"html error page", Answer(500, "<html></html>"), ServiceProblem::unreachable},
      {"not json with 200", Answer(200, "hello"), ServiceProblem::unreachable},
      {"at the cap", Answer(200, "[" + std::string(kMaxServiceAnswerBytes - 2, ' ') + "]"),
       ServiceProblem::none},
      {"past the cap", Answer(200, "[" + std::string(kMaxServiceAnswerBytes - 1, ' ') + "]"),
       ServiceProblem::unreachable},
      {"unknown place", Answer(400, Error(1006, "No matching location found.")),
       ServiceProblem::unknown_place},
      {"key missing", Answer(401, Error(1002, "API key is invalid or not provided.")),
       ServiceProblem::key_refused},
      {"key invalid", Answer(401, Error(2006, "API key is invalid.")), ServiceProblem::key_refused},
      {"quota", Answer(403, Error(2007, "API key has exceeded calls per month quota.")),
       ServiceProblem::quota_used},
      {"disabled", Answer(403, Error(2008, "API key has been disabled.")),
       ServiceProblem::key_disabled},
      {"no access", Answer(403, Error(2009, "API key does not have access.")),
       ServiceProblem::key_disabled},
      {"error code with a 200", Answer(200, Error(2006, "API key is invalid.")),
       ServiceProblem::key_refused},
      {"error without code", Answer(400, R"({"error":{"message":"x"}})"),
       ServiceProblem::unknown_place},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyAnswer(c.answer), c.problem) << c.label;
}

}  // namespace
}  // namespace skyvigil
