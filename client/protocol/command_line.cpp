#include "client/protocol/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>

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
                                  QStringLiteral("Prints the options and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Prints the program's name and version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    parser.parse(arguments);  // unknown words are left to the table
    if (parser.isSet(help)) {
        // Named as installed, not by the path it was started from.
        QString text = parser.helpText();
        text.replace(QRegularExpression("^Usage: \\S+"), QStringLiteral("Usage: Tessarin"));
        return text.toLocal8Bit().toStdString();
    }
    if (parser.isSet(version)) return std::string(wire::kClientTitle) + "\n";
    return std::nullopt;
}

}  // namespace client
