#pragma once
// One recorder for everything the client logic talks to, and a protocol wired to it.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "client/core/client_protocol.h"
#include "client/core/hand.h"

namespace client::testing {

using Lines = std::vector<std::string>;

struct FakeClient : IClientView, ISound, ILink, IDialogs, IDesktop, ISettings {
    // In order: "send LINE", "draw POS=CODE", "wav", "status TEXT", "mode MODE", "attention", "close",
    // "box TEXT", "prompt TEXT|TITLE|DEFAULT", "copy ARGS", "chat TEXT", "title TEXT", "table N",
    // "keep KEY=VALUE".
    Lines log;
    std::array<std::array<std::string, 6>, 6> cells{};  // [row][column]
    std::string trace;
    bool up = true;                                           // the link
    Lines answers;                                            // none left: the prompt is cancelled
    std::function<void(const std::string& entry)> whileOpen;  // runs while a box or prompt is open
    std::map<std::string, std::string> kept;                  // the settings

    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override {
        log.push_back("draw " + std::to_string(PosNo) + "=" + std::to_string(CardNo));
    }
    void ShowStatus(const std::string& text) override { log.push_back("status " + text); }
    void setSeatCell(int row, SeatColumn column, const std::string& text) override {
        cells.at(row).at(static_cast<int>(column)) = text;
    }
    void showActionMode(ActionMode mode) override {
        log.push_back(std::string("mode ") + std::array{"Idle", "CardChanging", "Betting"}[int(mode)]);
    }
    void appendTrace(const std::string& text) override { trace += text; }
    void appendChat(const std::string& text) override { log.push_back("chat " + text); }
    void setTitle(const std::string& text) override { log.push_back("title " + text); }
    void closeWindow() override { log.push_back("close"); }
    void drawAttention() override { log.push_back("attention"); }
    void showTable(std::int32_t number) override { log.push_back("table " + std::to_string(number)); }
    std::string value(const std::string& key) override { return kept[key]; }
    void setValue(const std::string& key, const std::string& value) override {
        log.push_back("keep " + key + "=" + (kept[key] = value));
    }
    bool PlayWav(const std::string& name) override {
        return log.push_back(name == "cardd" ? "wav" : name), true;
    }
    bool send(const std::string& bytes) override {
        EXPECT_TRUE(bytes.ends_with("\r\n"));
        if (up) log.push_back("send " + bytes.substr(0, bytes.size() - 2));
        return up;
    }
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& def) override {
        log.push_back("prompt " + prompt + "|" + title + "|" + def);
        if (whileOpen) whileOpen(log.back());
        const std::string answer = answers.empty() ? "" : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return answer;
    }
    void msgBox(const std::string& text) override {
        log.push_back("box " + text);
        if (whileOpen) whileOpen(log.back());
    }
    void startSecondCopy(const std::string& arguments) override { log.push_back("copy " + arguments); }
};

class ClientTest : public ::testing::Test {
protected:
    ClientTest() { start(""); }
    void start(const std::string& commandLine) {
        protocol = std::make_unique<ClientProtocol>(fake, hand, fake, fake, fake, commandLine, &fake);
    }
    void feed(const std::string& chunk) { protocol->dataArrival(chunk); }
    // Runs a script of steps joined by "|": "$args" starts afresh with that command line,
    // "@Command argument" is the player's, "?text" the answer to the next prompt, "~bytes"
    // a raw chunk from the server, anything else a line from it.
    void run(const std::string& script) {
        for (std::size_t at = 0, end = 0; at <= script.size(); at = end + 1) {
            end = std::min(script.find('|', at), script.size());
            step(script.substr(at, end - at));
        }
    }
    void step(const std::string& s) {
        const std::string verb = s.substr(0, s.find(' ')),
                          arg = s.substr(std::min(s.size(), verb.size() + 1));
        using P = ClientProtocol;
        static const std::map<std::string, void (P::*)()> commands = {
            {"@Done", &P::cmdDone_Click},         {"@Pass", &P::cmdPass_Click},
            {"@Call", &P::cmdCall_Click},         {"@NewGame", &P::mnuNewGame_Click},
            {"@JoinGame", &P::mnuJoinGame_Click}, {"@StartGame", &P::mnuStartGame_Click},
            {"@Exit", &P::mnuExit_Click},         {"@Close", &P::Form_Unload}};
        if (s.starts_with('$')) return fake = FakeClient{}, start(s.substr(1));
        if (s.starts_with('?')) return fake.answers.push_back(s.substr(1));
        if (s.starts_with('~')) return feed(s.substr(1));
        if (!s.starts_with('@')) return feed(s + "\r\n");
        if (verb == "@Raise") return protocol->cmdRaise_Click(arg);
        if (verb == "@Chat") return protocol->txtChat_Enter(arg);
        if (verb == "@Mark") return void(hand.CardHidden(std::stoi(arg)) ^= true);
        ASSERT_TRUE(commands.contains(verb)) << s;
        (protocol.get()->*commands.at(verb))();
    }
    // The log since the last call, entries joined by "; ".
    std::string take() {
        std::string joined;
        for (const auto& entry : std::exchange(fake.log, {})) joined += (joined.empty() ? "" : "; ") + entry;
        return joined;
    }

    FakeClient fake;
    clsHand hand{fake, fake};
    std::unique_ptr<ClientProtocol> protocol;
};

}  // namespace client::testing
