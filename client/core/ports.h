#pragma once
// What the client's logic needs of the outside world. Tessarin fills these
// with its window, real dialogs and a socket; a program without a window, or
// a test, with its own objects. Every call comes on the thread that feeds
// the logic its data; texts are Latin-1 bytes.

#include <cstdint>
#include <string>

namespace client {

// The group of action controls on screen, which is also what the server is
// waiting for from this player.
enum class ActionMode {
    Idle,          // nothing asked
    CardChanging,  // choose the cards to replace, then Done
    Betting,       // Pass, Call or Raise by the amount
};

// Columns of the seat list, in the order of its headers.
enum class SeatColumn { Seat = 0, Name = 1, State = 2, Exchanged = 3, Bank = 4, Bet = 5 };

// What the seat hand needs: one card slot drawn, and the status line.
class IHandView {
public:
    virtual ~IHandView() = default;
    // Shows picture code CardNo in slot PosNo (0..4). A window repaints the
    // slot and lets pending events run before it returns.
    virtual void DrawCard(std::int16_t PosNo, std::int16_t CardNo) = 0;
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
