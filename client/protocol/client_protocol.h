#pragma once
// The client's side of the conversation: cutting what arrives into lines,
// reacting to each server line, the login answer with its test modes, and
// the player's commands. No widgets here; it works through the interfaces
// of ports.h and the seat hand.

#include <cstdint>
#include <string>
#include <string_view>

#include "client/protocol/ports.h"
#include "wire/framing.h"

namespace client {

class clsHand;

class ClientProtocol {
public:
    // All references must outlive the protocol. `commandLine` is the text
    // after the program name; it selects the test modes at login.
    ClientProtocol(IClientView& view, clsHand& hand, ILink& link, IDialogs& dialogs, IDesktop& desktop,
                   std::string commandLine);

    // Receiving.
    void DataArrival(std::string_view chunk);
    void HandleLine(const wire::Fields& fields);
    void LoginAnswer();

    // Sending and the action controls.
    void winsock_SendCmd(const std::string& cmd);
    static std::string ClientStateText(std::int16_t state);
    void ShowActionControls(std::int16_t n);

    // The player's commands. Texts are Latin-1 bytes as typed.
    void mnuNewGame_Click();
    void mnuJoinGame_Click();
    void mnuStartGame_Click();
    // Sends EXIT; true when the client may leave at once (no game running).
    bool RequestExit();
    // Exit: leaves at once when it may, otherwise after the next deal.
    void mnuExit_Click();
    void cmdDone_Click();
    void cmdPass_Click();
    void cmdCall_Click();
    void cmdRaise_Click(const std::string& amount);
    // Enter in the chat box; the caller empties the box afterwards.
    void txtChat_Enter(const std::string& text);
    // The window has started closing.
    void Form_Unload();

    const std::string& CommandLine() const { return commandLine_; }
    ActionMode Mode() const { return mode_; }

    wire::LineBuffer RecvBuffer;
    bool Playing = false;
    std::int16_t ExitMode = 0;  // 0 none, 1 Exit chosen, 2 window closing
    std::int16_t MySeat = 0;

private:
    void seatColumn(const wire::Fields& fields);
    void deal(const wire::Fields& fields);
    void exchangeResult(const wire::Fields& fields);
    void receive(std::string_view chunk);

    IClientView& view_;
    clsHand& Hand;
    ILink& link_;
    IDialogs& dialogs_;
    IDesktop& desktop_;
    std::string commandLine_;
    ActionMode mode_ = ActionMode::Idle;
    // After a line outgrew the buffer: skip input up to that line's end.
    bool skippingLine_ = false;
    bool skippedCR_ = false;
};

}  // namespace client
