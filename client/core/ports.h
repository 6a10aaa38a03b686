#pragma once
// What the client's logic needs of the outside world. Tessarin fills these
// with its window, real dialogs and a socket; a program without a window, or
// a test, with its own objects. Every call comes on the thread that feeds
// the logic its data; texts are Latin-1 bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace client {

// The group of action controls on screen, which is also what the server is
// waiting for from this player.
enum class ActionMode {
    Idle,          // nothing asked
    CardChanging,  // choose the cards to replace, then Done
    Betting,       // Pass, Call or Raise by the amount
};

// Columns of the seat list, in the order of its headers. Shown holds a hand
// shown at the showdown, with its name.
enum class SeatColumn { Seat = 0, Name = 1, State = 2, Exchanged = 3, Bank = 4, Bet = 5, Shown = 6 };

// How a row of the seat list stands out.
enum class SeatMark { None, Turn, Winner };

// What the seat hand needs: one card slot drawn, and the status line.
class IHandView {
public:
    virtual ~IHandView() = default;
    // Shows picture code CardNo in slot PosNo (0..4). A window repaints the
    // slot and lets pending events run before it returns.
    virtual void DrawCard(std::int16_t PosNo, std::int16_t CardNo) = 0;
    // Slot PosNo shows card CardNo marked for the exchange. A view that
    // cannot dim a card leaves the slot empty.
    virtual void DrawMarkedCard(std::int16_t PosNo, std::int16_t /*CardNo*/);
    virtual void ShowStatus(const std::string& text) = 0;
};

// The card sound.
class ISound {
public:
    virtual ~ISound() = default;
    // Plays name + ".wav" and returns when it has finished; whether it
    // played. Never reports an error.
    virtual bool PlayWav(const std::string& name) = 0;
};

// The table as the protocol shows it.
class IClientView : public IHandView {
public:
    // Row 0..5 is the seat.
    virtual void setSeatCell(int row, SeatColumn column, const std::string& text) = 0;
    // Shows one group of action controls; a window repaints and lets
    // pending events run.
    virtual void showActionMode(ActionMode mode) = 0;
    // The protocol trace: every chunk received and every line sent.
    virtual void appendTrace(const std::string& text) = 0;
    virtual void appendChat(const std::string& text) = 0;
    virtual void setTitle(const std::string& text) = 0;
    // The player leaves: the window closes.
    virtual void closeWindow() = 0;
    // The server waits for this player; a window not in front asks the
    // desktop to point at it.
    virtual void drawAttention() = 0;
    // The number of the game the player sits at, 0 for none.
    virtual void showTable(std::int32_t /*number*/) {}

    // What a server speaking the extension (or, for the pot, the table
    // reports of any server) tells beyond the classic lines.
    // The game's name once known; empty when the player leaves it.
    virtual void showGameName(const std::string& /*name*/) {}
    // One row's mark; the protocol clears the old mark before setting a new one.
    virtual void markSeat(int /*row*/, SeatMark /*mark*/) {}
    // The line beside the seat list: the chips in the pot and what this
    // player must add to call, negative when he is out of the hand.
    // A negative pot hides the line.
    virtual void showPot(std::int32_t /*pot*/, std::int32_t /*toCall*/) {}
    // The end of a hand, shown in the table: "ann wins 20 with Two Pairs K 7 3".
    virtual void showOutcome(const std::string& /*text*/) {}
    // Whether this view shows that outcome. Only such a view is offered the
    // showdown lines; any other keeps the classic WINNER box at each hand's end.
    virtual bool showsOutcome() const { return false; }
    // One finished hand for the history panel, its lines joined by "\n".
    virtual void addHistory(const std::string& /*entry*/) {}
};

// Modal prompts and message boxes: they return when the player has answered.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // The typed text; empty when cancelled. An empty title means the
    // platform's default.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultAnswer) = 0;
    // A message box with an OK button only.
    virtual void msgBox(const std::string& text) = 0;
    // A choice among items; the index chosen, or -1 when cancelled (and
    // always from a program that cannot show a list).
    virtual int chooseItem(const std::string& /*prompt*/, const std::vector<std::string>& /*items*/) {
        return -1;
    }
};

// What the client keeps from one run to the next.
class ISettings {
public:
    virtual ~ISettings() = default;
    // Empty when nothing is kept under the key.
    virtual std::string value(const std::string& key) = 0;
    virtual void setValue(const std::string& key, const std::string& value) = 0;
};

class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Starts another copy of this program with the given arguments, without waiting.
    virtual void startSecondCopy(const std::string& arguments) = 0;
};

// The connection as the sending side sees it.
class ILink {
public:
    virtual ~ILink() = default;
    // Writes the bytes as one write; false when that failed.
    virtual bool send(const std::string& bytes) = 0;
};

}  // namespace client
