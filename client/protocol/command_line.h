#pragma once
// The program's command line, read before Qt takes its own switches out of it.

#include <QStringList>

#include <optional>
#include <string>

namespace client {

// The command line as one text: every argument after the program name,
// joined with single spaces, as the bytes it came in.
std::string commandLineOf(int argc, const char* const* argv);

// Help and version, which need no window: the text to print before leaving,
// or nothing when the table is to open. Any other word, the test switches
// included, is the table's and never refused here.
std::optional<std::string> answerWithoutWindow(const QStringList& arguments);

}  // namespace client
