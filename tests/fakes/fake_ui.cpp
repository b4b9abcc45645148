// The desktop stand-in's dialogs.
#include "fakes/fake_ui.h"

#include <gtest/gtest.h>

namespace skyvigil::testing {

namespace {

template <class T>
T Next(std::deque<T>& answers, const std::string& what) {
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected dialog: " << what;
    return T();
  }
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

void FakeUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  dialogs.push_back(title + "|" + text + (icon == MessageIcon::error ? "|error" : ""));
}

bool FakeUi::AskYesNo(const std::string& title, const std::string& text) {
  dialogs.push_back(title + "|" + text);
  return Next(yes_no_answers, title);
}

std::optional<std::string> FakeUi::AskText(const TextPrompt& prompt) {
  dialogs.push_back(prompt.title + "|" + prompt.prompt + "|" + prompt.initial);
  return Next(text_answers, prompt.title);
}

std::optional<std::string> FakeUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  dialogs.push_back(prompt.title + "|" + prompt.problem + "|" + prompt.initial);
  key_prompts.push_back(prompt);
  std::optional<std::string> answer = Next(key_answers, prompt.title);
  if (!answer)
    return std::nullopt;
  // OK: the dialog stays open until the trial is done.
  bool done = false;
  trial.Start(*answer, [&done] { done = true; });
  if (!done && escape_while_trying) {
    trial.Start(*answer, [&done] { done = true; });  // ignored while trying
    trial.Cancel();
    return std::nullopt;
  }
  while (!done && await_main_thread)
    await_main_thread();
  return answer;
}

}  // namespace skyvigil::testing
