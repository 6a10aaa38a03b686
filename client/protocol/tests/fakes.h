#pragma once
// Recording stand-ins for everything the protocol talks to, and a protocol wired to them.

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/core/client_protocol.h"
#include "client/core/hand.h"
#include "client/core/ports.h"
#include "client/protocol/qt_ports.h"

namespace client::testing {

using Lines = std::vector<std::string>;

// The window: seat cells, controls, status, trace, chat, title, cards.
struct FakeView : IClientView {
    std::array<std::array<std::string, 6>, 6> cells{};  // [row][column]
    std::vector<ActionMode> modes;
    Lines statuses;
    std::string trace, chat, title = "Tessarin v0.924";
    int closes = 0, attentions = 0;
    std::vector<std::pair<std::int16_t, std::int16_t>> draws;

    void setSeatCell(int row, SeatColumn column, const std::string& text) override {
        cells.at(row).at(static_cast<int>(column)) = text;
    }
    void showActionMode(ActionMode mode) override { modes.push_back(mode); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void appendTrace(const std::string& text) override { trace += text; }
    void appendChat(const std::string& text) override { chat += text; }
    void setTitle(const std::string& text) override { title = text; }
    void closeWindow() override { ++closes; }
    void drawAttention() override { ++attentions; }
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override { draws.emplace_back(PosNo, CardNo); }

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }
    ActionMode mode() const { return modes.empty() ? ActionMode::Idle : modes.back(); }
};

struct CountingSound : ISound {
    int plays = 0;
    bool PlayWav(const std::string&) override { return ++plays; }
};

struct FakeLink : ILink {
    bool up = true;
    Lines writes;
    bool send(const std::string& bytes) override {
        if (up) writes.push_back(bytes);
        return up;
    }
};

struct Prompt {
    std::string prompt, title, defaultAnswer;
    bool operator==(const Prompt&) const = default;
};

struct FakeDialogs : IDialogs {
    std::deque<std::string> answers;  // none left: the prompt is cancelled
    std::vector<Prompt> prompts;
    Lines boxes;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& def) override {
        prompts.push_back({prompt, title, def});
        std::string a = answers.empty() ? "" : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void msgBox(const std::string& text) override { boxes.push_back(text); }
};

struct FakeDesktop : IWindowDesktop {
    Lines copies, links;
    void startSecondCopy(const std::string& arguments) override { copies.push_back(arguments); }
    void openLink(const std::string& url) override { links.push_back(url); }
};

class ProtocolTest : public ::testing::Test {
protected:
    void start(const std::string& commandLine) {
        protocol = std::make_unique<ClientProtocol>(view, hand, link, dialogs, desktop, commandLine);
    }
    void feed(const std::string& chunk) { protocol->dataArrival(chunk); }
    void line(const std::string& text) { feed(text + "\r\n"); }
    // The lines sent since the last call, each checked for its CR LF.
    Lines sent() {
        Lines lines;
        for (const auto& w : link.writes) {
            EXPECT_EQ(w.substr(w.size() - std::min<std::size_t>(w.size(), 2)), "\r\n");
            lines.push_back(w.substr(0, w.size() - 2));
        }
        link.writes.clear();
        return lines;
    }
    const std::string& cell(int seat, SeatColumn column) const { return view.cells.at(seat).at(int(column)); }

    FakeView view;
    CountingSound sound;
    clsHand hand{view, sound};
    FakeLink link;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    std::unique_ptr<ClientProtocol> protocol =
        std::make_unique<ClientProtocol>(view, hand, link, dialogs, desktop, "");
};

}  // namespace client::testing
