// Screen changes written out.
#include "fakes/screen_text.h"

namespace skyvigil::testing {

namespace {

namespace change = screen_change;

template <class... F>
struct Overloads : F... {
  using F::operator()...;
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += (text.empty() ? "" : "|") + line;
  return text;
}

std::string KindName(WindowKind kind) {
  static constexpr const char* kNames[] = {"main",     "forecast",   "results",
                                           "history",  "next hours", "alert",
                                           "download", "shortcuts",  "about"};
  return kNames[static_cast<int>(kind)];
}

}  // namespace

std::vector<std::string> Described(const std::vector<ScreenChange>& changes) {
  const auto text = Overloads{
      [](const change::SetTextSize& c) { return "text size " + std::to_string(c.percent); },
      [](const change::SetLines& c) {
        return "lines " + std::to_string(c.control) + ": " + Joined(c.lines);
      },
      [](const change::Select& c) {
        return "select " + std::to_string(c.control) + " " + std::to_string(c.index);
      },
      [](const change::SetText& c) { return "text " + std::to_string(c.control) + ": " + c.text; },
      [](const change::SetChecked& c) {
        return (c.checked ? "check " : "uncheck ") + std::to_string(c.command);
      },
      [](const change::OpenSecondary& c) { return "open " + KindName(c.kind); },
      [](const change::CloseSecondary&) { return std::string("close secondary"); },
      [](const change::OpenDownload&) { return std::string("open download"); },
      [](const change::SetProgress& c) { return "progress " + std::to_string(c.percent); },
      [](const change::CloseDownload&) { return std::string("close download"); },
      [](const change::SetTooltip& c) { return "tooltip " + c.text; },
      [](const change::ShowMain& c) {
        return std::string(c.to_front ? "show main in front" : "show main");
      },
      [](const change::HideMain&) { return std::string("hide main"); },
      [](const change::MinimiseMain&) { return std::string("minimise main"); },
      [](const change::Focus& c) { return "focus " + std::to_string(c.control); },
      [](const change::RemoveTray&) { return std::string("remove tray"); },
      [](const change::CloseMain&) { return std::string("close main"); },
  };
  std::vector<std::string> described;
  for (const ScreenChange& c : changes)
    described.push_back(std::visit(text, c));
  return described;
}

}  // namespace skyvigil::testing
