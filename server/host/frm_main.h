#pragma once
// The server's window: listener, ten connection slots, operator's log and monitor.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QHostAddress>
#include <QMainWindow>

#include "server/host/qt_socket.h"
#include "server/session/server_core.h"

class QAction;
class QPlainTextEdit;
class QTcpServer;
class QTimer;
class QTreeWidget;

namespace server {

// What the window reaches outside itself, replaceable for tests.
struct HostHooks {
    // Shuffles the deck; empty: a generator seeded from the clock.
    ShuffleFn shuffle;
    // Starts the client in test mode; returns the reason on failure.
    // Empty: the real program next to the server or on the PATH.
    std::function<std::optional<std::string>()> startTestClient;
    // Opens a link in the desktop's browser. Empty: weblink::OpenURL.
    std::function<void(const std::string&)> openUrl;
    // The program listens on every interface; tests keep to the loopback.
    QHostAddress listenAddress = QHostAddress::Any;
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kSlots = ServerCore::kSlots;
    static constexpr int kColumns = 8;

    // `port` 0 lets the system choose (tests); `commandLine` holds the
    // program's arguments joined by blanks.
    frmMain(quint16 port, std::string commandLine, HostHooks hooks = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // Appends one time-stamped line to txtLog (and to standard error).
    void WriteLog(const std::string& msg);
    // The log as kept: lines joined by CR LF, at most 2048 characters.
    const std::string& logText() const { return logText_; }

    // The port the listener is bound to (0 when listening failed).
    quint16 listeningPort() const;

    ServerCore& core() { return *core_; }
    QtSocket& Winsock1(int index);  // slots 1..10

    QTreeWidget* ListView1 = nullptr;
    QPlainTextEdit* txtLog = nullptr;
    QTimer* Timer1 = nullptr;
    QAction* mnuAbout = nullptr;

public slots:
    // One tick of Timer1: refreshes the next row of ListView1, 1..10 in turn.
    void refreshNextRow();
    // Logs the listener and starts the test client; only the first call does anything.
    void firstActivation();
    void openAboutLink();  // mnuAbout

    // The socket events, named as their log lines name them.
    void Winsock1_ConnectionRequest();
    void Winsock1_DataArrival(int index, qint64 bytesTotal);
    void Winsock1_Close(int index);
    void Winsock1_Error(int index, int number, const QString& description);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layOutHalves();
    void setCell(int row, int column, const QString& text);
    // Runs a session handler; nothing it throws reaches the event loop.
    void guarded(const char* where, int index, const std::function<void()>& handler);

    std::string commandLine_;
    HostHooks hooks_;
    bool m_Activated = false;
    std::int16_t m_RowIndex = 0;
    std::string logText_;

    QTcpServer* listener_ = nullptr;  // element 0 of the socket array
    // Declared before the core so the sessions go first and never see a dead socket.
    std::array<std::unique_ptr<QtSocket>, kSlots> sockets_;
    std::unique_ptr<ServerCore> core_;
};

}  // namespace server
