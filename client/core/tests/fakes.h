#pragma once
// One recorder for everything the client logic talks to.

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "client/core/ports.h"

namespace client::testing {

// Logs "send LINE", "draw POS=CODE", the sound's name, "status TEXT", "mode MODE", "attention", "close",
// "box TEXT", "prompt TEXT|TITLE|DEFAULT", "copy ARGS", "chat TEXT", "title TEXT", "table N", "keep K=V",
// "choose PROMPT|ITEM|..", "S ROW=STATE", "shown ROW=TEXT", "mark ROW=MARK", "pot P/C", "outcome TEXT",
// "history ENTRY", "game NAME".
struct FakeClient : IClientView, ISound, ILink, IDialogs, IDesktop, ISettings {
    std::vector<std::string> log;
    std::string answer;                                       // to the next prompt; empty cancels it
    int choice = -1;                                          // from the next list; -1 cancels it
    bool outcomes = true;                                     // the view shows a hand's outcome
    std::function<void(const std::string& entry)> whileOpen;  // runs while a box or prompt is open
    std::map<std::string, std::string> kept;

    std::string take() {  // the log since the last call, each entry followed by "; "
        std::string joined;
        for (const auto& entry : std::exchange(log, {})) joined += entry + "; ";
        return joined;
    }
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override {
        log.push_back("draw " + std::to_string(PosNo) + "=" + std::to_string(CardNo));
    }
    void ShowStatus(const std::string& text) override { log.push_back("status " + text); }
    // State and Shown only: the other cells are checked on the real window.
    void setSeatCell(int row, SeatColumn column, const std::string& text) override {
        if (column == SeatColumn::State || column == SeatColumn::Shown)
            log.push_back((column == SeatColumn::State ? "S " : "shown ") + std::to_string(row) + "=" + text);
    }
    void markSeat(int row, SeatMark mark) override {
        log.push_back("mark " + std::to_string(row) + "=" +
                      std::vector<std::string>{"None", "Turn", "Winner"}[int(mark)]);
    }
    void showPot(std::int32_t pot, std::int32_t toCall) override {
        log.push_back("pot " + std::to_string(pot) + "/" + std::to_string(toCall));
    }
    void showOutcome(const std::string& text) override { log.push_back("outcome " + text); }
    bool showsOutcome() const override { return outcomes; }
    void addHistory(const std::string& entry) override { log.push_back("history " + entry); }
    void showGameName(const std::string& name) override { log.push_back("game " + name); }
    void showActionMode(ActionMode mode) override {
        log.push_back("mode " + std::vector<std::string>{"Idle", "CardChanging", "Betting"}[int(mode)]);
    }
    void appendTrace(const std::string&) override {}
    void appendChat(const std::string& text) override { log.push_back("chat " + text); }
    void setTitle(const std::string& text) override { log.push_back("title " + text); }
    void closeWindow() override { log.push_back("close"); }
    void drawAttention() override { log.push_back("attention"); }
    void showTable(std::int32_t number) override { log.push_back("table " + std::to_string(number)); }
    std::string value(const std::string& key) override { return kept[key]; }
    void setValue(const std::string& key, const std::string& value) override {
        log.push_back("keep " + key + "=" + (kept[key] = value));
    }
    bool PlayWav(const std::string& name) override { return log.push_back(name), true; }
    bool send(const std::string& bytes) override {
        return log.push_back("send " + bytes.substr(0, bytes.size() - 2)), true;  // less its CR LF
    }
    std::string inputBox(const std::string& ask, const std::string& title, const std::string& def) override {
        opened("prompt " + ask + "|" + title + "|" + def);
        return std::exchange(answer, "");
    }
    void msgBox(const std::string& text) override { opened("box " + text); }
    int chooseItem(const std::string& prompt, const std::vector<std::string>& items) override {
        std::string all = "choose " + prompt;
        for (const auto& item : items) all += "|" + item;
        return opened(all), std::exchange(choice, -1);
    }
    void startSecondCopy(const std::string& arguments) override { log.push_back("copy " + arguments); }
    void opened(const std::string& entry) {
        log.push_back(entry);
        if (whileOpen) whileOpen(entry);
    }
};

}  // namespace client::testing
