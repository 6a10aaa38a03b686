#include "tests/load/host_runner.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <random>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace load {

InProcessHost::InProcessHost(unsigned seed) {
    server::HostHooks hooks;
    auto engine = std::make_shared<std::mt19937>(seed);
    hooks.random = [engine] { return std::generate_canonical<double, 32>(*engine); };
    hooks.startTestClient = [] { return std::optional<std::string>{}; };
    hooks.openUrl = [](const std::string&) {};
    hooks.listenAddress = QHostAddress::LocalHost;
    window_ = std::make_unique<server::frmMain>(0, std::string(), std::move(hooks));
    port_ = window_->listeningPort();
}

InProcessHost::~InProcessHost() {
    window_.reset();
    // Let deferred deletions of the connections run before the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void InProcessHost::runBeside(const std::function<void()>& work, std::chrono::seconds limit) {
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work();
        finished = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // A guard in case the quit was posted before the loop started, and the last resort.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QTimer guard;
    guard.setInterval(50);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        if (finished || std::chrono::steady_clock::now() > deadline) loop.quit();
    });
    guard.start();
    if (!finished) loop.exec();
    worker.join();
    QCoreApplication::processEvents();
}

void InProcessHost::settle(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int InProcessHost::busySlots() {
    int busy = 0;
    for (int i = 1; i <= server::frmMain::kSlots; ++i)
        if (window_->Winsock1(i).state() != server::ISocket::kClosed) ++busy;
    return busy;
}

bool InProcessHost::logContains(const std::string& text) const {
    return window_->logText().find(text) != std::string::npos;
}

std::int64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::int64_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace load
