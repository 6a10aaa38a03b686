// Figures of the server over the loopback, against the machine's own limits:
//  - round trip of one SEAT request through the server, beside a minimal
//    blocking echo server in the same run;
//  - time from one player's bet until all six seats of a full table have
//    the table report;
//  - complete two-player hands per second across five tables, with the
//    server thread's CPU time per hand;
//  - the server's resident size idle and with ten players at tables.
// The server window runs in-process on a free port (its event loop on the
// main thread, as in the program); the players run on another thread with
// plain blocking sockets. With --memory-of PID --port P only the memory
// figures are taken, of a separately started Quorvane.
//
// Usage: server_bench [--runs N] [--only roundtrip|bet|hands] [--memory-of PID --port P]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>

#include "server/host/frm_main.h"
#include "tests/support/line_client.h"
#include "tests/support/loopback_server.h"

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// ---- sockets ----------------------------------------------------------------

// The players' line clients; every read waits at most five seconds.
using Peer = support::LineClient;

// ---- statistics ---------------------------------------------------------------

struct Stats {
    double median = 0, p99 = 0, max = 0;
    int stalls = 0;  // samples of 40 ms or more
};

Stats statsOf(std::vector<double> us) {
    Stats s;
    if (us.empty()) return s;
    std::sort(us.begin(), us.end());
    s.median = us[us.size() / 2];
    s.p99 = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    s.max = us.back();
    s.stalls = static_cast<int>(std::count_if(us.begin(), us.end(), [](double v) { return v >= 40000.0; }));
    return s;
}

double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// ---- the host -------------------------------------------------------------------

// The server window on a free loopback port, dealing repeatably; the players
// run on a thread beside its event loop (support::runBeside).
struct Host {
    Host() {
        server::HostHooks hooks;
        auto engine = std::make_shared<std::mt19937>(12345u);
        hooks.shuffle = [engine](std::span<std::int16_t> d) { std::shuffle(d.begin(), d.end(), *engine); };
        window = support::loopbackServer(hooks);
        port = window->listeningPort();
    }
    std::unique_ptr<server::frmMain> window;
    std::uint16_t port = 0;
};

// CPU time of the main thread (the server's event thread), in microseconds.
pthread_t g_mainThread;
double serverCpuMicros() {
    clockid_t id;
    if (pthread_getcpuclockid(g_mainThread, &id) != 0) return 0;
    timespec ts{};
    clock_gettime(id, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

double rssMiBOf(const std::string& statusPath) {
    std::ifstream in(statusPath);
    std::string key;
    while (in >> key) {
        if (key == "VmRSS:") {
            double kb = 0;
            in >> kb;
            return kb / 1024.0;
        }
        std::getline(in, key);
    }
    return 0;
}

// ---- round trip -----------------------------------------------------------------

constexpr int kRoundTrips = 5000;
constexpr int kWarmup = 200;

// The minimal echo server: one connection, blocking, no Nagle delay.
std::vector<double> echoRoundTrips() {
    const int lfd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(lfd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(lfd, 4);
    socklen_t len = sizeof a;
    ::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);
    std::thread echo([lfd] {
        const int fd = ::accept(lfd, nullptr, nullptr);
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        char buf[4096];
        for (;;) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            if (::send(fd, buf, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) break;
        }
        ::close(fd);
    });
    std::vector<double> us;
    {
        Peer c(ntohs(a.sin_port));
        for (int i = 0; i < kWarmup + kRoundTrips; ++i) {
            const auto t0 = Clock::now();
            c.send("SEAT");
            if (!c.readLine()) break;
            if (i >= kWarmup) us.push_back(micros(Clock::now() - t0));
        }
    }
    echo.join();
    ::close(lfd);
    return us;
}

std::vector<double> serverRoundTrips(Host& host) {
    std::vector<double> us;
    support::runBeside([&] {
        Peer c(host.port);
        if (!c.readUntil("LOGIN")) return;
        c.send("LOGIN\tbench");
        if (!c.readUntil("OK")) return;
        for (int i = 0; i < kWarmup + kRoundTrips; ++i) {
            const auto t0 = Clock::now();
            c.send("SEAT");
            const auto l = c.readLine();
            if (!l || *l != "SEAT\t-1") {
                std::fprintf(stderr, "unexpected answer\n");
                return;
            }
            if (i >= kWarmup) us.push_back(micros(Clock::now() - t0));
        }
    });
    return us;
}

// ---- bet until six reports --------------------------------------------------------

std::vector<double> betToSixReports(Host& host) {
    std::vector<double> us;
    support::runBeside([&] {
        std::vector<std::unique_ptr<Peer>> p;
        for (int i = 0; i < 6; ++i) {
            p.push_back(std::make_unique<Peer>(host.port));
            p[i]->readUntil("LOGIN");
            p[i]->send("LOGIN\ts" + std::to_string(i));
            p[i]->readUntil("OK");
        }
        p[0]->send("NEWGAME\tfull");
        p[0]->readUntil("SEAT");
        for (int i = 1; i < 6; ++i) {
            p[i]->send("JOINGAME\t1");
            p[i]->readUntil("SEAT");
        }
        p[0]->send("STARTGAME");
        for (int i = 0; i < 6; ++i) {
            p[i]->readUntil("STARTGAME");
            p[i]->send("EXCHANGE");
        }
        // Seat 0 is prompted once all six have exchanged.
        int onTurn = 0;
        if (!p[0]->readUntil("BET")) return;
        for (int i = 0; i < 6; ++i) p[i]->readUntil("EXCHANGE");  // lines queued before the prompt
        constexpr int kBets = 3000;
        std::vector<pollfd> fds(6);
        for (int n = 0; n < kWarmup + kBets; ++n) {
            std::array<bool, 6> got{};
            int have = 0;
            int nextTurn = -1;
            const auto t0 = Clock::now();
            p[onTurn]->send("BET\t1");
            Clock::time_point tAll{};
            while (have < 6 || nextTurn < 0) {
                for (int i = 0; i < 6; ++i) fds[i] = {p[i]->fd(), POLLIN, 0};
                if (::poll(fds.data(), 6, 5000) <= 0) {
                    std::fprintf(stderr, "bet: no answer\n");
                    return;
                }
                for (int i = 0; i < 6; ++i) {
                    if (!fds[i].revents) continue;
                    while (auto l = p[i]->readLine(support::Ms(0))) {
                        if (l->rfind("SEAT_BANK", 0) == 0 && !got[i]) {
                            got[i] = true;
                            if (++have == 6) tAll = Clock::now();
                        } else if (*l == "BET") {
                            nextTurn = i;
                        }
                    }
                }
            }
            if (n >= kWarmup) us.push_back(micros(tAll - t0));
            onTurn = nextTurn;
        }
    });
    return us;
}

// ---- hands per second -----------------------------------------------------------------

struct HandsResult {
    double handsPerSecond = 0;
    double cpuMicrosPerHand = 0;
    double rssTenPlayersMiB = 0;
};

HandsResult handsPerSecond(Host& host, double seconds) {
    HandsResult r;
    support::runBeside([&] {
        std::vector<std::unique_ptr<Peer>> p;
        for (int i = 0; i < 10; ++i) {
            p.push_back(std::make_unique<Peer>(host.port));
            p[i]->readUntil("LOGIN");
            p[i]->send("LOGIN\th" + std::to_string(i));
            p[i]->readUntil("OK");
        }
        for (int t = 0; t < 5; ++t) {
            p[2 * t]->send("NEWGAME\tt" + std::to_string(t));
            p[2 * t]->readUntil("SEAT");
            p[2 * t + 1]->send("JOINGAME\t" + std::to_string(t + 1));
            p[2 * t + 1]->readUntil("SEAT");
        }
        for (int t = 0; t < 5; ++t) p[2 * t]->send("STARTGAME");
        // Each hand: both keep their cards, the first bettor calls, showdown, next deal.
        long hands = 0;
        std::vector<pollfd> fds(10);
        auto play = [&](Clock::time_point until) {
            while (Clock::now() < until) {
                for (int i = 0; i < 10; ++i) fds[i] = {p[i]->fd(), POLLIN, 0};
                if (::poll(fds.data(), 10, 1000) <= 0) return;
                for (int i = 0; i < 10; ++i) {
                    if (!fds[i].revents) continue;
                    while (auto l = p[i]->readLine(support::Ms(0))) {
                        if (l->rfind("STARTGAME", 0) == 0)
                            p[i]->send("EXCHANGE");
                        else if (*l == "BET")
                            p[i]->send("BET\t0");
                        else if (i % 2 == 0 && l->rfind("WINNER", 0) == 0)
                            ++hands;
                    }
                }
            }
        };
        play(Clock::now() + std::chrono::milliseconds(300));  // warm up
        const long h0 = hands;
        const double cpu0 = serverCpuMicros();
        const auto t0 = Clock::now();
        play(t0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = serverCpuMicros() - cpu0;
        const long n = hands - h0;
        r.handsPerSecond = n / wall;
        r.cpuMicrosPerHand = n ? cpu / n : 0;
        r.rssTenPlayersMiB = rssMiBOf("/proc/self/status");
    });
    return r;
}

// ---- memory of a separate server ------------------------------------------------------

int memoryOf(int pid, std::uint16_t port) {
    const std::string status = "/proc/" + std::to_string(pid) + "/status";
    const double idle = rssMiBOf(status);
    std::vector<std::unique_ptr<Peer>> p;
    for (int i = 0; i < 10; ++i) {
        p.push_back(std::make_unique<Peer>(port));
        if (p[i]->ended() || !p[i]->readUntil("LOGIN")) {
            std::fprintf(stderr, "cannot reach the server on port %u\n", port);
            return 1;
        }
        p[i]->send("LOGIN\tm" + std::to_string(i));
        p[i]->readUntil("OK");
    }
    for (int t = 0; t < 5; ++t) {
        p[2 * t]->send("NEWGAME\tm" + std::to_string(t));
        p[2 * t]->readUntil("SEAT");
        p[2 * t + 1]->send("JOINGAME\t" + std::to_string(t + 1));
        p[2 * t + 1]->readUntil("SEAT");
    }
    // A hundred hands at each table.
    for (int h = 0; h < 100; ++h) {
        for (int t = 0; t < 5; ++t) {
            Peer& a = *p[2 * t];
            Peer& b = *p[2 * t + 1];
            if (h == 0) a.send("STARTGAME");
            a.readUntil("STARTGAME");
            b.readUntil("STARTGAME");
            a.send("EXCHANGE");
            b.send("EXCHANGE");
            a.readUntil("BET");
            a.send("BET\t0");
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double busy = rssMiBOf(status);
    std::printf("%-44s %12.1f\n", "Quorvane process RSS idle (MiB)", idle);
    std::printf("%-44s %12.1f\n", "Quorvane process RSS, ten players (MiB)", busy);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int memoryPid = 0;
    int port = 0;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs")
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--memory-of")
            memoryPid = std::atoi(argv[++i]);
        else if (a == "--port")
            port = std::atoi(argv[++i]);
        else if (a == "--only")
            only = argv[++i];
    }
    if (memoryPid > 0) return memoryOf(memoryPid, static_cast<std::uint16_t>(port));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The event loop Quorvane's main chooses (QUORVANE_BENCH_GLIB=1 measures the other).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB") && qEnvironmentVariableIsEmpty("QUORVANE_BENCH_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    g_mainThread = pthread_self();

    std::map<std::string, std::vector<double>> f;
    double rssIdle = 0;
    auto wanted = [&](const char* name) { return only.empty() || only == name; };
    for (int run = 0; run < runs; ++run) {
        if (!wanted("roundtrip")) goto bet;
        {
            const Stats echo = statsOf(echoRoundTrips());
            Host host;
            support::waitUntil([] { return false; }, support::Ms(100));  // the window settles
            if (run == 0) rssIdle = rssMiBOf("/proc/self/status");
            const Stats srv = statsOf(serverRoundTrips(host));
            f["echo median"].push_back(echo.median);
            f["echo p99"].push_back(echo.p99);
            f["echo max"].push_back(echo.max);
            f["server median"].push_back(srv.median);
            f["server p99"].push_back(srv.p99);
            f["server max"].push_back(srv.max);
            f["ratio median"].push_back(srv.median / echo.median);
            f["ratio p99"].push_back(srv.p99 / echo.p99);
            f["stalls"].push_back(echo.stalls + srv.stalls);
            std::fprintf(stderr, "run %d: round trip %.1f/%.1f us (echo %.1f/%.1f)\n", run + 1, srv.median,
                         srv.p99, echo.median, echo.p99);
        }
    bet:
        if (!wanted("bet")) goto hands;
        {
            Host table;
            const Stats bet = statsOf(betToSixReports(table));
            f["bet median"].push_back(bet.median);
            f["bet p99"].push_back(bet.p99);
            f["stalls"].push_back(bet.stalls);
            std::fprintf(stderr, "run %d: bet %.1f/%.1f us\n", run + 1, bet.median, bet.p99);
        }
    hands:
        if (!wanted("hands")) continue;
        {
            Host tables;
            const HandsResult hr = handsPerSecond(tables, 2.0);
            f["hands/s"].push_back(hr.handsPerSecond);
            f["cpu/hand"].push_back(hr.cpuMicrosPerHand);
            f["rss ten"].push_back(hr.rssTenPlayersMiB);
            std::fprintf(stderr, "run %d: %.0f hands/s\n", run + 1, hr.handsPerSecond);
        }
    }
    auto row = [&](const char* label, const std::string& key, const char* fmt = "%12.1f") {
        std::printf("%-44s ", label);
        std::printf(fmt, medianOf(f[key]));
        std::printf("\n");
    };
    std::printf("Median of %d runs\n", runs);
    std::printf("%-44s %12s\n", "figure", "value");
    row("round trip, echo server, median (us)", "echo median");
    row("round trip, echo server, p99 (us)", "echo p99");
    row("round trip, echo server, max (us)", "echo max");
    row("round trip, Quorvane, median (us)", "server median");
    row("round trip, Quorvane, p99 (us)", "server p99");
    row("round trip, Quorvane, max (us)", "server max");
    row("ratio Quorvane / echo, median", "ratio median", "%12.2f");
    row("ratio Quorvane / echo, p99", "ratio p99", "%12.2f");
    std::printf("%-44s %12.0f\n", "answers of 40 ms or more (all runs)", [&] {
        double n = 0;
        for (double v : f["stalls"]) n += v;
        return n;
    }());
    row("bet -> report at all six seats, median (us)", "bet median");
    row("bet -> report at all six seats, p99 (us)", "bet p99");
    row("two-player hands/s, five tables", "hands/s", "%12.0f");
    row("server thread CPU per hand (us)", "cpu/hand");
    std::printf("%-44s %12.1f\n", "process RSS idle, in-process (MiB)", rssIdle);
    row("process RSS, ten players, in-process (MiB)", "rss ten");
    return 0;
}
