#pragma once
// The server window in-process on a free loopback port, and a way to run
// scripted players on another thread while the server's event loop keeps
// the main thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "server/host/frm_main.h"

namespace load {

// True in the AddressSanitizer build, which runs several times slower: the
// tests scale their counts down there and skip the memory bound.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// `normal` in the plain build, `sanitized` under the sanitizers.
inline int scaled(int normal, int sanitized) { return kSanitized ? sanitized : normal; }

class InProcessHost {
public:
    // A fixed seed makes the deals of a failing run repeatable.
    explicit InProcessHost(unsigned seed = 20240611u);
    ~InProcessHost();

    std::uint16_t port() const { return port_; }
    server::frmMain& window() { return *window_; }

    // Runs `work` on its own thread and the server's event loop here until it
    // returns. `work` must bound its own waits; `limit` is only a last guard
    // after which the event loop stops being run (the work's reads then time out).
    void runBeside(const std::function<void()>& work, std::chrono::seconds limit = std::chrono::seconds(120));

    // Runs the event loop for a while (lets closes and resets be handled).
    void settle(int ms);

    // Number of slots whose socket is not closed.
    int busySlots();

    // Whether some log line contains `text`.
    bool logContains(const std::string& text) const;

private:
    std::unique_ptr<server::frmMain> window_;
    std::uint16_t port_ = 0;
};

// Resident set size of this process in bytes (from /proc/self/statm).
std::int64_t residentBytes();

}  // namespace load
