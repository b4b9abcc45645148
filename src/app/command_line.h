// The program's options, read before any window stands: --speak, --help and
// --version (on Windows also /speak, /help and /version, in any letter case).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace skyvigil {

enum class OptionStyle { posix, windows };

// What the command line asks for.
struct CommandLine {
  enum class Action { run, speak, exit };
  Action action = Action::run;
  std::string output;     // printed before the exit, ending in a line feed
  bool is_error = false;  // to the error stream rather than the output
  int exit_code = 0;
};

// `arguments` without the program's own name. No option runs the program; an
// unknown option, or more than one, exits with 2 and one line saying so.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments, OptionStyle style);

// --speak: asks the instance holding `marker` to speak its summary; never
// starts one. Exits with 0 once asked, or 1 when none runs.
CommandLine AskRunningInstanceToSpeak(const std::filesystem::path& marker);

}  // namespace skyvigil
