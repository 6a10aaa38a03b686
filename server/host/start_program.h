#pragma once
// The programs the server starts: the client in test mode, computer players
// from the menu.

#include <functional>
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

namespace server {

inline constexpr const char* kClientProgram = "Tessarin";
inline constexpr const char* kBotProgram = "tessarin-bot";
inline constexpr const char* kTestSwitch = "-test";

// Starts a program without waiting for it; returns the reason on failure.
using StartFn =
    std::function<std::optional<std::string>(const QString& program, const QStringList& arguments)>;

// True when the command line, without surrounding blanks, is exactly "-test".
bool isTestCommandLine(const std::string& commandLine);

// The program `name` next to the server's own executable in `ownDir`,
// otherwise the one found on the PATH; empty when there is none.
QString locateProgram(const QString& name, const QString& ownDir);

struct Started {
    QString program;                     // the path, when one was found
    std::optional<std::string> failure;  // why it is not running
};
// Locates `name` and starts it with `start` (empty: a detached process).
Started startProgram(const char* name, const QStringList& arguments, const QString& ownDir,
                     const StartFn& start);

}  // namespace server
