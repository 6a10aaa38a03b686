#include "server/host/command_line.h"

#include <algorithm>
#include <iterator>

#include <QCommandLineParser>

#include "server/host/start_program.h"
#include "wire/messages.h"

namespace server {
namespace {

struct Options {
    QCommandLineOption help{QStringList{"h", "help"}, "Prints the options and exits."};
    QCommandLineOption version{QStringList{"v", "version"},
                               "Prints the program's name and version and exits."};
    QCommandLineOption headless{"headless", "Runs without a window; the log goes to standard error."};
    QCommandLineOption port{"port", "Listens on TCP port P (default 9596).", "P"};
    QCommandLineOption turnTime{"turn-time",
                                "Gives a player S seconds for his exchange or bet, then acts for him "
                                "(0, the default: no limit).",
                                "S"};
    QCommandLineOption seed{"seed",
                            "Shuffles from a generator seeded with N: deals can be repeated, and foreseen. "
                            "For tests only.",
                            "N"};
    // "-test" alone is test mode; with other options it is let through and ignored.
    QCommandLineOption test{kTestSwitch + 1, ""};

    // Single-dash words are options, so "-test" and "-platform" read as one word each.
    void addTo(QCommandLineParser& parser) {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        test.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.setApplicationDescription(
            "Five-card draw poker server for a local network.\n"
            "Quorvane -test, with nothing else, starts test mode: a client that plays against a second one.");
        parser.addOptions({help, version, headless, port, turnTime, seed, test});
    }
};

// The line without what QApplication takes from argv itself, its switches
// and their values, so every other word is checked before a window, and with
// it a display, is needed.
QStringList withoutToolkitSwitches(const QStringList& arguments) {
    constexpr const char* kWithValue[] = {
        "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
        "display",     "geometry",           "title",         "name"};
    constexpr const char* kAlone[] = {"reverse", "widgetcount", "nograb", "dograb", "qmljsdebugger"};
    const auto among = [](const auto& names, const QString& name) {
        return std::any_of(std::begin(names), std::end(names),
                           [&](const char* n) { return name == QLatin1String(n); });
    };
    QStringList kept = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        const QString name = word.startsWith(QLatin1String("--")) ? word.mid(2)
                             : word.startsWith(QLatin1Char('-'))  ? word.mid(1)
                                                                  : QString();
        const QString bare = name.section(QLatin1Char('='), 0, 0);
        if (among(kWithValue, bare)) {
            if (!name.contains(QLatin1Char('='))) ++i;
        } else if (!among(kAlone, bare)) {
            kept << word;
        }
    }
    return kept;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments, bool strict) {
    CommandLine result;
    result.raw = arguments.mid(1).join(QLatin1Char(' ')).toLocal8Bit().toStdString();
    if (isTestCommandLine(result.raw)) return result;

    Options o;
    QCommandLineParser parser;
    o.addTo(parser);
    const bool parsed = parser.parse(strict ? arguments : withoutToolkitSwitches(arguments));
    result.help = parser.isSet(o.help);
    result.version = parser.isSet(o.version);
    result.headless = parser.isSet(o.headless);
    // An option's whole number within [min, max]; nothing when it is not given or wrong.
    const auto number = [&](const QCommandLineOption& option, qulonglong min, qulonglong max,
                            const char* what) -> std::optional<qulonglong> {
        if (!parser.isSet(option)) return std::nullopt;
        bool ok = false;
        const qulonglong n = parser.value(option).toULongLong(&ok);
        if (ok && n >= min && n <= max) return n;
        if (result.error.isEmpty())
            result.error = QString("--%1 takes %2, not '%3'")
                               .arg(option.names().constFirst(), what, parser.value(option));
        return std::nullopt;
    };
    if (const auto port = number(o.port, 1, 65535, "a TCP port number"))
        result.port = static_cast<quint16>(*port);
    if (const auto seconds = number(o.turnTime, 0, kMaxTurnSeconds, "0 to 3600 seconds"))
        result.turnTime = std::chrono::seconds(*seconds);
    result.seed = number(o.seed, 0, ~0ULL, "a whole number");
    if (result.error.isEmpty()) {
        if (!parsed)
            result.error = parser.errorText();
        else if (!parser.positionalArguments().isEmpty())
            result.error = "unexpected argument '" + parser.positionalArguments().constFirst() + "'";
    }
    return result;
}

QString helpText() {
    Options o;
    QCommandLineParser parser;
    o.addTo(parser);
    return parser.helpText().replace("<executable_name>", "Quorvane");
}

std::string seedNotice(std::uint64_t seed) {
    return "Deals are predictable: the deck is shuffled from seed " + std::to_string(seed) +
           " (--seed). Do not play for anything of value.";
}

}  // namespace server
