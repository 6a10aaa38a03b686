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

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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
    const auto [at, ec] = std::from_chars(field.data(), end, v);
    return !field.empty() && ec == std::errc() && at == end ? std::optional(v) : std::nullopt;
}

using Fields = std::vector<std::string>;
// Fields 1..n are numbers in [lo, hi].
auto numbers(std::int32_t lo, std::int32_t hi) {
    return [lo, hi](const Fields& f) {
        return std::all_of(f.begin() + 1, f.end(), [&](const std::string& s) {
            const auto v = number(s);
            return v && *v >= lo && *v <= hi;
        });
    };
}
bool fiveDistinctCards(const Fields& f) {
    std::bitset<52> seen;
    for (std::size_t p = 1; p < f.size(); ++p) {
        const auto card = number(f[p]);
        if (!card || *card < 0 || *card > 51 || seen.test(*card)) return false;
        seen.set(*card);
    }
    return true;
}
bool anything(const Fields&) { return true; }

struct Rule {
    std::size_t fields;
    std::function<bool(const Fields&)> valid;
};
bool okAnswer(const Fields& f) {
    const int g = f[1].rfind("NEWGAME ", 0) == 0 ? number(f[1].substr(8)).value_or(0) : 0;
    return f[1] == "LOGIN" || f[1] == "JOINGAME" || (g >= 1 && g <= 10);
}

// Each line kind: its number of fields and what they may hold.
const std::map<std::string, Rule> kRules{
    {"HELLO", {2, [](const Fields& f) { return f[1] == "Quorvane v0.924"; }}},
    {"OK", {2, okAnswer}},
    {"LOGIN", {1, anything}},
    {"BET", {1, anything}},
    {"ERROR", {2, anything}},
    {"CHAT", {2, anything}},
    {"SEAT", {2, numbers(-1, 5)}},
    {"WINNER", {2, numbers(0, 5)}},
    {"STARTGAME", {6, fiveDistinctCards}},
    {"EXCHANGE", {6, fiveDistinctCards}},
    {"SEAT_ANTE", {7, numbers(INT32_MIN, INT32_MAX)}},
    {"SEAT_NAME", {7, anything}},
    {"SEAT_STATE", {7, numbers(0, 6)}},
    {"SEAT_EXCHANGE", {7, numbers(-1, INT32_MAX)}},
    {"SEAT_BANK", {7, numbers(INT32_MIN, INT32_MAX)}},
};
const std::map<std::string, Report::Row> kReportRows{{"SEAT_ANTE", Report::Ante},
                                                     {"SEAT_NAME", Report::Name},
                                                     {"SEAT_STATE", Report::State},
                                                     {"SEAT_EXCHANGE", Report::Exchange},
                                                     {"SEAT_BANK", Report::Bank}};

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

std::optional<std::string> Peer::readLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const auto end = buffer_.find("\r\n"); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 2);
            return line;
        }
        pollfd p{fd, POLLIN, 0};
        if (fd < 0 || ended || ::poll(&p, 1, msLeft(deadline)) <= 0) return std::nullopt;
        char chunk[16384];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
        ended = n == 0 || (n < 0 && errno != EINTR);
    }
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
    for (int i = 0; i < 6; ++i) sum += name[i].empty() ? 0 : std::int64_t{row[Bank][i]} + row[Ante][i];
    return sum;
}

int Report::players() const {
    return static_cast<int>(
        std::count_if(name.begin(), name.end(), [](const auto& n) { return !n.empty(); }));
}

std::vector<int> Report::bettingSeats() const {
    std::vector<int> seats;
    for (int i = 0; i < 6; ++i)
        if (!name[i].empty() && (row[State][i] == 5 || row[State][i] == 6)) seats.push_back(i);
    return seats;
}

bool Player::check(const std::string& line) {
    reportDone = false;
    fields.clear();
    for (std::size_t from = 0;;) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) break;
        from = tab + 1;
    }
    const auto rule = kRules.find(fields[0]);
    if (rule == kRules.end() || fields.size() != rule->second.fields || !rule->second.valid(fields)) {
        fail("breaks the protocol: '" + line + "'");
        return false;
    }
    if (const auto r = kReportRows.find(fields[0]); r != kReportRows.end()) {
        for (int i = 0; i < 6; ++i)
            if (r->second == Report::Name)
                building.name[i] = fields[i + 1];
            else
                building.row[r->second][i] = *number(fields[i + 1]);
        if (r->second == Report::Bank) report = building, reportDone = true;
    } else if (fields[0] == "STARTGAME" || fields[0] == "EXCHANGE") {
        for (int p = 0; p < 5; ++p) hand[p] = static_cast<std::int16_t>(*number(fields[p + 1]));
    } else if (fields[0] == "WINNER") {
        winners.push_back({*number(fields[1]), report, hand});
    }
    return true;
}

std::optional<std::string> Player::expect(const std::string& prefix) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (auto line = peer->readLine(msLeft(deadline)))
        if (check(*line) && line->rfind(prefix, 0) == 0) return line;
    fail("no line starting with '" + prefix + "'");
    return std::nullopt;
}

void Player::send(const std::string& line) {
    if (!peer->send(line)) fail("could not send '" + line + "'");
}

bool Player::logIn(std::uint16_t port) {
    peer = std::make_unique<Peer>(port);
    if (!expect("HELLO") || !expect("LOGIN")) return false;
    send("LOGIN\t" + name);
    return expect("OK\tLOGIN").has_value();
}

bool Player::newGame(const std::string& gameName) {
    send("NEWGAME\t" + gameName);
    const auto ok = expect("OK\tNEWGAME ");
    game = ok ? std::stoi(ok->substr(11)) : 0;
    seat = 0;
    return ok && expect("SEAT\t0");
}

bool Player::joinGame(int table, int wantSeat) {
    send("JOINGAME\t" + std::to_string(table));
    game = table;
    seat = wantSeat;
    return expect("OK\tJOINGAME") && expect("SEAT\t" + std::to_string(wantSeat));
}

bool Player::play(int hands, const Hook& hook) {
    const auto deadline = Clock::now() + std::chrono::seconds(kSanitized ? 150 : 50);
    int deals = 0;
    std::string asked;
    Hand dealt{};
    while (auto line = peer->readLine(msLeft(deadline))) {
        if (!check(*line) || (hook && hook(*this, *line))) continue;
        const std::string& c = fields[0];
        if (c == "STARTGAME") {
            if (++deals > hands) return true;
            // Each card is given up with some chance, in increasing order like the client.
            std::string request = "EXCHANGE";
            for (int p = 0; p < 5; ++p)
                if (std::uniform_int_distribution<int>(0, 9)(rng) < 3) request += "\t" + std::to_string(p);
            send(request);
            asked = request, dealt = hand;
        } else if (c == "EXCHANGE") {
            for (int p = 0; p < 5; ++p)
                if (hand[p] != dealt[p] && asked.find(std::to_string(p)) == std::string::npos)
                    fail("card at position " + std::to_string(p) + " changed without being asked for");
        } else if (c == "BET") {
            const auto& antes = report.row[Report::Ante];
            const int highest = *std::max_element(antes.begin(), antes.end());
            const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
            const int raise = std::uniform_int_distribution<int>(1, 20)(rng);
            send("BET\t" + std::to_string(roll < 15 ? -1 : roll < 60 || highest > 200 ? 0 : raise));
        } else if (c == "ERROR") {
            fail("refused: '" + *line + "'");
        }
    }
    return false;
}

int checkWinners(Player& a, Player& b) {
    if (a.winners.size() != b.winners.size()) a.fail("the two players heard a different number of winners");
    int showdowns = 0;
    for (std::size_t n = 0; n < std::min(a.winners.size(), b.winners.size()); ++n) {
        const auto &wa = a.winners[n], &wb = b.winners[n];
        if (wa.seat != wb.seat) a.fail("the two players heard different winners");
        const auto betting = wa.before.bettingSeats();
        int best = betting.size() == 1 ? betting[0] : -1;
        if (betting.size() > 1) {
            ++showdowns;
            poker::clsHandValue bestHand;
            for (int seat : betting) {
                if (seat != a.seat && seat != b.seat)
                    return a.fail("no hand known for seat " + std::to_string(seat)), 0;
                poker::clsHandValue hv;
                hv.LoadCards(seat == a.seat ? wa.hand : wb.hand);
                hv.Check_Hand();
                if (best < 0 || hv.WinsOf(bestHand).value_or(false)) best = seat, bestHand = hv;
            }
        }
        if (best != wa.seat)
            a.fail("hand " + std::to_string(n + 1) + ": WINNER " + std::to_string(wa.seat) + ", expected " +
                   std::to_string(best));
    }
    return showdowns;
}

std::string allErrors(const std::vector<Player*>& players) {
    std::string text;
    for (const Player* p : players)
        for (const auto& e : p->errors) text += e + "\n";
    return text.substr(0, 4000);
}

void together(const std::vector<std::function<void()>>& jobs) {
    std::vector<std::thread> threads;
    for (const auto& job : jobs) threads.emplace_back(job);
    for (auto& t : threads) t.join();
}

InProcessHost::InProcessHost() {
    server::HostHooks hooks;
    auto engine = std::make_shared<std::mt19937>(20240611u);  // repeatable deals
    hooks.shuffle = [engine](std::span<std::int16_t> d) { std::shuffle(d.begin(), d.end(), *engine); };
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

void InProcessHost::runBeside(const std::function<void()>& work) {
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work();
        finished = true;
    });
    const auto deadline = Clock::now() + std::chrono::seconds(200);
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
