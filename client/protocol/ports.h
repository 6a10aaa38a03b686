#pragma once
// What the client's protocol logic needs of the outside world. The program
// fills these with the window, real dialogs and the desktop; tests with
// recorders, so no prompt, box or process ever blocks a test.

#include <string>

#include "client/table/action_mode.h"

namespace client {

// Columns of the seat list, as the window's headers order them.
enum class SeatColumn { Seat = 0, Name = 1, State = 2, Exchanged = 3, Bank = 4, Bet = 5 };

// The table window as the protocol sees it. Texts are Latin-1 bytes.
class IClientView {
public:
    virtual ~IClientView() = default;
    virtual void SetSeatCell(int row, SeatColumn column, const std::string& text) = 0;
    // Shows one group of action controls, repaints and lets pending events run.
    virtual void ShowActionMode(ActionMode mode) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void AppendTrace(const std::string& text) = 0;
    virtual void AppendChat(const std::string& text) = 0;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void CloseWindow() = 0;
    // Asks the desktop to draw attention to the window when it is not active.
    virtual void DrawAttention() = 0;
};

// Modal prompts and message boxes.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Returns the typed text; empty when cancelled. An empty title means the
    // platform's default.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultAnswer) = 0;
    // A message box with an OK button only.
    virtual void MsgBox(const std::string& text) = 0;
};

// Things the client asks of the desktop.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Starts another copy of this program with the given arguments, without waiting.
    virtual void StartSecondCopy(const std::string& arguments) = 0;
    // Opens a link in the default browser; failure is ignored.
    virtual void OpenLink(const std::string& url) = 0;
};

// The connection as the sending side sees it.
class ILink {
public:
    virtual ~ILink() = default;
    // Writes the bytes as one write; false when that failed.
    virtual bool Send(const std::string& bytes) = 0;
};

}  // namespace client
