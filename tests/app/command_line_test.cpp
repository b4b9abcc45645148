// The options, read before any window: each argument list's action, text and
// exit code on both desktops, and --speak's one request to the running copy.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/temp_dir.h"
#include "ports/show_requests.h"
#include "state/version.h"

namespace skyvigil {
namespace {

using Action = CommandLine::Action;
using platform_test::TempDir;

const std::string kPosixHelp =
    "Usage: skyvigil [--speak | --help | --version]\n"
    "\n"
    "Skyvigil keeps an eye on the weather of your cities and tells you,\n"
    "through your screen reader, what changed.\n"
    "\n"
    "  --speak     have the running Skyvigil speak its summary\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Without an option Skyvigil starts, or brings back the window of the one\n"
    "already running.\n";

const std::string kWindowsHelp =
    "Usage: Skyvigil.exe [/speak | /help | /version]\n"
    "\n"
    "Skyvigil keeps an eye on the weather of your cities and tells you,\n"
    "through your screen reader, what changed.\n"
    "\n"
    "  /speak      have the running Skyvigil speak its summary\n"
    "  /help       print this help and exit\n"
    "  /version    print the version and exit\n"
    "\n"
    "Without an option Skyvigil starts, or brings back the window of the one\n"
    "already running.\n"
    "--speak, --help and --version work too, in any letter case.\n";

TEST(CommandLineTest, EachArgumentListGivesItsActionTextAndCode) {
  // "Skyvigil 0.36, build 23": the version and build of this build.
  const std::string_view build_text = kVersionText;
  const std::string version = std::string("Skyvigil ") + kAppVersion + ", build " +
                              std::string(build_text.substr(build_text.rfind(' ') + 1)) + "\n";
  const struct {
    OptionStyle style;
    std::vector<std::string> arguments;
    Action action;
    std::string output;
    bool is_error;
    int code;
  } cases[] = {
      {OptionStyle::posix, {}, Action::run, "", false, 0},
      {OptionStyle::posix, {"--speak"}, Action::speak, "", false, 0},
      {OptionStyle::posix, {"--help"}, Action::exit, kPosixHelp, false, 0},
      {OptionStyle::posix, {"--version"}, Action::exit, version, false, 0},
      {OptionStyle::posix,
       {"--speek"},
       Action::exit,
       "skyvigil: unknown option \"--speek\". Try skyvigil --help.\n",
       true,
       2},
      // Letter case counts, and Windows' form is no option here.
      {OptionStyle::posix,
       {"--Speak"},
       Action::exit,
       "skyvigil: unknown option \"--Speak\". Try skyvigil --help.\n",
       true,
       2},
      {OptionStyle::posix,
       {"/speak"},
       Action::exit,
       "skyvigil: unknown option \"/speak\". Try skyvigil --help.\n",
       true,
       2},
      {OptionStyle::posix,
       {""},
       Action::exit,
       "skyvigil: unknown option \"\". Try skyvigil --help.\n",
       true,
       2},
      // The first unknown one is named, wherever it stands.
      {OptionStyle::posix,
       {"--help", "-v"},
       Action::exit,
       "skyvigil: unknown option \"-v\". Try skyvigil --help.\n",
       true,
       2},
      {OptionStyle::posix,
       {"--speak", "--version"},
       Action::exit,
       "skyvigil: one option at a time. Try skyvigil --help.\n",
       true,
       2},
      {OptionStyle::windows, {}, Action::run, "", false, 0},
      {OptionStyle::windows, {"/speak"}, Action::speak, "", false, 0},
      {OptionStyle::windows, {"/SPEAK"}, Action::speak, "", false, 0},
      {OptionStyle::windows, {"--Speak"}, Action::speak, "", false, 0},
      {OptionStyle::windows, {"/help"}, Action::exit, kWindowsHelp, false, 0},
      {OptionStyle::windows, {"--help"}, Action::exit, kWindowsHelp, false, 0},
      {OptionStyle::windows, {"/Version"}, Action::exit, version, false, 0},
      {OptionStyle::windows, {"--version"}, Action::exit, version, false, 0},
      {OptionStyle::windows,
       {"/?"},
       Action::exit,
       "Skyvigil.exe: unknown option \"/?\". Try Skyvigil.exe /help.\n",
       true,
       2},
      {OptionStyle::windows,
       {"-speak"},
       Action::exit,
       "Skyvigil.exe: unknown option \"-speak\". Try Skyvigil.exe /help.\n",
       true,
       2},
      {OptionStyle::windows,
       {"/speak", "/speak"},
       Action::exit,
       "Skyvigil.exe: one option at a time. Try Skyvigil.exe /help.\n",
       true,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.style == OptionStyle::posix ? "posix" : "windows") +
                 (c.arguments.empty() ? std::string(" (none)") : " " + c.arguments.front()));
    const CommandLine line = ReadCommandLine(c.arguments, c.style);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.output, c.output);
    EXPECT_EQ(line.is_error, c.is_error);
    EXPECT_EQ(line.exit_code, c.code);
  }
}

// --speak reaches the copy holding the marker, or says none runs; it never
// starts one.
TEST(CommandLineTest, SpeakAsksTheRunningCopyOrSaysNoneRuns) {
  TempDir dir;
  const CommandLine alone = AskRunningInstanceToSpeak(dir / "running");
  EXPECT_EQ(alone.action, Action::exit);
  EXPECT_EQ(alone.output, "Skyvigil is not running.\n");
  EXPECT_TRUE(alone.is_error);
  EXPECT_EQ(alone.exit_code, 1);

  std::atomic<int> speak_requests = 0;
  ShowRequestListener running;
  ASSERT_TRUE(running.Listen(dir / "running", [&](InstanceRequest request) {
    speak_requests += request == InstanceRequest::speak ? 1 : 100;
  }));
  const CommandLine asked = AskRunningInstanceToSpeak(dir / "running");
  EXPECT_EQ(asked.action, Action::exit);
  EXPECT_EQ(asked.output, "");
  EXPECT_EQ(asked.exit_code, 0);
  // The answer comes once the listener has taken the request.
  EXPECT_EQ(speak_requests, 1);
}

}  // namespace
}  // namespace skyvigil
