#pragma once
// Test mode: the server starts one client that logs in and plays by itself.

#include <optional>
#include <string>

#include <QString>

namespace server {

inline constexpr const char* kClientProgram = "Tessarin";
inline constexpr const char* kTestSwitch = "-test";

// True when the command line, without surrounding blanks, is exactly "-test".
bool isTestCommandLine(const std::string& commandLine);

// The client program next to the server's own executable in `ownDir`,
// otherwise the one found on the PATH; empty when there is none.
QString locateClient(const QString& ownDir);

// Starts the client with "-test" without waiting for it. Returns the reason
// when it could not be started.
std::optional<std::string> startTestClient(const QString& ownDir);

}  // namespace server
