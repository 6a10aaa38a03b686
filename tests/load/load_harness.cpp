#include "tests/load/load_harness.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>
#include <thread>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include "poker/hand_value.h"

namespace load {
namespace {

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<std::int64_t>(0, left));
}

// Decimal digits with an optional minus sign and nothing else.
std::optional<std::int32_t> number(const std::string& field) {
    std::int32_t v = 0;
    const char* end = field.data() + field.size();
    if (field.empty() || field[0] == '+') return std::nullopt;
    const auto [at, ec] = std::from_chars(field.data(), end, v);
    return ec == std::errc() && at == end ? std::optional(v) : std::nullopt;
}

}  // namespace

Peer::Peer(std::uint16_t port) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) close();
}

bool Peer::sendRaw(std::string_view bytes) {
    while (fd >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return fd >= 0;
}

// One read, waiting up to the timeout when `wait`; false on timeout or end.
bool Peer::fill(int timeoutMs, bool wait) {
    if (fd < 0 || ended) return false;
    pollfd p{fd, POLLIN, 0};
    if (wait && ::poll(&p, 1, timeoutMs) <= 0) return false;
    char chunk[16384];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
    ended = n <= 0;
    return n > 0;
}

bool Peer::pump() {
    while (fill(0, false)) {
    }
    return !ended;
}

std::optional<std::string> Peer::takeLine() {
    const auto end = buffer_.find("\r\n");
    if (end == std::string::npos) return std::nullopt;
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 2);
    return line;
}

std::optional<std::string> Peer::readLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto line = takeLine()) return line;
        if (!fill(msLeft(deadline), true) && (ended || msLeft(deadline) == 0)) return std::nullopt;
    }
}

bool Peer::waitClosedByServer(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ended && msLeft(deadline) > 0) {
        fill(msLeft(deadline), true);
        buffer_.clear();
    }
    return ended;
}

void Peer::close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void Peer::reset() {
    const linger l{1, 0};
    if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close();
}

std::int64_t Report::chips() const {
    std::int64_t sum = 0;
    for (int i = 0; i < 6; ++i) sum += name[i].empty() ? 0 : std::int64_t{bank[i]} + ante[i];
    return sum;
}

int Report::players() const {
    return static_cast<int>(std::count_if(name.begin(), name.end(), [](const auto& n) { return !n.empty(); }));
}

std::vector<int> Report::bettingSeats() const {
    std::vector<int> seats;
    for (int i = 0; i < 6; ++i)
        if (!name[i].empty() && (state[i] == 5 || state[i] == 6)) seats.push_back(i);
    return seats;
}

void Player::check(const std::string& line) {
    reportDone = false;
    fields.clear();
    for (std::size_t from = 0;;) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) break;
        from = tab + 1;
    }
    const std::string& c = fields[0];
    auto bad = [&](const std::string& why) { fail("'" + line + "': " + why); };
    // The five report lines arrive together; only SEAT_ANTE may stand alone.
    static const std::map<std::string, int> stages{
        {"SEAT_ANTE", 1}, {"SEAT_NAME", 2}, {"SEAT_STATE", 3}, {"SEAT_EXCHANGE", 4}, {"SEAT_BANK", 5}};
    const auto st = stages.find(c);
    const int s = st == stages.end() ? 0 : st->second;
    if ((stage >= 2 && s != stage + 1) || (s >= 2 && stage != s - 1)) bad("breaks the order of a table report");
    stage = s == 5 ? 0 : s;
    if (s > 0) {
        if (fields.size() != 7) return bad("not seven fields");
        for (int i = 0; i < 6; ++i) {
            if (s == 2) {
                building.name[i] = fields[i + 1];
                continue;
            }
            const auto v = number(fields[i + 1]);
            if (!v || (s == 3 && (*v < 0 || *v > 6)) || (s == 4 && *v < -1)) return bad("bad value");
            (s == 1 ? building.ante : s == 3 ? building.state : s == 4 ? building.exchange : building.bank)[i] = *v;
        }
        if (s == 5) report = building, reportDone = true;
        return;
    }
    static const std::map<std::string, std::size_t> counts{
        {"HELLO", 2}, {"LOGIN", 1}, {"BET", 1}, {"OK", 2}, {"ERROR", 2}, {"SEAT", 2},
        {"WINNER", 2}, {"CHAT", 2}, {"STARTGAME", 6}, {"EXCHANGE", 6}};
    const auto want = counts.find(c);
    if (want == counts.end()) return bad("unknown line");
    if (fields.size() != want->second) return bad("wrong number of fields");
    if (c == "HELLO" && fields[1] != "Quorvane v0.924") bad("wrong title");
    const std::int32_t n = fields.size() > 1 ? number(fields[1]).value_or(-9) : -9;
    if ((c == "SEAT" && (n < -1 || n > 5)) || (c == "WINNER" && (n < 0 || n > 5))) bad("bad seat");
    if (c == "OK" && fields[1] != "LOGIN" && fields[1] != "JOINGAME") {
        const auto g = fields[1].rfind("NEWGAME ", 0) == 0 ? number(fields[1].substr(8)) : std::nullopt;
        if (!g || *g < 1 || *g > 10) bad("unexpected OK");
    }
    if (c == "STARTGAME" || c == "EXCHANGE") {
        std::bitset<52> seen;
        for (int p = 0; p < 5; ++p) {
            const auto card = number(fields[p + 1]);
            if (!card || *card < 0 || *card > 51 || seen.test(*card)) return bad("not five distinct card codes");
            seen.set(*card);
            hand[p] = static_cast<std::int16_t>(*card);
        }
        hasHand = true;
    }
}

void Player::onLine(const std::string& line) {
    check(line);
    const std::string& c = fields[0];
    if (c == "STARTGAME") {
        stopped = stopped || (stopAfterDeals > 0 && ++deals > stopAfterDeals);
        if (stopped) return;
        // Discard each card with some chance, in increasing order like the client.
        asked.clear();
        std::string request = "EXCHANGE";
        for (int p = 0; p < 5; ++p)
            if (std::uniform_int_distribution<int>(0, 9)(rng) < 3) asked.push_back(p), request += "\t" + std::to_string(p);
        beforeExchange = hand;
        send(request);
    } else if (c == "EXCHANGE") {
        for (int p = 0; p < 5; ++p)
            if (hand[p] != beforeExchange[p] && std::find(asked.begin(), asked.end(), p) == asked.end())
                fail("card at position " + std::to_string(p) + " changed without being asked for");
    } else if (c == "BET" && !stopped) {
        const int highest = *std::max_element(report.ante.begin(), report.ante.end());
        const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
        const int raise = std::uniform_int_distribution<int>(1, 20)(rng);
        send("BET\t" + std::to_string(roll < 15 ? -1 : roll < 60 || highest > 200 ? 0 : raise));
    } else if (c == "WINNER") {
        winners.push_back({std::stoi(fields[1]), report, hasHand ? std::optional(hand) : std::nullopt});
    } else if (c == "ERROR") {
        fail("refused: '" + line + "'");
    }
}

std::optional<std::string> Player::expect(const std::string& prefix) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (auto line = peer->readLine(msLeft(deadline))) {
        check(*line);
        if (line->rfind(prefix, 0) == 0) return line;
    }
    fail("no line starting with '" + prefix + "'");
    return std::nullopt;
}

void Player::send(const std::string& line) {
    if (!peer->send(line)) fail("could not send '" + line + "'");
}

bool Player::logIn(std::uint16_t port) {
    peer = std::make_unique<Peer>(port);
    if (!peer->connected() || !expect("HELLO") || !expect("LOGIN")) return false;
    send("LOGIN\t" + name);
    return expect("OK\tLOGIN").has_value();
}

int Player::newGame(const std::string& gameName) {
    send("NEWGAME\t" + gameName);
    const auto ok = expect("OK\tNEWGAME ");
    game = ok ? std::stoi(ok->substr(11)) : 0;
    seat = expect("SEAT\t0") ? 0 : -1;
    return game;
}

bool Player::joinGame(int table, int wantSeat) {
    send("JOINGAME\t" + std::to_string(table));
    game = table;
    seat = wantSeat;
    return expect("OK\tJOINGAME") && expect("SEAT\t" + std::to_string(wantSeat));
}

bool playUntil(const std::vector<Player*>& players, const std::function<bool()>& done, Clock::time_point deadline,
               const OnLine& onLine) {
    while (!done()) {
        if (msLeft(deadline) == 0) return false;
        std::vector<pollfd> fds;
        std::vector<Player*> polled;
        for (Player* p : players) {
            if (p->gone || !p->peer || p->peer->ended || p->peer->fd < 0) continue;
            fds.push_back({p->peer->fd, POLLIN, 0});
            polled.push_back(p);
        }
        if (fds.empty()) return done();
        if (::poll(fds.data(), fds.size(), std::min(msLeft(deadline), 200)) <= 0) continue;
        // Everything readable is taken in before anyone reacts, so a line sent
        // earlier to one player is seen before a later one to another.
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents != 0) polled[i]->peer->pump();
        for (Player* p : polled)
            while (!p->gone)
                if (auto line = p->peer->takeLine()) onLine ? onLine(*p, *line) : p->onLine(*line);
                else break;
    }
    return true;
}

void WinnerCheck::update() {
    for (auto n = static_cast<std::size_t>(checked); n < a_.winners.size() && n < b_.winners.size(); ++n) {
        const auto &wa = a_.winners[n], &wb = b_.winners[n];
        ++checked;
        if (wa.seat != wb.seat) a_.fail("the two players heard different winners");
        const auto betting = wa.before.bettingSeats();
        std::array<std::optional<Hand>, 6> hands;
        hands[a_.seat] = wa.hand;
        hands[b_.seat] = wb.hand;
        int best = betting.size() == 1 ? betting[0] : -1;
        if (betting.size() > 1) {
            ++showdowns;
            poker::clsHandValue bestHand;
            for (int seat : betting) {
                if (!hands[seat]) return a_.fail("no hand known for betting seat " + std::to_string(seat));
                poker::clsHandValue hv;
                hv.LoadCards(*hands[seat]);
                hv.Check_Hand();
                if (best < 0 || hv.WinsOf(bestHand).value_or(false)) best = seat, bestHand = hv;
            }
        }
        if (best != wa.seat)
            a_.fail("hand " + std::to_string(n + 1) + ": WINNER " + std::to_string(wa.seat) + ", expected " +
                    std::to_string(best));
    }
}

std::string allErrors(const std::vector<Player*>& players) {
    std::string text;
    for (const Player* p : players)
        for (const auto& e : p->errors) text += e + "\n";
    return text.substr(0, 4000);
}

std::vector<Player*> pointers(std::vector<std::unique_ptr<Player>>& owned) {
    std::vector<Player*> v;
    for (auto& p : owned) v.push_back(p.get());
    return v;
}

InProcessHost::InProcessHost() {
    server::HostHooks hooks;
    auto engine = std::make_shared<std::mt19937>(20240611u);  // repeatable deals
    hooks.random = [engine] { return std::generate_canonical<double, 32>(*engine); };
    hooks.startTestClient = [] { return std::optional<std::string>{}; };
    hooks.openUrl = [](const std::string&) {};
    hooks.listenAddress = QHostAddress::LocalHost;
    window_ = std::make_unique<server::frmMain>(0, std::string(), std::move(hooks));
    port_ = window_->listeningPort();
}

InProcessHost::~InProcessHost() {
    window_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void InProcessHost::runBeside(const std::function<void()>& work, std::chrono::seconds limit) {
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work();
        finished = true;
    });
    const auto deadline = Clock::now() + limit;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        if (finished || Clock::now() > deadline) loop.quit();
    });
    guard.start(20);
    loop.exec();
    worker.join();
    QCoreApplication::processEvents();
}

void InProcessHost::settle(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int InProcessHost::busySlots() {
    int busy = 0;
    for (int i = 1; i <= server::frmMain::kSlots; ++i) busy += window_->Winsock1(i).state() != 0;
    return busy;
}

std::int64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

}  // namespace load

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
