#pragma once
// The server window in this process on a free port of 127.0.0.1, starting,
// opening and asking nothing outside. Its users link the server host themselves.

#include <memory>
#include <optional>
#include <string>

#include "server/host/frm_main.h"

namespace support {

inline std::unique_ptr<server::frmMain> loopbackServer(server::HostHooks hooks = {},
                                                       std::string commandLine = {}) {
    hooks.listenAddress = QHostAddress::LocalHost;
    if (!hooks.startDetached)
        hooks.startDetached = [](const QString&, const QStringList&) { return std::optional<std::string>{}; };
    if (!hooks.askNumber)
        hooks.askNumber = [](const QString&, int, int, int) { return std::optional<int>{}; };
    if (!hooks.openUrl) hooks.openUrl = [](const std::string&) {};
    return std::make_unique<server::frmMain>(0, std::move(commandLine), std::move(hooks));
}

}  // namespace support
