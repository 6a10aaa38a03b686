#pragma once
// One connection slot of the server window: a session's socket over QTcpSocket.

#include <QAbstractSocket>
#include <QObject>
#include <QPointer>
#include <QString>

#include "server/session/socket.h"

class QTcpSocket;

namespace server {

class QtSocket : public QObject, public ISocket {
    Q_OBJECT
public:
    // What may wait for a peer that does not read, counting the socket's own
    // buffer; past it the connection fails and is to be ended.
    static constexpr qint64 kMaxPendingOutput = 1 << 20;

    // `index` is the slot number (1..10) reported with every event.
    explicit QtSocket(int index, QObject* parent = nullptr);
    ~QtSocket() override;

    int index() const { return index_; }

    // Takes over an accepted connection (and its ownership). Only called while
    // state() is 0; turns off the Nagle delay so every line leaves at once.
    void accept(QTcpSocket* connection);

    // The numbers the monitor shows: 0 closed, 1 open, 2 listening,
    // 4 resolving host, 6 connecting, 7 connected, 8 closing, 9 error.
    int state() const override;
    void send(std::string_view bytes) override;
    std::string readAll() override;
    // Ends the connection at once: what the peer has not taken by now is
    // dropped, and the slot and its descriptor are free.
    void close() override;
    // True once a send found more than kMaxPendingOutput waiting.
    bool outputOverflowed() const { return overflowed_; }
    // True when the peer has hung up but no event has said so yet.
    bool peerGone() const;
    // Writes what the handlers queued to the system now, as one write,
    // rather than on a later turn of the event loop.
    void flush();
    std::string peerAddress() const override;
    int peerPort() const override;

signals:
    void dataArrival(int index, qint64 bytesTotal);
    // The peer ended the connection. Not raised for a close made on our side.
    void closed(int index);
    void error(int index, int number, const QString& description);

private:
    void detach();
    void failure(QAbstractSocket::SocketError e);
    void peerClosed();

    int index_;
    QPointer<QTcpSocket> socket_;
    bool failed_ = false;         // an error was reported and the socket is not yet closed
    bool closeReported_ = false;  // the peer's close has been passed on once
    bool overflowed_ = false;     // a send went past kMaxPendingOutput
    bool flushing_ = false;       // a send is handing data to the system
};

}  // namespace server
