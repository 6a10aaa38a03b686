// The whole server core in memory: ten sessions on in-memory sockets, driven
// by the input as a sequence of operations (connect, close, socket error, a
// chunk of bytes, a command line), with the server's invariants (those of the
// property test, server/session/tests/invariants.h) checked after every one.
// A command that throws is a fault too. Any fault aborts, which libFuzzer
// reports with the input; QUORVANE_FUZZ_TRACE=1 prints every chunk in and out.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "server/engine/shuffle.h"
#include "server/session/server_core.h"
#include "server/session/tests/invariants.h"
#include "wire/framing.h"

namespace {

using server::ISocket;
using server::ServerCore;
using server::testing::Invariants;
using server::testing::MemorySocket;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "server_fuzz: %s\n", what.c_str());
    std::abort();
}

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
// The extension's requests (bit 0x40 of the word byte) and the feature words
// a FEATURES line names.
constexpr const char* kExtensionWords[2] = {"FEATURES", "GAMES"};
constexpr const char* kFeatureWords[5] = {"turn", "showdown", "games", "bogus", "reasons"};
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
                if (line.rfind("Session error", 0) == 0) fail(line);
            },
            server::seededShuffler(seed));
        invariants_ = std::make_unique<Invariants>(*core_);
    }

    void run(Input& in) {
        for (int ops = 0; ops < 4000 && !in.empty(); ++ops) {
            const std::uint8_t b = in.byte();
            const int slot = (b & 15) % ServerCore::kSlots + 1;
            switch (b >> 4) {
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
    MemorySocket& sock(int i) { return socks_[i - 1]; }

    static std::string makeLine(Input& in) {
        const std::uint8_t w = in.byte();
        std::string word = w & 0x40 ? kExtensionWords[w & 1] : kWords[w & 15];
        if (w & 0x10)
            for (char& c : word) c = static_cast<char>(c - 'A' + 'a');
        if (w & 0x20) word = " " + word + "  ";
        std::string line = word;
        for (int k = in.byte() % 8; k > 0; --k) {
            const std::uint8_t t = in.byte();
            line += '\t';
            if (t >= 0xE0) {
                line += in.bytes(t & 15);  // arbitrary bytes
            } else {
                line += w & 0x40 ? kFeatureWords[t % 5] : kArgs[t % 32];
            }
        }
        return line + "\r\n";
    }

    void connect(int i) {
        if (sock(i).st != ISocket::kClosed) return;  // the host only takes closed slots
        sock(i).st = ISocket::kConnected;
        core_->client(i).winsock_Connect();
        check(true, i);
    }

    void close(int i, int how) {
        if (sock(i).st != ISocket::kConnected) return;
        sock(i).st = how;  // the host handles an error like a close by the peer
        core_->client(i).winsock_Disconnect();
        if (sock(i).st != ISocket::kClosed) fail("a closed session left its socket open");
        check(true, i);
    }

    void deliver(int i, const std::string& bytes) {
        if (sock(i).st != ISocket::kConnected) connect(i);
        if (trace_) std::fprintf(stderr, "%d <- %s\n", i, bytes.substr(0, 200).c_str());
        sock(i).inbox += bytes;
        core_->client(i).winsock_DataArrival(static_cast<long>(bytes.size()));
        // A session may close its own connection (an overlong line).
        check(sock(i).st != ISocket::kConnected, i);
    }

    void check(bool connection, int slot) {
        for (int i = 1; i <= ServerCore::kSlots; ++i) {
            if (trace_ && !sock(i).sent.empty()) std::fprintf(stderr, "%d -> %s", i, sock(i).sent.c_str());
            sock(i).sent.clear();
        }
        const std::string fault = invariants_->check(connection, slot);
        if (!fault.empty()) fail(fault);
    }

    std::array<MemorySocket, ServerCore::kSlots> socks_;
    std::unique_ptr<ServerCore> core_;
    std::unique_ptr<Invariants> invariants_;
    const bool trace_ = std::getenv("QUORVANE_FUZZ_TRACE") != nullptr;
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
