#include "server/host/server_host.h"

#include <algorithm>
#include <exception>
#include <iostream>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTime>
#include <QTimer>

#include "server/host/log_text.h"
#include "server/session/client.h"

namespace server {
namespace {

constexpr int kTurnClockMs = 250;

std::string toLatin1(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

ServerHost::ServerHost(ShuffleFn shuffle, QObject* parent) : QObject(parent) {
    std::array<ISocket*, kSlots> sockets{};
    for (int i = 1; i <= kSlots; ++i) {
        auto socket = std::make_unique<QtSocket>(i);
        connect(socket.get(), &QtSocket::dataArrival, this, &ServerHost::Winsock1_DataArrival);
        connect(socket.get(), &QtSocket::closed, this, &ServerHost::Winsock1_Close);
        connect(socket.get(), &QtSocket::error, this, &ServerHost::Winsock1_Error);
        sockets[i - 1] = socket.get();
        sockets_[i - 1] = std::move(socket);
    }
    // Creates the placeholders, the ten sessions bound to the slots and the ten tables.
    core_ = std::make_unique<ServerCore>(
        sockets, [this](const std::string& line) { WriteLog(line); }, std::move(shuffle));

    listener_ = new QTcpServer(this);
    // One caller per turn of the event loop: callers who have already hung up
    // are seen to go before the next one needs their slot.
    listener_->setMaxPendingConnections(1);
    connect(listener_, &QTcpServer::newConnection, this, &ServerHost::Winsock1_ConnectionRequest,
            Qt::QueuedConnection);

    turnClock_ = new QTimer(this);
    turnClock_->setInterval(kTurnClockMs);
    connect(turnClock_, &QTimer::timeout, this,
            [this] { guarded("expireTurns", 0, [&] { core_->expireTurns(); }); });
}

ServerHost::~ServerHost() = default;

bool ServerHost::listen(const QHostAddress& address, quint16 port) {
    return listener_->listen(address, port);
}

QString ServerHost::listenError() const { return listener_->errorString(); }

quint16 ServerHost::listeningPort() const { return listener_->isListening() ? listener_->serverPort() : 0; }

QtSocket& ServerHost::Winsock1(int index) {
    if (index < 1 || index > kSlots) throw std::out_of_range("Winsock1 index");
    return *sockets_[index - 1];
}

void ServerHost::WriteLog(const std::string& msg) {
    const QTime now = QTime::currentTime();
    std::cerr << logTimeStamp(now.hour(), now.minute(), now.second()) << msg << std::endl;
    logText_ = appendLogLine(std::move(logText_), now.hour(), now.minute(), now.second(), msg);
    emit logWritten();
}

void ServerHost::setTurnTime(std::chrono::seconds seconds) {
    core_->setTurnTime(std::max(seconds, std::chrono::seconds(0)));
    if (turnTime().count() > 0) {
        turnClock_->start();
        const auto count = turnTime().count();
        WriteLog("Turn time: " + std::to_string(count) + (count == 1 ? " second" : " seconds"));
    } else {
        turnClock_->stop();
        WriteLog("Turn time: off");
    }
}

int ServerHost::closeAll() {
    int open = 0;
    for (auto& socket : sockets_) {
        open += socket->state() != ISocket::kClosed;
        socket->close();
    }
    return open;
}

void ServerHost::guarded(const char* where, int index, const std::function<void()>& handler) {
    // A fault in one connection's handling must not take the server down.
    try {
        handler();
    } catch (const std::exception& ex) {
        WriteLog(std::string(where) + ": index=" + std::to_string(index) + " failed: " + ex.what());
    } catch (...) {
        WriteLog(std::string(where) + ": index=" + std::to_string(index) + " failed");
    }
    // Everything one event sent leaves now, one write per connection; left to
    // the socket, it would wait for another turn of the event loop.
    for (auto& socket : sockets_) socket->flush();
    // A peer that lets too much wait leaves like one that sent too much. His
    // leaving tells his table, which may push another over: that one is ended
    // inside, by the same rule.
    for (int i = 1; i <= kSlots; ++i) {
        if (!Winsock1(i).outputOverflowed()) continue;
        WriteLog("Send buffer overflow: index=" + std::to_string(i));
        guarded("Send buffer overflow", i, [&] { core_->client(i).winsock_Disconnect(); });
    }
}

bool ServerHost::slotForCaller() const {
    return std::ranges::any_of(sockets_,
                               [](const auto& s) { return s->state() == ISocket::kClosed || s->peerGone(); });
}

int ServerHost::freeSlot() {
    for (int i = 1; i <= kSlots; ++i)
        if (Winsock1(i).state() == ISocket::kClosed) return i;
    for (int i = 1; i <= kSlots; ++i) {
        if (!Winsock1(i).peerGone()) continue;
        Winsock1_Close(i);
        return i;
    }
    return 0;
}

void ServerHost::Winsock1_ConnectionRequest() {
    while (QTcpSocket* connection = listener_->nextPendingConnection()) {
        WriteLog("Winsock1_ConnectionRequest: index=0");
        if (const int i = freeSlot(); i > 0) {
            Winsock1(i).accept(connection);
            guarded("Winsock1_ConnectionRequest", i, [&] { core_->client(i).winsock_Connect(); });
        } else {
            // Every slot is busy: the caller is turned away at once.
            connection->abort();
            connection->deleteLater();
        }
    }
}

void ServerHost::Winsock1_DataArrival(int index, qint64 bytesTotal) {
    guarded("Winsock1_DataArrival", index,
            [&] { core_->client(index).winsock_DataArrival(static_cast<long>(bytesTotal)); });
}

void ServerHost::Winsock1_Close(int index) {
    WriteLog("Winsock1_Close: index=" + std::to_string(index));
    guarded("Winsock1_Close", index, [&] { core_->client(index).winsock_Disconnect(); });
}

void ServerHost::Winsock1_Error(int index, int /*number*/, const QString& description) {
    WriteLog("Winsock1_Error: index=" + std::to_string(index) + " err=" + toLatin1(description));
    // A broken connection ends the session like a close by the peer, so the
    // player leaves his table at once instead of haunting the slot.
    guarded("Winsock1_Error", index, [&] { core_->client(index).winsock_Disconnect(); });
}

}  // namespace server
