#pragma once
// The server window in this process on a free port of 127.0.0.1, dealing from a fixed seed (a failing run
// replays) and starting, opening and asking nothing outside. Its users link the server host themselves.

#include <memory>
#include <optional>
#include <string>

#include "server/engine/shuffle.h"
#include "server/host/frm_main.h"

namespace support {

inline std::unique_ptr<server::frmMain> loopbackServer(server::HostHooks hooks = {},
                                                       std::string commandLine = {}) {
    hooks.listenAddress = QHostAddress::LocalHost;
    if (!hooks.shuffle) hooks.shuffle = server::seededShuffler(20240611u);
    if (!hooks.startDetached) hooks.startDetached = [](auto&&...) { return std::optional<std::string>{}; };
    if (!hooks.askNumber) hooks.askNumber = [](auto&&...) { return std::optional<int>{}; };
    if (!hooks.openUrl) hooks.openUrl = [](auto&&...) {};
    return std::make_unique<server::frmMain>(0, std::move(commandLine), std::move(hooks));
}

}  // namespace support
