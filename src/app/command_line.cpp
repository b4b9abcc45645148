// The options' texts and the one request --speak makes.
#include "app/command_line.h"

#include <string_view>
#include <utility>

#include "ports/show_requests.h"
#include "state/version.h"

namespace skyvigil {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameOption(std::string_view given, std::string_view option, OptionStyle style) {
  if (style == OptionStyle::posix)
    return given == option;
  if (given.size() != option.size())
    return false;
  for (size_t i = 0; i < given.size(); ++i) {
    if (Lower(given[i]) != option[i])
      return false;
  }
  return true;
}

enum class Option { unknown, speak, help, version };

Option OptionNamed(std::string_view given, OptionStyle style) {
  constexpr std::pair<std::string_view, Option> kNames[] = {
      {"speak", Option::speak}, {"help", Option::help}, {"version", Option::version}};
  for (const auto& [name, option] : kNames) {
    if (SameOption(given, "--" + std::string(name), style) ||
        (style == OptionStyle::windows && SameOption(given, "/" + std::string(name), style)))
      return option;
  }
  return Option::unknown;
}

std::string HelpText(OptionStyle style) {
  const bool windows = style == OptionStyle::windows;
  const std::string program = windows ? "Skyvigil.exe" : "skyvigil";
  const std::string dash = windows ? "/" : "--";
  std::string text = "Usage: " + program + " [" + dash + "speak | " + dash + "help | " + dash +
                     "version]\n\n"
                     "Skyvigil keeps an eye on the weather of your cities and tells you,\n"
                     "through your screen reader, what changed.\n\n";
  constexpr std::pair<const char*, const char*> kLines[] = {
      {"speak", "have the running Skyvigil speak its summary"},
      {"help", "print this help and exit"},
      {"version", "print the version and exit"},
  };
  for (const auto& [name, what] : kLines) {
    std::string option = dash + name;
    option.resize(12, ' ');
    text += "  " + option + what + "\n";
  }
  text +=
      "\nWithout an option Skyvigil starts, or brings back the window of the one\n"
      "already running.\n";
  if (windows)
    text += "--speak, --help and --version work too, in any letter case.\n";
  return text;
}

CommandLine Exit(std::string output, bool is_error, int code) {
  return {CommandLine::Action::exit, std::move(output), is_error, code};
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments, OptionStyle style) {
  if (arguments.empty())
    return {};
  const std::string program = style == OptionStyle::windows ? "Skyvigil.exe" : "skyvigil";
  const std::string help = style == OptionStyle::windows ? "/help" : "--help";
  for (const std::string& argument : arguments) {
    if (OptionNamed(argument, style) == Option::unknown)
      return Exit(
          program + ": unknown option \"" + argument + "\". Try " + program + " " + help + ".\n",
          true, 2);
  }
  if (arguments.size() > 1)
    return Exit(program + ": one option at a time. Try " + program + " " + help + ".\n", true, 2);
  switch (OptionNamed(arguments.front(), style)) {
    case Option::speak:
      return {CommandLine::Action::speak, {}, false, 0};
    case Option::help:
      return Exit(HelpText(style), false, 0);
    case Option::version:
      return Exit(std::string("Skyvigil ") + kVersionText + "\n", false, 0);
    case Option::unknown:
      break;
  }
  return {};
}

CommandLine AskRunningInstanceToSpeak(const std::filesystem::path& marker) {
  if (AskRunningInstance(marker, InstanceRequest::speak))
    return Exit({}, false, 0);
  return Exit("Skyvigil is not running.\n", true, 1);
}

}  // namespace skyvigil
