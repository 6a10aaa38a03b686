#pragma once
// The client's side of the conversation: cutting what arrives into lines,
// reacting to each server line, the login answer with its test modes, and
// the player's commands. It reaches the screen, the player and the
// connection only through the interfaces of ports.h.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/core/ports.h"
#include "client/core/table_state.h"
#include "wire/framing.h"
#include "wire/parse.h"
#include "wire/session_state.h"

namespace client {

class clsHand;

// The longest line the trace shows: a text box lays a line out again on every
// chunk that lengthens it, which for a megabyte line takes minutes.
inline constexpr std::size_t kMaxTraceLine = 4096;

// A chunk as the trace shows it: TABs as spaces, each line cut after
// kMaxTraceLine characters. `column` carries the length of the unfinished
// last line from one chunk to the next.
std::string traceText(std::string_view chunk, std::size_t& column);

class ClientProtocol {
public:
    // All references, and the settings if any, must outlive the protocol.
    // `commandLine` is the text after the program name; it selects the test
    // modes at login. The settings offer the last name logged in with.
    ClientProtocol(IClientView& view, clsHand& hand, ILink& link, IDialogs& dialogs, IDesktop& desktop,
                   std::string commandLine, ISettings* settings = nullptr);

    // Every chunk received, in order. Each complete line is handled before
    // this returns; an incomplete one waits for the next chunk.
    void dataArrival(std::string_view chunk);

    // Sends one line (without its CR LF) and traces it.
    void winsock_SendCmd(const std::string& cmd);
    static std::string ClientStateText(std::int16_t state) { return wire::stateText(state); }
    // Takes a seat state: 4 shows the exchange control, 6 the betting
    // controls, anything else none.
    void ShowActionControls(std::int16_t n);
    // What the server is waiting for from this player.
    ActionMode mode() const { return mode_; }
    // The number of the game the player sits at, 0 for none.
    std::int32_t tableNumber() const { return tableNumber_; }
    // What this player must add to call now; 0 when nothing is owed.
    std::int32_t toCall() const { return table_.toCall(); }

    // The player's commands. Texts are Latin-1 bytes as typed.
    void mnuNewGame_Click();
    // Offers the server's list of games when it sends one, else asks for the number.
    void mnuJoinGame_Click();
    void mnuStartGame_Click();
    // Sends EXIT; true when the client may leave at once (no game running).
    bool RequestExit();
    // Exit: leaves at once when it may, otherwise after the next deal.
    void mnuExit_Click();
    // Sends the positions whose CardHidden is set in the hand.
    void cmdDone_Click();
    void cmdPass_Click();
    void cmdCall_Click();
    void cmdRaise_Click(const std::string& amount);
    // Enter in the chat box; the caller empties the box afterwards.
    void txtChat_Enter(const std::string& text);
    // The window has started closing.
    void Form_Unload();
    // The connection has gone: the player sits at no table and is logged in nowhere.
    void connectionClosed();

    wire::LineBuffer RecvBuffer;
    bool Playing = false;
    std::int16_t ExitMode = 0;  // 0 none, 1 Exit chosen, 2 window closing
    std::int16_t MySeat = 0;

private:
    void receive(std::string_view chunk);
    void handleLine(const wire::ServerLine& line);
    void loginAnswer();
    void seatColumn(const wire::srv::TableRow& row);
    void deal(const wire::Hand& cards);
    void exchangeResult(const wire::Hand& cards);
    void winner(const wire::srv::Winner& m);
    void announce(const std::string& outcome);
    void askFeatures();
    void agreeFeatures(const std::vector<std::string>& words);
    bool agreed(wire::Feature feature) const { return (agreed_ & feature) != 0; }
    void askGameNumber();
    void gamesEnd();
    void learnGameName();
    void newGame(const std::string& name);
    void joinGame(const std::string& number, const std::string& name = {});
    void acknowledged(const std::string& what, bool ok, std::optional<std::int32_t> newGame = {});
    void setTable(std::int32_t number, const std::string& name);
    void clearTable();

    IClientView& view_;
    clsHand& hand_;
    ILink& link_;
    IDialogs& dialogs_;
    IDesktop& desktop_;
    std::string commandLine_;
    ISettings* settings_;
    ActionMode mode_ = ActionMode::Idle;
    TableState table_;
    // The table: the answers to NEWGAME and to JOINGAME each come in the
    // order of the requests, so each one settles the oldest request of its
    // kind still unanswered. Only a request sent after a LOGIN gets one: the
    // server answers any request before login with LOGIN.
    std::int32_t tableNumber_ = 0;
    bool tableLeftInView_ = false;  // by a connection that closed
    std::string gameName_;
    // Number (0 for one the server refuses) and name, if known, of each join.
    std::deque<std::pair<std::int32_t, std::string>> joinsUnanswered_;
    std::deque<std::string> newGamesUnanswered_;
    bool loginSent_ = false;
    // The extension: asked for once per connection after the login, and
    // only what the server names in its answer is used.
    bool featuresAsked_ = false;
    wire::FeatureSet offered_ = 0;
    wire::FeatureSet agreed_ = 0;
    // Each GAMES request not yet ended: true when the player picks from its
    // list, false when it only names the game joined by number.
    std::deque<bool> gamesAsked_;
    std::vector<wire::srv::Game> games_;  // the list coming in
    std::string typedName_;               // the name of the last LOGIN, if the player typed it
    std::size_t traceColumn_ = 0;         // length of the trace's last line so far
    // After a line outgrew the buffer: skip input up to that line's end.
    bool skippingLine_ = false;
    bool skippedCR_ = false;
};

}  // namespace client
