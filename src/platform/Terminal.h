#pragma once

#include <string>
#include <vector>

namespace rinvo {

/// The standard streams the command line writes to.
enum class StandardStream {
    Output,
    Error,
};

/// Tells whether the stream is an interactive terminal, where a progress line makes sense.
bool isTerminal(StandardStream stream);

/// Returns the program's arguments, without its name, as UTF-8.
std::vector<std::string> programArguments(int argc, char** argv);

/// Makes the console show the program's UTF-8 output (Windows); nothing to do on POSIX. The
/// console's code pages are restored when the program exits.
void prepareConsoleOutput();

/// Gives the console back the code pages the program found, now: for a way out that skips
/// the exit handlers (Windows); nothing to do on POSIX.
void restoreConsoleCodePages();

} // namespace rinvo
