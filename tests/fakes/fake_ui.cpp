// Recording desktop stand-in.
#include "fakes/fake_ui.h"

#include <gtest/gtest.h>

#include "app/window_specs.h"

namespace skyvigil::testing {

void FakeUi::SetCityLines(const std::vector<std::string>& lines) {
  city_lines = lines;
  city_selection = -1;
}

void FakeUi::SelectCity(int index) {
  ++city_selections_from_code;
  city_selection = (index >= 0 && static_cast<size_t>(index) < city_lines.size()) ? index : -1;
}

void FakeUi::SetReportLines(const std::vector<std::string>& lines) {
  report_lines = lines;
  report_selection = -1;
}

void FakeUi::SelectReportLine(int index) {
  report_selection = (index >= 0 && static_cast<size_t>(index) < report_lines.size()) ? index : -1;
}

void FakeUi::OpenForecastWindow() {
  CloseSecondaryWindow();
  secondary_window = "Forecast";
}

void FakeUi::SetForecastLines(const std::vector<std::string>& lines) {
  forecast_lines = lines;
  forecast_selection = lines.empty() ? -1 : 0;
  focus = FocusedControl::forecast_list;
}

void FakeUi::OpenResultsWindow(const std::vector<std::string>& entries) {
  CloseSecondaryWindow();
  secondary_window = "Results";
  result_entries = entries;
  result_selection = entries.empty() ? -1 : 0;
  focus = FocusedControl::other;
}

void FakeUi::SetResultEntries(const std::vector<std::string>& entries) {
  result_entries = entries;
  result_selection = entries.empty() ? -1 : 0;
  focus = FocusedControl::other;
}

void FakeUi::OpenHistoryWindow(const std::vector<std::string>& lines) {
  CloseSecondaryWindow();
  secondary_window = "History";
  history_lines = lines;
  history_selection = lines.empty() ? -1 : 0;
  focus = FocusedControl::history_list;
}

void FakeUi::OpenListWindow(ListWindow which) {
  CloseSecondaryWindow();
  secondary_window = which == ListWindow::next_hours ? "Next Hours" : "Alert";
  focus = FocusedControl::list_window;
}

void FakeUi::SetListWindowLines(const std::vector<std::string>& lines) {
  if (secondary_window != "Next Hours" && secondary_window != "Alert")
    return;
  list_lines = lines;
  list_selection = lines.empty() ? -1 : 0;
  focus = FocusedControl::list_window;
}

void FakeUi::CloseSecondaryWindow() {
  secondary_window.clear();
  list_lines.clear();
  list_selection = -1;
  history_lines.clear();
  history_selection = -1;
  forecast_lines.clear();
  forecast_selection = -1;
  forecast_detail_text.clear();
  result_entries.clear();
  result_selection = -1;
}

void FakeUi::OpenDownloadWindow() {
  download_window.push_back("open " + std::string(kDownloadWindow.title));
}

void FakeUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  dialogs.push_back(title + "|" + text + (icon == MessageIcon::error ? "|error" : ""));
}

bool FakeUi::AskYesNo(const std::string& title, const std::string& text) {
  dialogs.push_back(title + "|" + text);
  if (yes_no_answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << title << " / " << text;
    return false;
  }
  const bool answer = yes_no_answers.front();
  yes_no_answers.pop_front();
  return answer;
}

std::optional<std::string> FakeUi::AskText(const std::string& title, const std::string& prompt,
                                           const std::string& initial) {
  dialogs.push_back(title + "|" + prompt + "|" + initial);
  if (text_answers.empty()) {
    ADD_FAILURE() << "unexpected input box: " << title;
    return std::nullopt;
  }
  std::optional<std::string> answer = text_answers.front();
  text_answers.pop_front();
  return answer;
}

std::optional<std::string> FakeUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  dialogs.push_back(prompt.title + "|" + prompt.problem + "|" + prompt.initial);
  key_prompts.push_back(prompt);
  if (key_answers.empty()) {
    ADD_FAILURE() << "unexpected key dialog";
    return std::nullopt;
  }
  std::optional<std::string> answer = key_answers.front();
  key_answers.pop_front();
  if (!answer)
    return std::nullopt;
  // OK: the dialog stays open until the trial is done.
  bool done = false;
  trial.Start(*answer, [&done] { done = true; });
  if (!done && escape_while_trying) {
    trial.Cancel();
    return std::nullopt;
  }
  while (!done && await_main_thread)
    await_main_thread();
  return answer;
}

}  // namespace skyvigil::testing
