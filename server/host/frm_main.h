#pragma once
// The server's window: the operator's monitor and log over a ServerHost.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QHostAddress>
#include <QMainWindow>

#include "server/host/server_host.h"
#include "server/host/start_program.h"

class QAction;
class QPlainTextEdit;
class QTimer;
class QTreeWidget;

namespace server {

// What the window reaches outside itself, replaceable for tests.
struct HostHooks {
    // Shuffles the deck; empty: the core's default shuffle.
    ShuffleFn shuffle;
    // Starts the client in test mode and computer players. Empty: a detached process.
    StartFn startDetached;
    // Where those programs are looked for before the PATH. Empty: the server's own folder.
    QString programDir;
    // Asks the operator for a whole number within [min, max]; nothing when he
    // cancels. Empty: an input dialog.
    std::function<std::optional<int>(const QString& label, int value, int min, int max)> askNumber;
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
    // program's arguments joined by blanks, as it received them.
    frmMain(quint16 port, std::string commandLine, HostHooks hooks = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // Appends one time-stamped line to txtLog (and to standard error).
    void WriteLog(const std::string& msg) { host_->WriteLog(msg); }
    // The log as kept: lines joined by CR LF, at most 2048 characters.
    const std::string& logText() const { return host_->logText(); }
    // The port the listener is bound to (0 when listening failed).
    quint16 listeningPort() const { return host_->listeningPort(); }

    ServerHost& host() { return *host_; }
    ServerCore& core() { return host_->core(); }
    QtSocket& Winsock1(int index) { return host_->Winsock1(index); }  // slots 1..10

    QTreeWidget* ListView1 = nullptr;
    QPlainTextEdit* txtLog = nullptr;
    QTimer* Timer1 = nullptr;
    QAction* mnuTurnTime = nullptr;
    QAction* mnuAddComputer = nullptr;
    QAction* mnuAbout = nullptr;

public slots:
    // One tick of Timer1: refreshes the next row of ListView1, 1..10 in turn.
    void refreshNextRow();
    // Logs the listener and starts the test client; only the first call does anything.
    void firstActivation();
    void openAboutLink();      // mnuAbout
    void askTurnTime();        // mnuTurnTime
    void addComputerPlayer();  // mnuAddComputer

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layOutHalves();
    void showLog();
    QString programDir() const;
    void setCell(int row, int column, const QString& text);
    std::optional<int> askNumber(const QString& label, int value, int min, int max);

    std::string commandLine_;
    HostHooks hooks_;
    bool m_Activated = false;
    std::int16_t m_RowIndex = 0;
    std::unique_ptr<ServerHost> host_;
    std::size_t botsStarted_ = 0;
};

}  // namespace server
