// Text a command-line option prints, from a program built for the GUI
// subsystem, which starts without a console of its own.
#pragma once

#include <string>
#include <vector>

namespace skyvigil {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> CommandLineArguments();

// Writes `text` (lines ending in "\n") where the user who started the program
// sees it: into the output or error file or pipe the program was given; else
// the console of the program that started it (a command prompt); else, when
// there is none (a shortcut's key, Explorer, a screen reader's key), a message
// box, which the screen reader reads.
void ShowCommandLineText(const std::string& text, bool is_error);

}  // namespace skyvigil
