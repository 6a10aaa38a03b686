#include "server/host/qt_socket.h"

#include <sys/socket.h>

#include <cerrno>

#include <QHostAddress>
#include <QTcpSocket>

namespace server {

QtSocket::QtSocket(int index, QObject* parent) : QObject(parent), index_(index) {}

QtSocket::~QtSocket() { detach(); }

void QtSocket::accept(QTcpSocket* connection) {
    detach();
    socket_ = connection;
    failed_ = false;
    closeReported_ = false;
    overflowed_ = false;
    connection->setParent(this);
    connection->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(connection, &QTcpSocket::readyRead, this,
            [this] { emit dataArrival(index_, socket_ ? socket_->bytesAvailable() : 0); });
    connect(connection, &QTcpSocket::disconnected, this,
            [this] { failure(QAbstractSocket::RemoteHostClosedError); });
    connect(connection, &QTcpSocket::errorOccurred, this, &QtSocket::failure);
}

void QtSocket::failure(QAbstractSocket::SocketError e) {
    if (!socket_) return;
    if (flushing_) {
        // Found by a send inside a handler: told once the handler is over, so
        // no table sees a player leave in the middle of its own loop.
        failed_ = true;
        QMetaObject::invokeMethod(
            this,
            [this, e, connection = socket_.data()] {
                if (socket_ != connection) return;  // closed meanwhile
                failed_ = false;
                failure(e);
            },
            Qt::QueuedConnection);
        return;
    }
    // The peer's orderly close arrives as an "error" too; it is a close.
    if (e == QAbstractSocket::RemoteHostClosedError) {
        peerClosed();
        return;
    }
    failed_ = true;
    emit error(index_, static_cast<int>(e), socket_->errorString());
}

void QtSocket::peerClosed() {
    if (!socket_ || closeReported_) return;
    closeReported_ = true;
    emit closed(index_);
}

int QtSocket::state() const {
    if (!socket_) return kClosed;
    if (failed_ || overflowed_) return kError;
    switch (socket_->state()) {
        case QAbstractSocket::UnconnectedState: return kClosed;
        case QAbstractSocket::HostLookupState: return 4;
        case QAbstractSocket::ConnectingState: return 6;
        case QAbstractSocket::ConnectedState: return kConnected;
        case QAbstractSocket::BoundState: return 1;
        case QAbstractSocket::ListeningState: return 2;
        case QAbstractSocket::ClosingState: return 8;
    }
    return kError;
}

void QtSocket::send(std::string_view bytes) {
    // Text to a connection that has gone is dropped: the game does not depend on it.
    if (state() != kConnected || bytes.empty()) return;
    const auto fits = [&] {
        return socket_->bytesToWrite() + static_cast<qint64>(bytes.size()) <= kMaxPendingOutput;
    };
    if (!fits()) {  // only what the system will not take counts
        flushing_ = true;
        socket_->flush();
        flushing_ = false;
        if (state() != kConnected) return;
    }
    if (!fits()) {
        overflowed_ = true;  // the host ends the connection once the handler is done
        return;
    }
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string QtSocket::readAll() {
    if (!socket_) return {};
    const QByteArray data = socket_->readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSocket::flush() {
    if (socket_ && socket_->bytesToWrite() > 0) socket_->flush();
}

void QtSocket::close() { detach(); }

bool QtSocket::peerGone() const {
    if (!socket_) return false;
    if (socket_->state() != QAbstractSocket::ConnectedState) return true;
    if (socket_->bytesAvailable() > 0) return false;  // its data comes first
    // A zero-byte read is the end of the stream; peeked, it leaves the data alone.
    char byte = 0;
    const ssize_t n =
        ::recv(static_cast<int>(socket_->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void QtSocket::detach() {
    if (!socket_) return;
    QTcpSocket* s = socket_;
    socket_ = nullptr;
    failed_ = false;
    overflowed_ = false;
    // Our own close raises no event: only the peer's close is reported.
    s->disconnect(this);
    // Whatever the system takes now still goes out; waiting for the rest would
    // keep the connection for as long as a peer that never reads wants.
    s->flush();
    s->abort();
    s->deleteLater();
}

std::string QtSocket::peerAddress() const {
    if (!socket_) return {};
    QHostAddress address = socket_->peerAddress();
    // A dual-stack listener reports IPv4 peers as mapped IPv6 addresses.
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) address = QHostAddress(v4);
    return address.toString().toStdString();
}

int QtSocket::peerPort() const { return socket_ ? socket_->peerPort() : 0; }

}  // namespace server
