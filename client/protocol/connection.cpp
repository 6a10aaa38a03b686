#include "client/protocol/connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "client/protocol/guard.h"

namespace client {

namespace {

// How often the connect wait wakes up to count the seconds.
constexpr int kWaitTickMs = 100;

// A typed "host:port" (or "[address]:port" for IPv6) reaches a server on
// another port; anything else is a host name on `port`.
std::pair<QString, quint16> hostAndPort(const std::string& typed, quint16 port) {
    const QString text = QString::fromLatin1(typed.data(), static_cast<qsizetype>(typed.size()));
    const qsizetype colon = text.lastIndexOf(u':');
    const bool bracketed = text.startsWith(u'[') && colon > 0 && text[colon - 1] == u']';
    if (colon < 0 || (!bracketed && text.indexOf(u':') != colon)) return {text, port};
    bool ok = false;
    const uint typedPort = text.mid(colon + 1).toUInt(&ok);
    if (!ok || typedPort == 0 || typedPort > 65535) return {text, port};
    const QString host = bracketed ? text.mid(1, colon - 2) : text.left(colon);
    return {host, static_cast<quint16>(typedPort)};
}

}  // namespace

Connection::Connection(IClientView& view, IDialogs& dialogs, ISettings& settings, QObject* parent)
    : QObject(parent), view_(view), dialogs_(dialogs), settings_(settings) {
    connect(&Winsock1, &QTcpSocket::readyRead, this, &Connection::Winsock1_DataArrival);
    connect(&Winsock1, &QTcpSocket::disconnected, this, &Connection::Winsock1_Close);
    connect(&Winsock1, &QTcpSocket::errorOccurred, this, &Connection::Winsock1_Error);
    // Every command is a short line the server waits for: send at once.
    connect(&Winsock1, &QTcpSocket::connected, this, [this] {
        Winsock1.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        probe_.watch(Winsock1.socketDescriptor());
    });
    // The probe keeps the connection open: let it go with Qt's descriptor.
    // A close from the server is told apart before this (the error comes first).
    connect(&Winsock1, &QTcpSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState) probe_.release();
    });
}

Connection::~Connection() {
    // No status text for the window that is going away.
    Winsock1.disconnect(this);
    Winsock1.abort();
}

void Connection::ResetProbe::watch(qintptr descriptor) {
    release();
    fd_ = ::dup(static_cast<int>(descriptor));
}

bool Connection::ResetProbe::wasReset() const {
    tcp_info info{};
    socklen_t size = sizeof info;
    return fd_ >= 0 && ::getsockopt(fd_, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
           info.tcpi_state == TCP_CLOSE;
}

void Connection::ResetProbe::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void Connection::later(std::function<void()> event) {
    QMetaObject::invokeMethod(
        this, [event = std::move(event)] { guarded(event); }, Qt::QueuedConnection);
}

bool Connection::isConnected() const { return Winsock1.state() == QAbstractSocket::ConnectedState; }

void Connection::ConnectToServer() {
    if (connecting_ || isConnected()) return;
    connecting_ = true;
    if (!ConnectWithTimeout(firstHost, firstWaitSeconds) && !abandoned_) {
        const std::string host =
            dialogs_.inputBox("Enter IP address or hostname of Quorvane:", "", settings_.value("host"));
        if (!host.empty()) {
            if (ConnectWithTimeout(host, typedWaitSeconds))
                settings_.setValue("host", host);
            else if (!abandoned_)
                dialogs_.msgBox("Connect Failed");
        }
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
    reset_ = false;
    waiting_ = true;
    const auto [address, addressPort] = hostAndPort(host, port);
    Winsock1.connectToHost(address, addressPort);

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
    // Only read here: Qt raises no further readyRead until this returns, so
    // the handling, which may open a box, runs later from the event loop.
    const QByteArray bytes = Winsock1.readAll();
    if (bytes.isEmpty()) return;
    later([this, chunk = bytes.toStdString()] {
        if (onData) onData(chunk);
    });
}

void Connection::Winsock1_Close() {
    if (closingOurselves_) return;
    Winsock1_DataArrival();  // closing drops what is still buffered
    closingOurselves_ = true;
    Winsock1.close();
    closingOurselves_ = false;
    later([this, reset = std::exchange(reset_, false)] {
        if (!reset) view_.ShowStatus("Winsock1_Close");  // a reset is reported as an error
        if (onClosed) onClosed();
    });
}

void Connection::Winsock1_Error(QAbstractSocket::SocketError error) {
    std::string description = Winsock1.errorString().toStdString();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // An orderly close is the close event, not an error.
        if (!probe_.wasReset()) return;
        reset_ = true;
        description = std::strerror(ECONNRESET);
    }
    reportError(description);
}

void Connection::reportError(const std::string& description) {
    if (waiting_) {
        // The connect wait ends on the error; the player sees the socket's
        // description when it does, before any host prompt.
        view_.ShowStatus("Winsock1_Error");
        failed_ = true;
        pendingError_ = description;
        return;
    }
    // After the lines that came before it, and not from inside the socket's
    // own signal: a modal box runs an event loop.
    later([this, description] {
        view_.ShowStatus("Winsock1_Error");
        if (!abandoned_) dialogs_.msgBox(description);  // nobody left to tell
    });
}

}  // namespace client
