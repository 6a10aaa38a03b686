#include "server/host/headless.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstring>
#include <iostream>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "server/engine/shuffle.h"
#include "server/host/server_host.h"

namespace server {

int runHeadless(int& argc, char** argv, const CommandLine& commandLine) {
    // SIGTERM and SIGINT arrive as data on a descriptor the event loop
    // watches, so stopping runs as an ordinary event. Blocked before Qt starts
    // any thread, so every thread leaves them to the descriptor.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    const int signalFd = pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) == 0
                             ? signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC)
                             : -1;
    if (signalFd < 0) {
        std::cerr << "Quorvane: cannot watch for SIGTERM: " << std::strerror(errno) << std::endl;
        return 1;
    }

    QCoreApplication app(argc, argv);
    ServerHost host(commandLine.seed ? seededShuffler(*commandLine.seed) : ShuffleFn{});
    if (!host.listen(QHostAddress::Any, commandLine.port)) {
        std::cerr << "Quorvane: cannot listen on port " << commandLine.port << ": "
                  << host.listenError().toStdString() << std::endl;
        return 1;
    }
    host.WriteLog("Quorvane listening on port " + std::to_string(host.listeningPort()));
    if (commandLine.seed) host.WriteLog(seedNotice(*commandLine.seed));
    if (commandLine.turnTime.count() > 0) host.setTurnTime(commandLine.turnTime);

    QSocketNotifier stop(signalFd, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info{};
        if (::read(signalFd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return;
        const int closed = host.closeAll();
        host.WriteLog(std::string("Quorvane closing on SIG") +
                      sigabbrev_np(static_cast<int>(info.ssi_signo)) + ": " + std::to_string(closed) +
                      " connection(s) closed");
        app.quit();
    });
    const int status = app.exec();
    ::close(signalFd);
    return status;
}

}  // namespace server
