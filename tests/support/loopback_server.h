#pragma once
// The server window in this process on a free port of 127.0.0.1, starting and
// opening nothing outside. Its users link the server host themselves.

#include <memory>
#include <optional>
#include <string>

#include "server/host/frm_main.h"

namespace support {

inline std::unique_ptr<server::frmMain> loopbackServer(server::HostHooks hooks = {},
                                                       std::string commandLine = {}) {
    hooks.listenAddress = QHostAddress::LocalHost;
    if (!hooks.startTestClient) hooks.startTestClient = [] { return std::optional<std::string>{}; };
    if (!hooks.openUrl) hooks.openUrl = [](const std::string&) {};
    return std::make_unique<server::frmMain>(0, std::move(commandLine), std::move(hooks));
}

}  // namespace support
