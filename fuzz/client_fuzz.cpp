// The client's receiving side without a display: the protocol logic with a
// recording view. Arbitrary server output, cut into arbitrary chunks, must
//   - give the same view (seat list, marks, pot line, outcomes, history,
//     title, chat, boxes, lists, cards, controls, sent lines; not the trace,
//     which interleaves by chunk) as the whole stream in one chunk;
//   - only ever touch the six seat rows and seven columns, and fill a cell by
//     the seat-list rules (Bet only above 0, Bank and Exchanged from 0 on,
//     State a state's text or Folded);
//   - mark at most one row as on turn, and only rows 0..5;
//   - draw only the five card slots, and keep the receive buffer bounded;
// and the player's actions mixed into the stream must never break it. One
// run in two starts with the extension agreed, so its lines are handled too.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "client/core/client_protocol.h"
#include "client/core/hand.h"
#include "client/core/ports.h"
#include "wire/framing.h"

namespace {

using client::ActionMode;
using client::SeatColumn;

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "client_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

const std::string kStateTexts[] = {"",
                                   "Waiting for Login",
                                   "Select Game",
                                   "Waiting for Game Start",
                                   "Card Changing",
                                   "Waiting for Bet",
                                   "Making Bet"};

bool isStateText(const std::string& s) {
    if (s == "Folded") return true;
    for (const auto& t : kStateTexts)
        if (s == t) return true;
    if (s.rfind("UnknownState", 0) != 0) return false;
    const auto n = wire::parseNumber(s.substr(12));
    return n && *n >= INT16_MIN && *n <= INT16_MAX && std::to_string(*n) == s.substr(12);
}

// Everything the window would show, recorded.
struct View : client::IClientView {
    std::array<std::array<std::string, 7>, 6> cells{};
    std::array<client::SeatMark, 6> marks{};
    std::vector<ActionMode> modes;
    std::string log;  // statuses, chat, title, closes, draws in order
    std::string trace;

    void setSeatCell(int row, SeatColumn column, const std::string& text) override {
        const int col = static_cast<int>(column);
        if (row < 0 || row >= 6 || col < 0 || col >= 7) fail("seat cell outside the list");
        const auto n = wire::parseNumber(text);
        switch (column) {
            case SeatColumn::Bet:
                if (!text.empty() && !(n && *n > 0)) fail("Bet cell against the rule:", text);
                break;
            case SeatColumn::Bank:
            case SeatColumn::Exchanged:
                if (!text.empty() && !(n && *n >= 0)) fail("Bank/Exchanged cell against the rule:", text);
                break;
            case SeatColumn::State:
                if (!isStateText(text)) fail("State cell is no state text:", text);
                break;
            case SeatColumn::Name:
            case SeatColumn::Shown: break;
            case SeatColumn::Seat: fail("the Seat column is written by the window only");
        }
        cells[row][col] = text;
    }
    void showActionMode(ActionMode mode) override { modes.push_back(mode); }
    void ShowStatus(const std::string& text) override { log += "status:" + text + "\n"; }
    void appendTrace(const std::string& text) override { trace += text; }
    void appendChat(const std::string& text) override { log += "chat:" + text + "\n"; }
    void setTitle(const std::string& text) override { log += "title:" + text + "\n"; }
    void closeWindow() override { log += "close\n"; }
    void drawAttention() override { log += "attention\n"; }
    void markSeat(int row, client::SeatMark mark) override {
        if (row < 0 || row >= 6) fail("mark outside the list");
        if (mark == client::SeatMark::Turn)
            for (auto m : marks)
                if (m == client::SeatMark::Turn) fail("two rows on turn");
        marks[row] = mark;
        log += "mark:" + std::to_string(row) + "=" + std::to_string(static_cast<int>(mark)) + "\n";
    }
    void showPot(std::int32_t pot, std::int32_t toCall) override {
        log += "pot:" + std::to_string(pot) + "/" + std::to_string(toCall) + "\n";
    }
    void showOutcome(const std::string& text) override { log += "outcome:" + text + "\n"; }
    bool showsOutcome() const override { return true; }
    void addHistory(const std::string& entry) override { log += "history:" + entry + "\n"; }
    void showGameName(const std::string& name) override { log += "game:" + name + "\n"; }
    void showTable(std::int32_t number) override { log += "table:" + std::to_string(number) + "\n"; }
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override {
        if (PosNo < 0 || PosNo > 4) fail("card drawn outside the five slots");
        log += "draw:" + std::to_string(PosNo) + "=" + std::to_string(CardNo) + "\n";
    }
};

struct Sound : client::ISound {
    int plays = 0;
    bool PlayWav(const std::string&) override { return ++plays, true; }
};

struct Link : client::ILink {
    bool up = true;
    std::string sent;
    bool send(const std::string& bytes) override {
        if (!up) return false;
        if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") fail("a request without CR LF");
        sent += bytes;
        return true;
    }
};

struct Dialogs : client::IDialogs {
    std::string log;
    std::string answer;
    unsigned lists = 0;
    std::string inputBox(const std::string& prompt, const std::string&, const std::string&) override {
        log += "prompt:" + prompt + "\n";
        return answer;
    }
    void msgBox(const std::string& text) override { log += "box:" + text + "\n"; }
    int chooseItem(const std::string&, const std::vector<std::string>& items) override {
        log += "choose:" + std::to_string(items.size()) + "\n";
        return static_cast<int>(lists++ % 3) - 1;  // cancels, or picks the first or second
    }
};

struct Desktop : client::IDesktop {
    std::string log;
    void startSecondCopy(const std::string& a) override { log += "copy:" + a + "\n"; }
};

struct Client {
    View view;
    Sound sound;
    client::clsHand hand{view, sound};
    Link link;
    Dialogs dialogs;
    Desktop desktop;
    client::ClientProtocol protocol;

    Client(const std::string& commandLine, const std::string& answer, bool extended)
        : protocol(view, hand, link, dialogs, desktop, commandLine) {
        dialogs.answer = answer;
        // The answer to the login prompt, the acceptance and the server's agreement.
        if (extended) feed("LOGIN\r\nOK\tLOGIN\r\nFEATURES\tturn\tshowdown\tgames\treasons\r\n");
    }

    void feed(std::string_view chunk) {
        protocol.dataArrival(chunk);
        if (protocol.RecvBuffer.size() > wire::kMaxPendingBytes) fail("receive buffer past its bound");
        if (protocol.RecvBuffer.text().find("\r\n") != std::string_view::npos)
            fail("a complete line left unread");
    }

    std::string state() const {
        std::string s;
        for (const auto& row : view.cells)
            for (const auto& c : row) s += c + "\x1f";
        for (auto m : view.modes) s += static_cast<char>('0' + static_cast<int>(m));
        // The trace is left out: received chunks and sent lines interleave in
        // it by chunk, as they did on the wire.
        s += "\n" + view.log + "\n" + link.sent + dialogs.log + desktop.log;
        s += std::to_string(sound.plays) + "|" + std::to_string(protocol.Playing) + "|" +
             std::to_string(protocol.ExitMode) + "|" + std::to_string(protocol.MySeat) + "|" +
             std::to_string(static_cast<int>(protocol.mode())) + "|" + std::to_string(protocol.toCall()) +
             "|" + std::to_string(protocol.tableNumber()) + "|" + std::string(protocol.RecvBuffer.text());
        for (std::int16_t p = 0; p < 5; ++p)
            s += "|" + std::to_string(hand.Card(p)) + (hand.CardHidden(p) ? "h" : "");
        return s;
    }
};

const char* const kCommandLines[] = {"", "-test", "-test2", "x"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string commandLine = kCommandLines[data[0] & 3];
    const bool extended = (data[0] & 0x40) != 0;  // needs a login: the prompt is answered
    const std::string answer = (data[0] & 4) || extended ? "ann" : "";
    const unsigned step = data[1] % 23 + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    // The same stream whole and cut into pieces gives the same client.
    if (stream.size() <= wire::kMaxPendingBytes) {
        Client whole(commandLine, answer, extended);
        whole.feed(stream);
        Client cut(commandLine, answer, extended);
        for (std::size_t at = 0, n = 0; at < stream.size(); at += n) {
            n = std::min<std::size_t>(stream.size() - at, (at * 7 + step) % (step * 2) + 1);
            cut.feed(stream.substr(at, n));
        }
        if (whole.state() != cut.state()) {
            std::fprintf(stderr, "--- whole:\n%s\n--- cut:\n%s\n", whole.state().c_str(),
                         cut.state().c_str());
            fail("chunking changed what the client did");
        }
    }

    // The player acts between the chunks: the first byte of each piece picks
    // an action, the rest is the chunk.
    Client c(commandLine, answer, extended);
    for (std::size_t at = 0, n = 0; at < stream.size(); at += n) {
        n = std::min<std::size_t>(stream.size() - at, (at * 13 + step) % (step * 3) + 1);
        const auto piece = stream.substr(at, n);
        switch (static_cast<std::uint8_t>(piece[0]) % 16) {
            case 0: c.protocol.mnuExit_Click(); break;
            case 1: c.protocol.Form_Unload(); break;
            case 2: c.protocol.cmdDone_Click(); break;
            case 3: c.protocol.cmdPass_Click(); break;
            case 4: c.protocol.cmdCall_Click(); break;
            case 5: c.protocol.cmdRaise_Click(std::string(piece.substr(1, 3))); break;
            case 6: c.protocol.txtChat_Enter(std::string(piece.substr(1))); break;
            case 7: c.hand.CardHidden(static_cast<std::int16_t>(piece.size() % 5)) ^= true; break;
            case 8: c.link.up = !c.link.up; break;
            case 9: c.protocol.mnuStartGame_Click(); break;
            case 10: c.protocol.mnuJoinGame_Click(); break;
            case 11: c.protocol.mnuNewGame_Click(); break;
            case 12: c.protocol.connectionClosed(); break;
            default: break;
        }
        c.feed(piece);
    }
    // An endless line is dropped up to its end, and what follows is handled.
    if ((data[0] & 0x38) != 0x38) return 0;  // one run in eight: 64 KiB is slow here
    c.feed(std::string(wire::kMaxPendingBytes + 1, 'S'));
    c.feed("\r\nSEAT\t3\r\n");
    if (c.protocol.MySeat != 3) fail("the line after an overlong one was lost");
    return 0;
}
