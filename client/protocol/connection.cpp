#include "client/protocol/connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace client {

namespace {

// How often the connect wait wakes up to count the seconds.
constexpr int kWaitTickMs = 100;

}  // namespace

Connection::Connection(IClientView& view, IDialogs& dialogs, QObject* parent)
    : QObject(parent), view_(view), dialogs_(dialogs) {
    connect(&Winsock1, &QTcpSocket::readyRead, this, &Connection::Winsock1_DataArrival);
    connect(&Winsock1, &QTcpSocket::disconnected, this, &Connection::Winsock1_Close);
    connect(&Winsock1, &QTcpSocket::errorOccurred, this, &Connection::Winsock1_Error);
    // Every command is a short line the server waits for: send at once.
    connect(&Winsock1, &QTcpSocket::connected, this,
            [this] { Winsock1.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}

Connection::~Connection() {
    // No status text for the window that is going away.
    Winsock1.disconnect(this);
    Winsock1.abort();
}

bool Connection::isConnected() const { return Winsock1.state() == QAbstractSocket::ConnectedState; }

void Connection::ConnectToServer() {
    if (connecting_ || isConnected()) return;
    connecting_ = true;
    if (!ConnectWithTimeout(firstHost, firstWaitSeconds) && !abandoned_) {
        const std::string host = dialogs_.inputBox("Enter IP address or hostname of Quorvane:", "", "");
        if (!host.empty() && !ConnectWithTimeout(host, typedWaitSeconds) && !abandoned_)
            dialogs_.msgBox("Connect Failed");
    }
    if (!isConnected()) view_.ShowStatus("Connect Failed");
    connecting_ = false;
}

bool Connection::ConnectWithTimeout(const std::string& host, std::int32_t seconds) {
    QElapsedTimer clock;
    clock.start();
    const qint64 limitMs = static_cast<qint64>(seconds) * 1000;
    const std::string text = "Connecting to " + host + "...";
    view_.ShowStatus(text);

    closingOurselves_ = true;
    Winsock1.abort();
    closingOurselves_ = false;
    failed_ = false;
    waiting_ = true;
    Winsock1.connectToHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())), port);

    QTimer tick;
    tick.start(kWaitTickMs);
    qint64 shown = 0;
    auto stillTrying = [&] {
        const auto state = Winsock1.state();
        return state != QAbstractSocket::ConnectedState && state != QAbstractSocket::UnconnectedState;
    };
    while (clock.elapsed() < limitMs && !failed_ && !abandoned_ && stillTrying()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 elapsed = clock.elapsed() / 1000;
        if (elapsed != shown) {
            shown = elapsed;
            view_.ShowStatus(text + std::to_string(elapsed));
        }
    }
    waiting_ = false;
    view_.ShowStatus("");
    const bool connected = isConnected();
    if (!connected && Winsock1.state() != QAbstractSocket::UnconnectedState) {
        // Out of time: give up this attempt.
        closingOurselves_ = true;
        Winsock1.abort();
        closingOurselves_ = false;
    }
    const std::string description = std::move(pendingError_);
    pendingError_.clear();
    if (!description.empty() && !abandoned_) dialogs_.msgBox(description);
    return connected;
}

bool Connection::send(const std::string& bytes) {
    if (!isConnected()) return false;
    const qint64 written = Winsock1.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) return false;
    // Out now, not at the next turn of the event loop: the window may be
    // about to close (EXIT).
    Winsock1.flush();
    return true;
}

void Connection::Winsock1_DataArrival() {
    // Data that arrives while a chunk is handled (the handling lets events
    // run) raises no second signal; take it here.
    while (Winsock1.bytesAvailable() > 0) {
        const QByteArray chunk = Winsock1.readAll();
        if (onData) onData(chunk.toStdString());
    }
}

void Connection::Winsock1_Close() {
    if (closingOurselves_) return;
    view_.ShowStatus("Winsock1_Close");
    closingOurselves_ = true;
    Winsock1.close();
    closingOurselves_ = false;
}

void Connection::Winsock1_Error(QAbstractSocket::SocketError error) {
    // The server closing the connection is the close event, not an error.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    view_.ShowStatus("Winsock1_Error");
    reportError(Winsock1.errorString().toStdString());
}

void Connection::reportError(const std::string& description) {
    if (abandoned_) return;  // nobody left to tell
    if (waiting_) {
        // The connect wait ends on the error; the player sees the socket's
        // description when it does, before any host prompt.
        failed_ = true;
        pendingError_ = description;
        return;
    }
    // Not from inside the socket's own signal: a modal box runs an event loop.
    QTimer::singleShot(0, this, [this, description] { dialogs_.msgBox(description); });
}

}  // namespace client
