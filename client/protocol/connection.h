#pragma once
// The client's one connection to the server: finding the server, sending a
// line, and passing every arrived chunk on.

#include <QObject>
#include <QTcpSocket>

#include <cstdint>
#include <functional>
#include <string>

#include "client/core/ports.h"
#include "wire/messages.h"

namespace client {

class Connection : public QObject, public ILink {
    Q_OBJECT
public:
    // Status texts go to the view, prompts and boxes through the dialogs; the
    // settings keep the last host typed that answered, for the next prompt.
    Connection(IClientView& view, IDialogs& dialogs, ISettings& settings, QObject* parent = nullptr);
    ~Connection() override;

    // Where and how long to look; the program keeps the defaults.
    std::string firstHost = "127.0.0.1";
    std::uint16_t port = wire::kServerPort;
    std::int32_t firstWaitSeconds = 5;
    std::int32_t typedWaitSeconds = 30;

    // Receives each chunk of arrived bytes, from the event loop: it may open
    // boxes and prompts, and chunks arriving meanwhile are delivered inside them.
    std::function<void(const std::string&)> onData;
    // The server closed or reset the connection; after the chunks before it.
    std::function<void()> onClosed;

    // Tries the local host, then a host the player types. Does nothing while
    // connected or while an attempt is already running.
    void ConnectToServer();
    // Connects to host and waits at most `seconds`, counting them in the
    // status bar. True when connected.
    bool ConnectWithTimeout(const std::string& host, std::int32_t seconds);
    bool isConnected() const;
    // The window is closing: end any wait at once and ask the player nothing more.
    void abandon() { abandoned_ = true; }

    bool send(const std::string& bytes) override;

    QTcpSocket Winsock1;

private:
    // Qt reports a reset like an orderly close. A second descriptor of the
    // socket outlives Qt's and tells them apart: after the server's FIN the
    // connection waits for our close, after its RST it is gone.
    class ResetProbe {
    public:
        ~ResetProbe() { release(); }
        void watch(qintptr descriptor);
        bool wasReset() const;
        void release();

    private:
        int fd_ = -1;
    };

    // Runs a socket event from the event loop, in the order the events came.
    void later(std::function<void()> event);
    void Winsock1_DataArrival();
    void Winsock1_Close();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void reportError(const std::string& description);

    IClientView& view_;
    IDialogs& dialogs_;
    ISettings& settings_;
    bool connecting_ = false;  // ConnectToServer is running
    bool waiting_ = false;     // inside ConnectWithTimeout's wait
    bool failed_ = false;      // the socket reported an error during the wait
    bool closingOurselves_ = false;
    bool abandoned_ = false;
    bool reset_ = false;        // the close under way is a reset: the error path reports it
    std::string pendingError_;  // error text to show once the wait is over
    ResetProbe probe_;
};

}  // namespace client
