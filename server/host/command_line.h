#pragma once
// The server's command line, read before anything needs a display.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

namespace server {

inline constexpr int kMaxTurnSeconds = 3600;

struct CommandLine {
    // The program's arguments joined by blanks, as it received them; exactly
    // "-test" (around blanks aside) starts test mode and nothing else is read.
    std::string raw;
    bool help = false;
    bool version = false;
    bool headless = false;
    quint16 port = 9596;
    std::chrono::seconds turnTime{0};
    std::optional<std::uint64_t> seed;
    // Why the command line cannot be run; empty when it can.
    QString error;
};

// Reads `arguments` (argv, program name first). With `strict` false, the
// window toolkit's own switches and their values are left out: it takes them
// from argv itself.
CommandLine parseCommandLine(const QStringList& arguments, bool strict);

QString helpText();

// What the log says when deals come from a seed.
std::string seedNotice(std::uint64_t seed);

}  // namespace server
