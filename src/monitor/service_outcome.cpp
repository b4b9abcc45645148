// The refresh's outcome as one cause, said only when it changes.
#include "monitor/service_outcome.h"

#include "monitor/quiet_hours.h"

namespace skyvigil {

ServiceProblem RefreshProblem(const std::vector<HttpResponse>& answers) {
  ServiceProblem found = ServiceProblem::unknown_place;
  for (const HttpResponse& answer : answers) {
    const ServiceProblem p = ClassifyAnswer(answer);
    if (p == ServiceProblem::none)
      return p;
    if (IsServiceWide(p) && !IsServiceWide(found))
      found = p;
  }
  return found;
}

void TellRefreshOutcome(App& app, const std::vector<HttpResponse>& answers) {
  if (answers.empty())
    return;
  ServiceProblem& said = app.state.service_problem;
  const ServiceProblem now = RefreshProblem(answers);
  if (now == ServiceProblem::none) {
    if (said != ServiceProblem::none)
      TellNews(app, News::service, "The weather service answers again.", std::nullopt);
    said = now;
    return;
  }
  // A city the service does not know is told by its report, not by speech;
  // but the service answered, so an earlier cause no longer holds.
  if (!IsServiceWide(now)) {
    if (said != ServiceProblem::none)
      TellNews(app, News::service, "The weather service answers again.", std::nullopt);
    said = ServiceProblem::none;
    return;
  }
  if (now == said)
    return;
  said = now;
  TellNews(app, News::service, ProblemText(now), std::nullopt);
}

}  // namespace skyvigil
