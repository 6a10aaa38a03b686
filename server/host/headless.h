#pragma once
// The server without a window or display: the same sessions, tables and log,
// the log on standard error.

#include "server/host/command_line.h"

namespace server {

// Runs until SIGTERM or SIGINT (then 0); 1 when the port cannot be bound.
int runHeadless(int& argc, char** argv, const CommandLine& commandLine);

}  // namespace server
