// How well the computer player plays. Every hand goes through the server
// window in this process over TCP on the loopback; the bots are the program's
// own session (bot::BotSession) with no think time, the reference players
// below are plain line clients written for this benchmark:
//  - a calling station draws by the usual table and always calls;
//  - a random player discards at random and folds, calls or raises (by 1 up
//    to the pot) at random.
// Runs, all on one event thread:
//  - heads-up duplicate: two servers shuffle deal k alike, the players sit
//    the other way round on the second; a pair scores the bot's mean of both;
//    bot against calling station, bot against random player, and calling
//    station against random player on the same deals;
//  - one bot and five calling stations: six servers dealing alike, the bot
//    in another seat on each;
//  - endurance: three bots (solid, loose, tight) and three random players;
//  - answer times: one bot and five calling stations on a table alone;
//  - the client fuzz corpus, as is and mutated, sent to a bot by a fake server.
// Every player draws in seat order, so a seed gives the same hands each run.
// Intervals are 95 % (1.96 standard errors). Not a pass/fail test.
//
// Usage: bot_strength_bench [--pairs N] [--six N] [--endurance N] [--latency N]
//                           [--seed S] [--corpus DIR] [--mutations N] [--only NAME]
//   NAME: headsup, six, endurance, latency, corpus

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "bot/bot_session.h"
#include "server/engine/shuffle.h"
#include "tests/support/loopback_server.h"
#include "tests/support/wait.h"
#include "wire/framing.h"
#include "wire/messages.h"
#include "wire/parse.h"
#include "wire/session_state.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Net = std::array<std::int64_t, bot::kSeats>;  // chips won or lost by each seat in one hand

// ---- deals ----------------------------------------------------------------------

// Deal k from seed + k, so that servers dealing alike stay in step even when
// one of them runs out of stock and reshuffles discards (from its own stream).
server::ShuffleFn dealByDeal(std::uint64_t seed) {
    return [seed, deal = std::uint64_t{0},
            rest = server::seededShuffler(~seed)](std::span<std::int16_t> cards) mutable {
        if (cards.size() == 52) {
            server::seededShuffler(seed + deal++)(cards);
        } else {
            rest(cards);
        }
    };
}

// ---- reference players --------------------------------------------------------

enum class Kind { Bot, Station, Random };

struct Counters {
    int botErrors = 0, refErrors = 0, disconnects = 0, stalls = 0;
    std::vector<double> exchangeUs, betUs;  // the bots' answers
};

class RefPlayer : public QObject {
public:
    RefPlayer(Kind kind, std::uint16_t port, const std::string& name, bool create, std::uint64_t seed,
              Counters& counters)
        : kind_(kind), rng_(seed), counters_(counters) {
        connect(&socket_, &QTcpSocket::readyRead, this, &RefPlayer::receive);
        connect(&socket_, &QTcpSocket::connected, this, [this, name, create] {
            socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            send(wire::loginRequest(name));
            send(create ? wire::newGameRequest("bench") : wire::joinGameRequest("1"));
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    void deal() { send(wire::startGameRequest()); }
    // Every hand that ended with WINNER, as the last report before it showed it.
    std::vector<Net> hands;
    Clock::time_point lastHand = Clock::now();

private:
    void send(const std::string& line) { socket_.write(wire::frame(line).c_str()); }

    void receive() {
        buffer_.append(socket_.readAll().toStdString());
        wire::Fields fields;
        while (buffer_.ReadCmd(fields)) handle(wire::parseServerLine(fields));
        drawInTurn();
    }

    void handle(const wire::ServerLine& line) {
        if (const auto* d = std::get_if<wire::srv::Deal>(&line)) {
            std::copy(d->cards.begin(), d->cards.end(), cards_.begin());
            toDraw_ = true;
            reportSinceDeal_ = false;
        } else if (const auto* row = std::get_if<wire::srv::TableRow>(&line)) {
            view_.apply(*row);
            if (row->field == wire::srv::SeatField::Bank) reportSinceDeal_ = true;
        } else if (const auto* s = std::get_if<wire::srv::Seat>(&line)) {
            view_.seat = s->seat;
        } else if (std::holds_alternative<wire::srv::BetPrompt>(line)) {
            bet();
        } else if (const auto* w = std::get_if<wire::srv::Winner>(&line)) {
            const std::int64_t pot = std::accumulate(view_.ante.begin(), view_.ante.end(), std::int64_t{0});
            Net net{};
            for (int s = 0; s < bot::kSeats; ++s) net[s] = (s == w->seat ? pot : 0) - view_.ante[s];
            hands.push_back(net);
            lastHand = Clock::now();
        } else if (std::holds_alternative<wire::srv::Error>(line)) {
            ++counters_.refErrors;
        }
    }

    // In seat order, once the deal's report has shown who still has to draw.
    void drawInTurn() {
        if (!toDraw_ || !reportSinceDeal_) return;
        for (int s = 0; s < view_.seat; ++s)
            if (view_.state[s] == wire::state::WaitChange && view_.exchange[s] < 0) return;
        toDraw_ = false;
        const unsigned keep = kind_ == Kind::Station ? bot::typicalKeep(cards_) : rng_() & bot::kKeepAll;
        send(wire::exchangeRequest(bot::DrawChoice{keep}.discards()));
    }

    void bet() {
        if (kind_ == Kind::Station) return send(wire::betRequest("0"));
        const std::int64_t pot = std::accumulate(view_.ante.begin(), view_.ante.end(), std::int64_t{0});
        switch (rng_() % 3) {
            case 0: return send(wire::betRequest("-1"));
            case 1: return send(wire::betRequest("0"));
            default:
                send(wire::betRequest(std::to_string(std::uniform_int_distribution<std::int64_t>(
                    1, std::clamp<std::int64_t>(pot, 1, 1'000'000))(rng_))));
        }
    }

    Kind kind_;
    std::mt19937_64 rng_;
    Counters& counters_;
    QTcpSocket socket_;
    wire::LineBuffer buffer_;
    bot::TableView view_;  // the table as the reports show it; cards are ours
    bot::Cards cards_{};
    bool toDraw_ = false, reportSinceDeal_ = false;
};

// ---- tables --------------------------------------------------------------------

struct Sitter {
    Kind kind;
    bot::Style style = bot::kSolid;
};

// One server with one table, seated in seat order; its first reference player
// deals the first hand and keeps the score.
class Table {
public:
    Table(const std::vector<Sitter>& sitters, std::uint64_t dealSeed, std::uint64_t playerSeed, int hands,
          Counters& counters)
        : hands_(hands), counters_(counters) {
        server::HostHooks hooks;
        hooks.shuffle = dealByDeal(dealSeed);
        server_ = support::loopbackServer(std::move(hooks));
        const std::uint16_t port = server_->listeningPort();
        for (std::size_t s = 0; s < sitters.size(); ++s) {
            const std::string name = (sitters[s].kind == Kind::Bot ? "bot" : "ref") + std::to_string(s);
            const std::uint64_t seed = playerSeed + s;
            if (sitters[s].kind == Kind::Bot) {
                bot::SessionOptions o;
                o.port = port;
                o.name = name;
                if (s == 0)
                    o.newGame = "bench";
                else
                    o.joinGame = 1;
                o.thinkMinMs = o.thinkMaxMs = 0;
                o.hands = hands;
                o.seed = seed;
                o.style = sitters[s].style;
                auto b = std::make_unique<bot::BotSession>(o);
                QObject::connect(b.get(), &bot::BotSession::answered, [this](client::ActionMode m, auto us) {
                    (m == client::ActionMode::CardChanging ? counters_.exchangeUs : counters_.betUs)
                        .push_back(static_cast<double>(us.count()));
                });
                // A bot leaves by itself only after its hands.
                QObject::connect(b.get(), &bot::BotSession::finished, [this, bot = b.get()](int) {
                    if (bot->handsPlayed() < hands_) ++counters_.disconnects;
                });
                b->start();
                bots_.push_back(std::move(b));
            } else {
                refs_.push_back(
                    std::make_unique<RefPlayer>(sitters[s].kind, port, name, s == 0, seed, counters));
            }
            // Seats are given in the order of arrival.
            if (!support::waitUntil([&] { return server_->core().game(1).occupied(static_cast<int>(s)); }))
                std::fprintf(stderr, "seat %zu stayed empty\n", s);
        }
        refs_.front()->deal();
    }

    ~Table() {
        for (auto& b : bots_) b->disconnect();
    }

    bool done() const { return stalled_ || static_cast<int>(refs_.front()->hands.size()) >= hands_; }
    // A table that has not finished a hand for a long time waits for an
    // answer that never came.
    void watch() {
        if (!done() && Clock::now() - refs_.front()->lastHand > 20s) {
            stalled_ = true;
            ++counters_.stalls;
        }
    }
    // The seat's result in hand k (counted from 0).
    std::int64_t net(std::size_t k, int seat) const { return refs_.front()->hands.at(k)[seat]; }
    int handsDone() const { return std::min<int>(hands_, static_cast<int>(refs_.front()->hands.size())); }
    int botErrors() const {
        int n = 0;
        for (const auto& b : bots_) n += b->errors();
        return n;
    }

private:
    int hands_;
    Counters& counters_;
    bool stalled_ = false;
    std::unique_ptr<server::frmMain> server_;
    std::vector<std::unique_ptr<bot::BotSession>> bots_;
    std::vector<std::unique_ptr<RefPlayer>> refs_;
};

void playOut(const std::vector<Table*>& tables, Counters& counters) {
    support::waitUntil(
        [&] {
            for (auto* t : tables) t->watch();
            return std::all_of(tables.begin(), tables.end(), [](const Table* t) { return t->done(); });
        },
        std::chrono::hours(2));
    for (auto* t : tables) counters.botErrors += t->botErrors();
}

// ---- statistics -------------------------------------------------------------------

struct Estimate {
    double mean = 0, half = 0;  // the interval is mean ± half
    std::size_t n = 0;
};

Estimate estimate(const std::vector<double>& xs) {
    Estimate e;
    e.n = xs.size();
    if (xs.size() < 2) return e;
    e.mean = std::accumulate(xs.begin(), xs.end(), 0.0) / static_cast<double>(xs.size());
    double ss = 0;
    for (double x : xs) ss += (x - e.mean) * (x - e.mean);
    e.half = 1.96 * std::sqrt(ss / static_cast<double>(xs.size() - 1) / static_cast<double>(xs.size()));
    return e;
}

std::string shown(const Estimate& e, double scale = 1.0) {
    char text[96];
    std::snprintf(text, sizeof text, "%+.2f  [%+.2f, %+.2f]", e.mean * scale, (e.mean - e.half) * scale,
                  (e.mean + e.half) * scale);
    return text;
}

double quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
}

// ---- runs -------------------------------------------------------------------------

// The hero's chips in each hand, from seat 0 and from seat 1 on the same deals.
struct Duplicate {
    std::vector<double> seat0, seat1;
    std::vector<double> pairs() const {  // the mean of both plays of each deal
        std::vector<double> mean;
        for (std::size_t k = 0; k < seat0.size(); ++k) mean.push_back((seat0[k] + seat1[k]) / 2);
        return mean;
    }
};

Duplicate headsUp(Kind hero, Kind villain, int pairs, std::uint64_t seed, Counters& counters) {
    Table first({{hero}, {villain}}, seed, seed * 7 + 1, pairs, counters);
    Table swapped({{villain}, {hero}}, seed, seed * 7 + 1, pairs, counters);
    playOut({&first, &swapped}, counters);
    Duplicate d;
    for (int k = 0; k < std::min(first.handsDone(), swapped.handsDone()); ++k) {
        d.seat0.push_back(static_cast<double>(first.net(k, 0)));
        d.seat1.push_back(static_cast<double>(swapped.net(k, 1)));
    }
    return d;
}

void runHeadsUp(int pairs, std::uint64_t seed, Counters& counters, int& botHands) {
    const std::pair<const char*, Duplicate> runs[] = {
        {"bot vs calling station", headsUp(Kind::Bot, Kind::Station, pairs, seed, counters)},
        {"bot vs random player", headsUp(Kind::Bot, Kind::Random, pairs, seed, counters)},
        {"calling station vs random player", headsUp(Kind::Station, Kind::Random, pairs, seed, counters)},
    };
    std::printf("Heads-up, duplicate, %d pairs (chips a hand, 95 %% interval)\n", pairs);
    for (const auto& [name, d] : runs) {
        std::printf("  %-34s %s   (%zu pairs)\n", name, shown(estimate(d.pairs())).c_str(), d.seat0.size());
        std::printf("    from seat 0 %s, from seat 1 %s\n", shown(estimate(d.seat0)).c_str(),
                    shown(estimate(d.seat1)).c_str());
    }
    botHands += static_cast<int>(2 * (runs[0].second.seat0.size() + runs[1].second.seat0.size()));
    // Bot minus calling station against the random player, deal by deal.
    const auto bot = runs[1].second.pairs(), station = runs[2].second.pairs();
    std::vector<double> edge;
    for (std::size_t k = 0; k < std::min(bot.size(), station.size()); ++k)
        edge.push_back(bot[k] - station[k]);
    std::printf("  bot minus calling station, vs random  %s\n\n", shown(estimate(edge)).c_str());
}

void runSix(int hands, std::uint64_t seed, Counters& counters, int& botHands) {
    const int deals = (hands + bot::kSeats - 1) / bot::kSeats;
    std::vector<std::unique_ptr<Table>> tables;
    std::vector<Table*> all;
    for (int botSeat = 0; botSeat < bot::kSeats; ++botSeat) {
        std::vector<Sitter> sitters(bot::kSeats, {Kind::Station});
        sitters[botSeat] = {Kind::Bot};
        tables.push_back(std::make_unique<Table>(sitters, seed, seed * 11 + 3, deals, counters));
        all.push_back(tables.back().get());
    }
    playOut(all, counters);
    std::vector<double> perDeal;  // the bot's mean over the six seats
    std::vector<std::vector<double>> bySeat(bot::kSeats);
    int n = deals;
    for (const auto& t : tables) n = std::min(n, t->handsDone());
    for (int k = 0; k < n; ++k) {
        double sum = 0;
        for (int s = 0; s < bot::kSeats; ++s) {
            sum += static_cast<double>(tables[s]->net(k, s));
            bySeat[s].push_back(static_cast<double>(tables[s]->net(k, s)));
        }
        perDeal.push_back(sum / bot::kSeats);
    }
    botHands += n * bot::kSeats;
    const Estimate e = estimate(perDeal);
    std::printf("One bot, five calling stations, %d hands (%d deals, the bot in each seat once)\n",
                n * bot::kSeats, n);
    std::printf("  bot, chips a hand                 %s\n", shown(e).c_str());
    std::printf("  bot, net over all hands           %s\n", shown(e, n * bot::kSeats).c_str());
    for (int s = 0; s < bot::kSeats; ++s)
        std::printf("    seat %d: %s\n", s, shown(estimate(bySeat[s])).c_str());
    std::printf("\n");
}

void runEndurance(int hands, std::uint64_t seed, Counters& counters, int& botHands) {
    Table t({{Kind::Bot, bot::kSolid},
             {Kind::Random},
             {Kind::Bot, bot::kLoose},
             {Kind::Random},
             {Kind::Bot, bot::kTight},
             {Kind::Random}},
            seed, seed * 13 + 5, hands, counters);
    playOut({&t}, counters);
    botHands += t.handsDone();
    std::printf("Endurance: bots solid, loose, tight at seats 0, 2, 4 with three random players, %d hands\n",
                t.handsDone());
    for (int s : {0, 2, 4}) {
        std::vector<double> xs;
        for (int k = 0; k < t.handsDone(); ++k) xs.push_back(static_cast<double>(t.net(k, s)));
        std::printf("  seat %d, chips a hand              %s\n", s, shown(estimate(xs)).c_str());
    }
    std::printf("\n");
}

// One table alone, so that no other table's bot holds up the thread: the
// bot at seat 0 (the first to bet, so that it bets at all) among five
// calling stations.
void runLatency(int hands, std::uint64_t seed) {
    Counters counters;
    std::vector<Sitter> sitters(bot::kSeats, {Kind::Station});
    sitters[0] = {Kind::Bot};
    Table t(sitters, seed, seed, hands, counters);
    playOut({&t}, counters);
    std::printf(
        "Answer times with no think time, one table alone (%d hands): from the moment the server\n"
        "has asked (deal, report and earlier seats' draws in; BET) to the answer, in the bot\n",
        t.handsDone());
    for (const auto& [what, us] : {std::pair{"exchange", &counters.exchangeUs}, {"bet", &counters.betUs}})
        std::printf("  %-8s  %4zu answers: median %.2f ms, 90 %% %.2f ms, 99 %% %.2f ms, max %.2f ms\n", what,
                    us->size(), quantile(*us, 0.5) / 1000, quantile(*us, 0.9) / 1000,
                    quantile(*us, 0.99) / 1000, quantile(*us, 1.0) / 1000);
    std::printf("\n");
}

// A fake server sends each input to a fresh bot and closes when the bot has
// nothing more to say; the bot must come to an end by itself.
void runCorpus(const std::string& dir, int mutations, std::uint64_t seed) {
    std::vector<std::string> inputs;
    if (std::filesystem::is_directory(dir))
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(in), {}};
            if (data.size() > 2) inputs.push_back(data.substr(2));  // two bytes steer the fuzzer
        }
    if (inputs.empty()) {
        std::printf("Corpus: nothing in %s\n\n", dir.c_str());
        return;
    }
    const std::size_t originals = inputs.size();
    std::mt19937_64 rng(seed);
    for (int m = 0; m < mutations; ++m) {
        std::string s = inputs[rng() % originals];
        for (int edits = 1 + static_cast<int>(rng() % 8); edits > 0 && !s.empty(); --edits) {
            const std::size_t at = rng() % s.size();
            switch (rng() % 4) {
                case 0: s[at] = static_cast<char>(rng()); break;
                case 1: s.erase(at, 1 + rng() % 16); break;
                case 2: s.insert(at, s.substr(rng() % s.size(), 1 + rng() % 64)); break;
                default: s[at] = "\t\r\n-0123456789"[rng() % 14]; break;
            }
        }
        inputs.push_back(std::move(s));
    }
    QTcpServer fake;
    fake.listen(QHostAddress::LocalHost);
    std::size_t current = 0;
    QObject::connect(&fake, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* peer = fake.nextPendingConnection()) {
            const std::string& input = inputs[current];
            peer->write(input.data(), static_cast<qint64>(input.size()));
            // Closes once the bot has been quiet for a while, so that it gets to
            // answer what the input asks of it.
            auto* quiet = new QTimer(peer);
            quiet->setSingleShot(true);
            QObject::connect(quiet, &QTimer::timeout, peer, &QTcpSocket::disconnectFromHost);
            QObject::connect(peer, &QTcpSocket::readyRead, quiet,
                             [peer, quiet] { peer->readAll(), quiet->start(30); });
            QObject::connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
            quiet->start(30);
        }
    });
    int ended = 0, hung = 0, exit0 = 0, answers = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        current = i;
        bot::SessionOptions o;
        o.port = fake.serverPort();
        o.name = "fuzz";
        o.joinGame = 1;
        o.thinkMinMs = o.thinkMaxMs = 0;
        o.seed = seed + i;
        bot::BotSession bot(o);
        int code = -1;
        QObject::connect(&bot, &bot::BotSession::finished, [&](int c) { code = c; });
        QObject::connect(&bot, &bot::BotSession::answered, [&] { ++answers; });
        bot.start();
        if (support::waitUntil([&] { return code >= 0; }, 10s)) {
            ++ended;
            exit0 += code == 0;
        } else {
            ++hung;
        }
    }
    std::printf(
        "Client fuzz corpus sent to a bot: %zu inputs (%zu files, %d mutations): %d ended (%d with 0, "
        "%d with 1), %d hung, no crash; %d exchanges and bets sent on the way\n\n",
        inputs.size(), originals, mutations, ended, exit0, ended - exit0, hung, answers);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int pairs = 1000, six = 2000, endurance = 4000, latency = 500, mutations = 1000;
    std::uint64_t seed = 2024;
    std::string only, corpus = QUORVANE_SOURCE_DIR "/fuzz/corpus/client";
    const std::map<std::string, int*> counts = {{"--pairs", &pairs},
                                                {"--six", &six},
                                                {"--endurance", &endurance},
                                                {"--latency", &latency},
                                                {"--mutations", &mutations}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i], value = argv[i + 1];
        if (counts.contains(flag)) *counts.at(flag) = std::stoi(value);
        if (flag == "--seed") seed = std::stoull(value);
        if (flag == "--corpus") corpus = value;
        if (flag == "--only") only = value;
    }
    Counters counters;
    int botHands = 0;
    const auto started = Clock::now();
    if (only.empty() || only == "headsup") runHeadsUp(pairs, seed, counters, botHands);
    if (only.empty() || only == "six") runSix(six, seed + 1, counters, botHands);
    if (only.empty() || only == "endurance") runEndurance(endurance, seed + 2, counters, botHands);
    if (botHands > 0)
        std::printf(
            "Hands with a bot: %d; ERROR answers to bots %d, to reference players %d; stalled tables %d;"
            " bots disconnected early %d\n\n",
            botHands, counters.botErrors, counters.refErrors, counters.stalls, counters.disconnects);
    if (only.empty() || only == "latency") runLatency(latency, seed + 3);
    if (only.empty() || only == "corpus") runCorpus(corpus, mutations, seed);
    std::printf("Wall time %.0f s\n", std::chrono::duration<double>(Clock::now() - started).count());
    return 0;
}
