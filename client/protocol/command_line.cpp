#include "client/protocol/command_line.h"

#include <QCommandLineParser>

#include "wire/messages.h"

namespace client {

std::string commandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
    return line;
}

std::optional<std::string> answerWithoutWindow(const QStringList& arguments) {
    QCommandLineParser parser;
    // One dash and a word is that word: -test is no bundle of -t -e -s, and
    // Qt's -reverse asks for no version.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Five-card draw poker table for a local network.\n\n"
                       "  -test      log in as the first test player, open a game and start a\n"
                       "             second table with -test2\n"
                       "  -test2     log in as the second test player and join game 1\n"
                       "Any other text skips the prompt for the user name."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print these options and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the program's name and version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.parse(arguments);  // unknown words are left to the table
    if (parser.isSet(help)) return parser.helpText().toLocal8Bit().toStdString();
    if (parser.isSet(version)) return std::string(wire::kClientTitle) + "\n";
    return std::nullopt;
}

}  // namespace client
