// tessarin-bot: a computer player that sits at a Quorvane table like any
// client, without a window.

#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include "bot/bot_session.h"
#include "bot/names.h"
#include "wire/messages.h"

namespace {

constexpr int kUsageError = 2;

int usageError(const QString& text) {
    std::fprintf(stderr, "tessarin-bot: %s\nTry 'tessarin-bot --help'.\n", qPrintable(text));
    return kUsageError;
}

// A line ends at CR LF and fields at TAB: a text holding them could not be sent whole.
bool sendable(const std::string& text) {
    return !text.empty() && text.find_first_of("\t\r\n") == std::string::npos;
}

std::optional<long long> number(const QString& text, long long low, long long high) {
    bool ok = false;
    const long long n = text.toLongLong(&ok);
    if (!ok || n < low || n > high) return std::nullopt;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tessarin-bot");
    QCoreApplication::setApplicationVersion("v" QUORVANE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays five-card draw at a Quorvane table without a window: it logs in, creates or joins\n"
        "a game, and answers every deal and BET prompt. A person (or another program) deals the\n"
        "first hand; the table deals the rest.");
    // Only -h/--help: Qt's own help option would also offer --help-all.
    const QCommandLineOption help(QStringList{"h", "help"}, "Prints the options and exits.");
    const QCommandLineOption version(QStringList{"v", "version"},
                                     "Prints the program's name and version and exits.");
    const QCommandLineOption host("host", "Server host name or address (127.0.0.1).", "HOST", "127.0.0.1");
    const QCommandLineOption port("port", "Server TCP port (9596).", "PORT", "9596");
    const QCommandLineOption name("name", "User name (one of the bot's own names).", "NAME");
    const QCommandLineOption join("join", "Joins game N.", "N");
    const QCommandLineOption create("new", "Creates a game called GAMENAME.", "GAMENAME");
    const QCommandLineOption think("think-ms",
                                   "Waits MIN ms, or MIN to MAX ms at random, before each move (500-1500).",
                                   "MIN[-MAX]", "500-1500");
    const QCommandLineOption hands("hands", "Leaves after N hands (no limit).", "N");
    const QCommandLineOption seed("seed", "Seeds the bot's random choices (from the system).", "S");
    const QCommandLineOption style("style", "How it plays: solid, loose or tight (solid).", "STYLE", "solid");
    parser.addOptions({help, version, host, port, name, join, create, think, hands, seed, style});

    if (!parser.parse(QCoreApplication::arguments())) return usageError(parser.errorText());
    if (parser.isSet(version)) parser.showVersion();
    if (parser.isSet(help)) {
        // Named as installed, not by the path it was started from.
        QString text = parser.helpText();
        text.replace(QRegularExpression("^Usage: \\S+"), QStringLiteral("Usage: tessarin-bot"));
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument " + parser.positionalArguments().first());

    bot::SessionOptions options;
    options.host = parser.value(host).toStdString();
    if (parser.isSet(join) == parser.isSet(create))
        return usageError("give either --join N or --new GAMENAME");
    if (parser.isSet(join)) {
        const auto n = number(parser.value(join), 1, wire::kTableCount);
        if (!n) return usageError("--join takes a game number, 1 to " + QString::number(wire::kTableCount));
        options.joinGame = static_cast<std::int32_t>(*n);
    } else {
        options.newGame = parser.value(create).toLatin1().toStdString();
        if (!sendable(options.newGame))
            return usageError("--new takes a game name, not empty, without tabs or line breaks");
    }
    const auto p = number(parser.value(port), 1, 65535);
    if (!p) return usageError("--port takes a port number 1 to 65535");
    options.port = static_cast<std::uint16_t>(*p);

    const QStringList range = parser.value(think).split('-');
    const auto low = number(range.first(), 0, 3'600'000);
    const auto high = range.size() == 2 ? number(range.last(), 0, 3'600'000) : low;
    if (range.size() > 2 || !low || !high || *high < *low)
        return usageError("--think-ms takes MIN or MIN-MAX milliseconds");
    options.thinkMinMs = static_cast<int>(*low);
    options.thinkMaxMs = static_cast<int>(*high);

    if (parser.isSet(hands)) {
        const auto n = number(parser.value(hands), 1, INT32_MAX);
        if (!n) return usageError("--hands takes a number of hands, 1 or more");
        options.hands = static_cast<int>(*n);
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toULongLong(&ok);
        if (!ok) return usageError("--seed takes a whole number");
    } else {
        std::random_device entropy;
        options.seed = (std::uint64_t{entropy()} << 32) | entropy();
    }
    const auto playStyle = bot::styleNamed(parser.value(style).toStdString());
    if (!playStyle) return usageError("--style takes solid, loose or tight");
    options.style = *playStyle;

    options.name = parser.isSet(name) ? parser.value(name).toLatin1().toStdString()
                                      : bot::freeName({}, options.seed % bot::kNames.size());
    if (!sendable(options.name))
        return usageError("--name takes a name, not empty, without tabs or line breaks");

    bot::BotSession session(options);
    QObject::connect(&session, &bot::BotSession::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    session.start();
    return app.exec();
}
