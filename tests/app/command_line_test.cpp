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

using platform_test::TempDir;

// "exit 2, error: <text>": the action, the exit code, and the stream the
// text is printed to.
std::string Outcome(const CommandLine& line) {
  constexpr const char* kActions[] = {"run", "speak", "exit"};
  return kActions[static_cast<int>(line.action)] + (" " + std::to_string(line.exit_code)) +
         (line.is_error ? ", error: " : ", out: ") + line.output;
}

// The one line of a refused command line.
std::string Refused(OptionStyle style, const std::string& why) {
  return style == OptionStyle::posix
             ? "exit 2, error: skyvigil: " + why + ". Try skyvigil --help.\n"
             : "exit 2, error: Skyvigil.exe: " + why + ". Try Skyvigil.exe /help.\n";
}

const std::string kAbout =
    "\n"
    "Skyvigil keeps an eye on the weather of your cities and tells you,\n"
    "through your screen reader, what changed.\n"
    "\n";
const std::string kWithout =
    "\n"
    "Without an option Skyvigil starts, or brings back the window of the one\n"
    "already running.\n";
const std::string kPosixHelp = "Usage: skyvigil [--speak | --help | --version]\n" + kAbout +
                               "  --speak     have the running Skyvigil speak its summary\n"
                               "  --help      print this help and exit\n"
                               "  --version   print the version and exit\n" +
                               kWithout;
const std::string kWindowsHelp = "Usage: Skyvigil.exe [/speak | /help | /version]\n" + kAbout +
                                 "  /speak      have the running Skyvigil speak its summary\n"
                                 "  /help       print this help and exit\n"
                                 "  /version    print the version and exit\n" +
                                 kWithout +
                                 "--speak, --help and --version work too, in any letter case.\n";

TEST(CommandLineTest, EachArgumentListGivesItsActionTextAndCode) {
  // "Skyvigil 0.36, build 23": the version and build of this build.
  const std::string_view build_text = kVersionText;
  const std::string version = std::string("exit 0, out: Skyvigil ") + kAppVersion + ", build " +
                              std::string(build_text.substr(build_text.rfind(' ') + 1)) + "\n";
  constexpr OptionStyle P = OptionStyle::posix;
  constexpr OptionStyle W = OptionStyle::windows;
  const struct {
    OptionStyle style;
    std::vector<std::string> arguments;
    std::string outcome;
  } cases[] = {
      {P, {}, "run 0, out: "},
      {P, {"--speak"}, "speak 0, out: "},
      {P, {"--help"}, "exit 0, out: " + kPosixHelp},
      {P, {"--version"}, version},
      {P, {"--speek"}, Refused(P, "unknown option \"--speek\"")},
      // Letter case counts, and Windows' form is no option here.
      {P, {"--Speak"}, Refused(P, "unknown option \"--Speak\"")},
      {P, {"/speak"}, Refused(P, "unknown option \"/speak\"")},
      {P, {""}, Refused(P, "unknown option \"\"")},
      // The first unknown one is named, wherever it stands.
      {P, {"--help", "-v"}, Refused(P, "unknown option \"-v\"")},
      {P, {"--speak", "--version"}, Refused(P, "one option at a time")},
      {W, {}, "run 0, out: "},
      {W, {"/speak"}, "speak 0, out: "},
      {W, {"/SPEAK"}, "speak 0, out: "},
      {W, {"--Speak"}, "speak 0, out: "},
      {W, {"/help"}, "exit 0, out: " + kWindowsHelp},
      {W, {"--help"}, "exit 0, out: " + kWindowsHelp},
      {W, {"/Version"}, version},
      {W, {"--version"}, version},
      {W, {"/?"}, Refused(W, "unknown option \"/?\"")},
      {W, {"-speak"}, Refused(W, "unknown option \"-speak\"")},
      {W, {"/speak", "/speak"}, Refused(W, "one option at a time")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.style == P ? "posix" : "windows") +
                 (c.arguments.empty() ? std::string(" (none)") : " " + c.arguments.front()));
    EXPECT_EQ(Outcome(ReadCommandLine(c.arguments, c.style)), c.outcome);
  }
}

// --speak reaches the copy holding the marker, or says none runs; it never
// starts one.
TEST(CommandLineTest, SpeakAsksTheRunningCopyOrSaysNoneRuns) {
  TempDir dir;
  EXPECT_EQ(Outcome(AskRunningInstanceToSpeak(dir / "running")),
            "exit 1, error: Skyvigil is not running.\n");
  std::atomic<int> speak_requests = 0;
  ShowRequestListener running;
  ASSERT_TRUE(running.Listen(dir / "running", [&](InstanceRequest request) {
    speak_requests += request == InstanceRequest::speak ? 1 : 100;
  }));
  EXPECT_EQ(Outcome(AskRunningInstanceToSpeak(dir / "running")), "exit 0, out: ");
  // The answer comes once the listener has taken the request.
  EXPECT_EQ(speak_requests, 1);
}

}  // namespace
}  // namespace skyvigil
