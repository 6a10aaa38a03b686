#pragma once
// One recorder for all the client logic talks to: each call an entry of its log, as "send LINE; ".

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "client/core/ports.h"

namespace client::testing {

struct FakeClient : IClientView, ISound, ILink, IDialogs, IDesktop, ISettings {
    std::string log;
    std::string answer;                                       // to the next prompt; empty cancels it
    int choice = -1;                                          // from the next list; -1 cancels it
    bool outcomes = true;                                     // the view shows a hand's outcome
    std::function<void(const std::string& entry)> whileOpen;  // runs while a box, prompt or sound is open
    std::map<std::string, std::string> kept;

    void put(const std::string& entry) { log += entry + "; "; }
    std::string take() { return std::exchange(log, {}); }  // the log since the last call
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override {
        put("draw " + std::to_string(PosNo) + "=" + std::to_string(CardNo));
    }
    void ShowStatus(const std::string& text) override { put("status " + text); }
    // State and Shown only: the other cells are checked on the real window.
    void setSeatCell(int row, SeatColumn column, const std::string& text) override {
        if (column == SeatColumn::State || column == SeatColumn::Shown)
            put((column == SeatColumn::State ? "S " : "shown ") + std::to_string(row) + "=" + text);
    }
    void markSeat(int row, SeatMark mark) override {
        put("mark " + std::to_string(row) + "=" +
            std::vector<std::string>{"None", "Turn", "Winner"}[int(mark)]);
    }
    void showPot(std::int32_t pot, std::int32_t toCall) override {
        put("pot " + std::to_string(pot) + "/" + std::to_string(toCall));
    }
    void showOutcome(const std::string& text) override { put("outcome " + text); }
    bool showsOutcome() const override { return outcomes; }
    void addHistory(const std::string& entry) override { put("history " + entry); }
    void showGameName(const std::string& name) override { put("game " + name); }
    void showActionMode(ActionMode mode) override {
        put("mode " + std::vector<std::string>{"Idle", "CardChanging", "Betting"}[int(mode)]);
    }
    void appendTrace(const std::string&) override {}
    void appendChat(const std::string& text) override { put("chat " + text); }
    void setTitle(const std::string& text) override { put("title " + text); }
    void closeWindow() override { put("close"); }
    void drawAttention() override { put("attention"); }
    void showTable(std::int32_t number) override { put("table " + std::to_string(number)); }
    std::string value(const std::string& key) override { return kept[key]; }
    void setValue(const std::string& key, const std::string& value) override {
        put("keep " + key + "=" + (kept[key] = value));
    }
    bool PlayWav(const std::string& name) override { return opened(name), true; }
    bool send(const std::string& bytes) override {
        return put("send " + bytes.substr(0, bytes.size() - 2)), true;
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
    void startSecondCopy(const std::string& arguments) override { put("copy " + arguments); }
    void opened(const std::string& entry) {
        put(entry);
        if (whileOpen) whileOpen(entry);
    }
};

}  // namespace client::testing
