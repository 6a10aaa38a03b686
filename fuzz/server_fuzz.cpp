// The whole server core in memory: ten sessions on fake sockets, driven by
// the input as a sequence of operations (connect, close, socket error, a
// chunk of bytes), with the server's invariants checked after every one:
//   - every table report line anyone receives has seven fields;
//   - "BET" reaches only a betting player, dealt and exchanged hands are
//     the player's own cards;
//   - the cards of the players in the hand (states 4, 5, 6) at a table are
//     real card codes and all different;
//   - the void session and the void table never change;
//   - a player sits at one table at most, and his seat and his session agree;
//   - chips are conserved: at every table whose players did not change, and
//     over the whole server unless a connection started or ended.
// Any violation aborts, which libFuzzer reports with the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "poker/cards.h"
#include "server/engine/game.h"
#include "server/session/client.h"
#include "server/session/server_core.h"
#include "server/session/socket.h"
#include "wire/framing.h"

namespace {

using server::clsClient;
using server::clsGame;
using server::ISocket;
using server::ServerCore;

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "server_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> f;
    std::size_t from = 0;
    for (auto at = line.find('\t'); at != std::string_view::npos; at = line.find('\t', from)) {
        f.push_back(line.substr(from, at - from));
        from = at + 1;
    }
    f.push_back(line.substr(from));
    return f;
}

bool isReportWord(std::string_view w) {
    return w == "SEAT_ANTE" || w == "SEAT_NAME" || w == "SEAT_STATE" || w == "SEAT_EXCHANGE" ||
           w == "SEAT_BANK";
}

// A connection in memory. Every write it accepts is checked line by line at
// the moment it is sent, when the sender's state is still the one it acted on.
class FuzzSocket : public ISocket {
public:
    int st = kClosed;
    std::string inbox;
    const clsClient* owner = nullptr;
    static inline const bool trace = std::getenv("QUORVANE_FUZZ_TRACE") != nullptr;

    int state() const override { return st; }
    void send(std::string_view bytes) override {
        if (st != kConnected) return;  // the session must drop these itself, but harmless here
        if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") fail("write without CR LF");
        std::size_t from = 0;
        for (auto at = bytes.find("\r\n"); at != std::string_view::npos; at = bytes.find("\r\n", from)) {
            checkLine(bytes.substr(from, at - from));
            from = at + 2;
        }
        if (from != bytes.size()) fail("write ends inside a line");
    }
    std::string readAll() override { return std::exchange(inbox, {}); }
    void close() override { st = kClosed; }
    std::string peerAddress() const override { return "127.0.0.1"; }
    int peerPort() const override { return 40000; }

private:
    void checkLine(std::string_view line) {
        if (trace) std::fprintf(stderr, "  -> %d: %s\n", owner->Slot(), std::string(line).c_str());
        const auto f = splitTabs(line);
        if (isReportWord(f[0]) && f.size() != 7) fail("report line without seven fields:", std::string(line));
        if (f[0] == "BET" && f.size() == 1 && !owner->IsBetting()) fail("BET prompt to a player not betting");
        if ((f[0] == "STARTGAME" || f[0] == "EXCHANGE") && f.size() > 1) {
            if (f.size() != 6) fail("hand line without five cards:", std::string(line));
            for (int p = 0; p < 5; ++p) {
                const auto n = wire::parseNumber(f[p + 1]);
                if (!n || !poker::isCardCode(*n) || *n != owner->card(p))
                    fail("hand line is not the hand:", std::string(line));
            }
        }
        if (f[0] == "WINNER") {
            const auto n = f.size() == 2 ? wire::parseNumber(f[1]) : std::nullopt;
            if (!n || *n < 0 || *n > 5) fail("WINNER without a seat:", std::string(line));
        }
    }
};

// Deterministic shuffles from a seed taken from the input (splitmix64).
struct SeededRandom {
    std::uint64_t state;
    double operator()() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }
};

class Input {
public:
    Input(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool empty() const { return at_ >= n_; }
    std::uint8_t byte() { return at_ < n_ ? d_[at_++] : 0; }
    std::string bytes(std::size_t k) {
        k = std::min(k, n_ - std::min(at_, n_));
        std::string s(reinterpret_cast<const char*>(d_ + at_), k);
        at_ += k;
        return s;
    }

private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t at_ = 0;
};

// Protocol words, weighted towards the hand commands.
constexpr const char* kWords[16] = {"LOGIN",     "LOGOUT",    "NEWGAME",  "JOINGAME", "JOINGAME", "SEAT",
                                    "STARTGAME", "STARTGAME", "EXCHANGE", "EXCHANGE", "EXCHANGE", "BET",
                                    "BET",       "BET",       "CHAT",     "EXIT"};
// Arguments: positions, amounts, table numbers, edge numbers, non-numbers, names.
constexpr const char* kArgs[32] = {
    "0",           "1",     "2",   "3",   "4",        "5",          "-1",          "10",
    "1",           "0",     "-2",  "6",   "11",       "2147483647", "-2147483648", "2147483648",
    "99999999999", "",      " 1",  "+1",  "01",       "abc",        "1000",        "995",
    "1073741824",  "-1000", "ann", "Bob", "\xC4pfel", "x y",        "\\t",         "2147483642"};

class Fuzz {
public:
    explicit Fuzz(std::uint64_t seed) {
        std::array<ISocket*, ServerCore::kSlots> ptrs{};
        for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks_[i];
        core_ = std::make_unique<ServerCore>(
            ptrs,
            [](const std::string& line) {
                // A command that throws is caught and logged by the session;
                // for the fuzzer it is a fault.
                if (line.rfind("Session error", 0) == 0) fail("exception in a session:", line);
            },
            SeededRandom{seed});
        for (int i = 1; i <= ServerCore::kSlots; ++i) socks_[i - 1].owner = &core_->client(i);
        voidSnapshot_ = describeVoid();
        snapshotChips();
    }

    void run(Input& in) {
        for (int ops = 0; ops < 4000 && !in.empty(); ++ops) {
            const std::uint8_t b = in.byte();
            const int kind = b >> 4;
            const int slot = (b & 15) % ServerCore::kSlots + 1;
            switch (kind) {
                case 0: connect(slot); break;
                case 1: close(slot, ISocket::kClosed); break;
                case 2: close(slot, ISocket::kError); break;
                case 3:
                case 4: deliver(slot, in.bytes(in.byte())); break;
                case 5:
                    // A line that never ends: the buffer bound closes the connection.
                    // Rare on purpose: a 64 KiB chunk is slow under the sanitizers.
                    if (in.byte() == 0xF1) deliver(slot, std::string(wire::kMaxPendingBytes + 1, 'x'));
                    break;
                default: {
                    const std::string line = makeLine(in);
                    const std::uint8_t cut = in.byte();
                    if (cut < 200) {
                        deliver(slot, line);
                    } else {
                        // Split across two chunks (possibly between CR and LF).
                        const std::size_t at = cut % (line.size() + 1);
                        deliver(slot, line.substr(0, at));
                        deliver(slot, line.substr(at));
                    }
                }
            }
        }
    }

private:
    FuzzSocket& sock(int i) { return socks_[i - 1]; }
    clsClient& client(int i) { return core_->client(i); }
    clsGame& game(int i) { return core_->game(i); }

    std::string makeLine(Input& in) {
        const std::uint8_t w = in.byte();
        std::string word = kWords[w & 15];
        if (w & 0x10)
            for (char& c : word) c = static_cast<char>(c - 'A' + 'a');
        if (w & 0x20) word = " " + word + "  ";
        std::string line = word;
        const int argc = in.byte() % 8;
        for (int k = 0; k < argc; ++k) {
            const std::uint8_t t = in.byte();
            line += '\t';
            if (t < 0xE0) {
                line += kArgs[t % 32];
            } else {
                line += in.bytes(t & 15);  // arbitrary bytes
            }
        }
        return line + "\r\n";
    }

    void connect(int i) {
        if (sock(i).st != ISocket::kClosed) return;  // the host only takes closed slots
        sock(i).st = ISocket::kConnected;
        client(i).winsock_Connect();
        check(Step::Connection, i);
    }

    void close(int i, int how) {
        if (sock(i).st != ISocket::kConnected) return;
        sock(i).st = how;  // the host handles an error like a close by the peer
        client(i).winsock_Disconnect();
        if (sock(i).st != ISocket::kClosed) fail("a closed session left its socket open");
        check(Step::Connection, i);
    }

    void deliver(int i, std::string bytes) {
        if (sock(i).st != ISocket::kConnected) connect(i);
        if (FuzzSocket::trace) std::fprintf(stderr, "%d <- %s\n", i, bytes.substr(0, 200).c_str());
        sock(i).inbox += bytes;
        client(i).winsock_DataArrival(static_cast<long>(bytes.size()));
        // A session may close its own connection (an overlong line): that is
        // a connection ending like any other.
        check(sock(i).st == ISocket::kConnected ? Step::Data : Step::Connection, i);
    }

    enum class Step { Data, Connection };

    std::string describeVoid() {
        const clsClient& v = core_->g_VoidClient;
        std::string d = v.m_username + "|" + std::to_string(v.ClientState) + "|" + std::to_string(v.seatno) +
                        "|" + std::to_string(v.Exchange) + "|" + std::to_string(v.Bank) + "|" +
                        std::to_string(v.Ante) + "|" + (v.m_Game == &core_->g_VoidGame ? "void" : "TABLE") +
                        "|";
        for (int p = 0; p < 5; ++p) d += std::to_string(v.card(p)) + ",";
        const clsGame& g = core_->g_VoidGame;
        d += "|" + std::to_string(g.Index) + "|" + g.GameName + "|" + std::to_string(g.DepartedPot) + "|";
        for (auto* s : g.Seats) d += s == &v ? "v" : "X";
        return d;
    }

    std::set<const clsClient*> members(int t) {
        std::set<const clsClient*> m;
        for (int s = 0; s < 6; ++s)
            if (game(t).Occupied(s)) m.insert(game(t).Seats[s]);
        return m;
    }

    std::int64_t allChips() {
        std::int64_t c = core_->g_VoidGame.DepartedPot;
        for (int i = 1; i <= ServerCore::kSlots; ++i) c += std::int64_t{client(i).Bank} + client(i).Ante;
        for (int t = 1; t <= ServerCore::kGames; ++t) c += game(t).DepartedPot;
        return c;
    }

    void snapshotChips() {
        for (int t = 1; t <= ServerCore::kGames; ++t) {
            members_[t - 1] = members(t);
            chips_[t - 1] = game(t).Chips();
        }
        allChips_ = allChips();
        for (int i = 1; i <= ServerCore::kSlots; ++i) {
            bank_[i - 1] = client(i).Bank;
            table_[i - 1] = client(i).InGame() ? client(i).m_Game->Index : 0;
        }
    }

    void check(Step step, int slot) {
        if (describeVoid() != voidSnapshot_) fail("the void session or table changed:", describeVoid());

        // One seat per player, and the seat and the session agree.
        std::array<int, ServerCore::kSlots + 1> seats{};
        for (int t = 1; t <= ServerCore::kGames; ++t) {
            clsGame& g = game(t);
            std::set<int> cards;
            for (int s = 0; s < 6; ++s) {
                const clsClient* c = g.Seats[s];
                if (c == &core_->g_VoidClient) continue;
                if (!g.Occupied(s)) fail("a seat holds a session that left", std::to_string(t));
                ++seats[c->Slot()];
                if (c->m_Game != &g || c->seatno != s) fail("seat and session disagree", std::to_string(t));
                if (c->ClientState < clsClient::WaitChange || c->ClientState > clsClient::MakeBet) continue;
                for (int p = 0; p < 5; ++p) {
                    if (!poker::isCardCode(c->card(p)))
                        fail("a player in the hand holds no card", std::to_string(t));
                    if (!cards.insert(c->card(p)).second)
                        fail("a card twice at table",
                             std::to_string(t) + " card " + std::to_string(c->card(p)));
                }
            }
        }
        for (int i = 1; i <= ServerCore::kSlots; ++i) {
            const clsClient& c = client(i);
            if (seats[i] != (c.InGame() ? 1 : 0))
                fail("a player holds more or fewer seats than tables", std::to_string(i));
            if (!c.InGame() && (c.seatno != -1 || c.Ante != 0))
                fail("a player at no table has a seat or a stake");
        }

        // Chips.
        for (int t = 1; t <= ServerCore::kGames; ++t) {
            const auto now = members(t);
            const std::int64_t chips = game(t).Chips();
            if (now == members_[t - 1]) {
                if (chips != chips_[t - 1]) fail("chips changed at table", std::to_string(t));
            } else if (step == Step::Connection && table_[slot - 1] == t) {
                // The departing player takes his bank; his stake stays in the pot.
                auto expected = members_[t - 1];
                expected.erase(&client(slot));
                if (now == expected && chips != chips_[t - 1] - bank_[slot - 1])
                    fail("chips lost when a player left table", std::to_string(t));
            }
        }
        if (step == Step::Data && allChips() != allChips_) fail("chips not conserved by a command");
        snapshotChips();
    }

    std::array<FuzzSocket, ServerCore::kSlots> socks_;
    std::unique_ptr<ServerCore> core_;
    std::string voidSnapshot_;
    std::array<std::set<const clsClient*>, ServerCore::kGames> members_;
    std::array<std::int64_t, ServerCore::kGames> chips_{};
    std::int64_t allChips_ = 0;
    std::array<std::int32_t, ServerCore::kSlots> bank_{};
    std::array<int, ServerCore::kSlots> table_{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first two bytes seed the shuffles; the rest are the operations.
    std::uint64_t seed = 0;
    for (std::size_t i = 0; i < 2 && i < size; ++i) seed = seed << 8 | data[i];
    Input in(data + std::min<std::size_t>(2, size), size - std::min<std::size_t>(2, size));
    Fuzz fuzz(seed);
    fuzz.run(in);
    return 0;
}
