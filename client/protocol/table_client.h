#pragma once
// Puts the client together: the table window, its connection, the protocol
// logic and the real (or, in tests, recording) dialogs and desktop.

#include <QObject>

#include <memory>
#include <string>

#include "client/core/client_protocol.h"
#include "client/protocol/connection.h"
#include "client/protocol/qt_ports.h"

namespace client {

class frmMain;

class TableClient : public QObject {
    Q_OBJECT
public:
    // Null dialogs or desktop mean the real ones. The window must outlive this.
    TableClient(frmMain& window, std::string commandLine, std::unique_ptr<IDialogs> dialogs = nullptr,
                std::unique_ptr<IWindowDesktop> desktop = nullptr);
    ~TableClient() override;

    ClientProtocol& protocol() { return protocol_; }
    Connection& connection() { return connection_; }

private:
    void connectControls();
    void mnuAbout_Click();
    // Starts the computer player at the player's table.
    void mnuAddComputer_Click();

    frmMain& window_;
    std::unique_ptr<IDialogs> dialogs_;
    std::unique_ptr<IWindowDesktop> desktop_;
    QtSettings settings_;
    Connection connection_;
    ClientProtocol protocol_;
    std::size_t botsStarted_ = 0;
};

}  // namespace client
