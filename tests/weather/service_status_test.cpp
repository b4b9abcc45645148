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

// The message is spoken and shown: a server cannot make it endless.
TEST(ServiceStatus, TheServicesOwnMessageIsCappedAt512Characters) {
  const std::string long_message(600, 'k');
  const struct {
    const char* label;
    std::string body;
    std::string message;
  } cases[] = {
      {"a message", Error(2006, "API key is invalid."), "API key is invalid."},
      {"no error", R"({"current":{}})", ""},
      {"a message that is no text", R"({"error":{"code":2006,"message":7}})", ""},
      {"not json", "<html></html>", ""},
      {"512 characters", Error(2006, std::string(512, 'k')), std::string(512, 'k')},
      {"600 characters", Error(2006, long_message), std::string(511, 'k') + "\xE2\x80\xA6"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ServiceMessage(Answer(401, c.body)), c.message) << c.label;
}

}  // namespace
}  // namespace skyvigil
