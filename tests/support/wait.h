#pragma once
// The one way the socket tests wait: a condition checked until it holds or a deadline passes.

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <thread>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace support {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;
inline constexpr Ms kWaitLimit{5000};

// True once `done` holds, false when `limit` has passed first. On the application's thread the events due run
// between checks, so a server window here goes on answering; elsewhere `idle` waits (default: 1 ms).
inline bool waitUntil(const std::function<bool()>& done, Ms limit = kWaitLimit,
                      const std::function<void(Ms)>& idle = {}) {
    const auto deadline = Clock::now() + limit;
    const bool eventThread = qApp && QThread::currentThread() == qApp->thread();
    std::optional<QTimer> tick;  // wakes the event wait for what is not a Qt event
    if (eventThread) tick.emplace().start(2);
    for (Ms left = limit; !done(); left = std::chrono::duration_cast<Ms>(deadline - Clock::now())) {
        if (left <= Ms::zero()) return false;
        if (eventThread) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // as a running loop would
        } else {
            idle ? idle(left) : std::this_thread::sleep_for(std::min(left, Ms(1)));
        }
    }
    return true;
}

// Runs `work`, which bounds its own waits, on a thread of its own while this thread runs its events.
inline void runBeside(const std::function<void()>& work) {
    auto done = std::async(std::launch::async, work);
    waitUntil([&] { return done.wait_for(Ms(0)) == std::future_status::ready; }, std::chrono::minutes(5));
    done.get();  // what `work` threw, thrown here
}

}  // namespace support
