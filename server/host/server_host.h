#pragma once
// The server without its window: listener, ten connection slots bound to the
// sessions, the operator's log and the turn clock. The window and the headless
// program both run one; it needs Qt Core and Network only.

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <QHostAddress>
#include <QObject>

#include "server/host/qt_socket.h"
#include "server/session/server_core.h"

class QTcpServer;
class QTimer;

namespace server {

class ServerHost : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = ServerCore::kSlots;

    // Without a shuffler the core's default shuffle deals.
    explicit ServerHost(ShuffleFn shuffle = {}, QObject* parent = nullptr);
    ~ServerHost() override;

    // Starts listening; `port` 0 lets the system choose. On failure the reason
    // is in listenError() and nobody can connect.
    bool listen(const QHostAddress& address, quint16 port);
    QString listenError() const;
    // The port the listener is bound to (0 when it is not listening).
    quint16 listeningPort() const;

    // Writes one time-stamped line to standard error and to the kept log.
    void WriteLog(const std::string& msg);
    // The log as kept: lines joined by CR LF, at most 2048 characters.
    const std::string& logText() const { return logText_; }

    ServerCore& core() { return *core_; }
    QtSocket& Winsock1(int index);  // slots 1..10
    // Whether a caller now would get a slot: a closed one, or one whose peer has gone.
    bool slotForCaller() const;

    // Seconds a player has for his exchange or bet before the server acts for
    // him; 0 turns the limit off.
    void setTurnTime(std::chrono::seconds seconds);
    std::chrono::seconds turnTime() const { return core_->turnTime(); }

    // Ends every connection at once (the program is stopping); returns how many there were.
    int closeAll();

    // Runs a handler for slot `index`; nothing it throws reaches the event loop.
    // Then sends what it queued and ends the connections that would not take it.
    void guarded(const char* where, int index, const std::function<void()>& handler);

    // The socket events, named as their log lines name them.
    void Winsock1_ConnectionRequest();
    void Winsock1_DataArrival(int index, qint64 bytesTotal);
    void Winsock1_Close(int index);
    void Winsock1_Error(int index, int number, const QString& description);

signals:
    void logWritten();

private:
    // The lowest closed slot; else the lowest whose peer has gone unnoticed,
    // closed first; else 0.
    int freeSlot();

    std::string logText_;
    QTcpServer* listener_ = nullptr;  // element 0 of the socket array
    QTimer* turnClock_ = nullptr;
    // Declared before the core so the sessions go first and never see a dead socket.
    std::array<std::unique_ptr<QtSocket>, kSlots> sockets_;
    std::unique_ptr<ServerCore> core_;
};

}  // namespace server
