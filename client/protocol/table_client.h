#pragma once
// Puts the client together: the table window, its connection, the protocol
// logic and the real (or, in tests, recording) dialogs and desktop.

#include <QObject>

#include <memory>
#include <string>

#include "client/protocol/client_protocol.h"
#include "client/protocol/connection.h"
#include "client/protocol/ports.h"

namespace client {

class frmMain;

// The table window as the protocol's view.
class WindowView : public IClientView {
public:
    explicit WindowView(frmMain& window) : window_(window) {}
    void SetSeatCell(int row, SeatColumn column, const std::string& text) override;
    void ShowActionMode(ActionMode mode) override;
    void ShowStatus(const std::string& text) override;
    void AppendTrace(const std::string& text) override;
    void AppendChat(const std::string& text) override;
    void SetTitle(const std::string& text) override;
    void CloseWindow() override;
    void DrawAttention() override;

private:
    frmMain& window_;
};

class TableClient : public QObject {
    Q_OBJECT
public:
    // Null dialogs or desktop mean the real ones. The window must outlive this.
    TableClient(frmMain& window, std::string commandLine, std::unique_ptr<IDialogs> dialogs = nullptr,
                std::unique_ptr<IDesktop> desktop = nullptr);
    ~TableClient() override;

    ClientProtocol& Protocol() { return protocol_; }
    Connection& Link() { return connection_; }

private:
    void wire_();
    void mnuAbout_Click();

    frmMain& window_;
    WindowView view_;
    std::unique_ptr<IDialogs> dialogs_;
    std::unique_ptr<IDesktop> desktop_;
    Connection connection_;
    ClientProtocol protocol_;
};

}  // namespace client
