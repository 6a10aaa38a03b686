#pragma once
// Recording stand-ins for everything the protocol talks to.

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/protocol/client_protocol.h"
#include "client/protocol/ports.h"
#include "client/table/hand.h"
#include "client/table/hand_view.h"
#include "client/table/sound.h"

namespace client::testing {

// The window: seat cells, controls, status, trace, chat, title, cards.
struct FakeView : IClientView, IHandView {
    std::array<std::array<std::string, 6>, 6> cells{};  // [row][column]
    std::vector<ActionMode> modes;
    std::vector<std::string> statuses;
    std::string trace;
    std::string chat;
    std::string title = "Tessarin v0.924";
    int closes = 0;
    int attentions = 0;
    std::vector<std::pair<std::int16_t, std::int16_t>> draws;

    void SetSeatCell(int row, SeatColumn column, const std::string& text) override {
        cells.at(row).at(static_cast<int>(column)) = text;
    }
    void ShowActionMode(ActionMode mode) override { modes.push_back(mode); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void AppendTrace(const std::string& text) override { trace += text; }
    void AppendChat(const std::string& text) override { chat += text; }
    void SetTitle(const std::string& text) override { title = text; }
    void CloseWindow() override { ++closes; }
    void DrawAttention() override { ++attentions; }
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override { draws.emplace_back(PosNo, CardNo); }

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }
    ActionMode mode() const { return modes.empty() ? ActionMode::Idle : modes.back(); }
};

struct CountingSound : ISound {
    int plays = 0;
    bool PlayWav(const std::string&) override {
        ++plays;
        return true;
    }
};

struct FakeLink : ILink {
    bool up = true;
    std::vector<std::string> writes;
    bool Send(const std::string& bytes) override {
        if (!up) return false;
        writes.push_back(bytes);
        return true;
    }
};

struct Prompt {
    std::string prompt, title, defaultAnswer;
    bool operator==(const Prompt&) const = default;
};

struct FakeDialogs : IDialogs {
    std::deque<std::string> answers;  // empty queue: the prompt is cancelled
    std::vector<Prompt> prompts;
    std::vector<std::string> boxes;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultAnswer) override {
        prompts.push_back({prompt, title, defaultAnswer});
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    void MsgBox(const std::string& text) override { boxes.push_back(text); }
};

struct FakeDesktop : IDesktop {
    std::vector<std::string> copies;
    std::vector<std::string> links;
    void StartSecondCopy(const std::string& arguments) override { copies.push_back(arguments); }
    void OpenLink(const std::string& url) override { links.push_back(url); }
};

// A protocol wired to fakes, with helpers to feed lines and read what was sent.
class ProtocolTest : public ::testing::Test {
protected:
    void start(const std::string& commandLine) {
        protocol = std::make_unique<ClientProtocol>(view, hand, link, dialogs, desktop, commandLine);
    }
    void SetUp() override { start(""); }

    void feed(const std::string& chunk) { protocol->DataArrival(chunk); }
    void line(const std::string& text) { feed(text + "\r\n"); }
    // The lines sent, without their CR LF, and forgets them.
    std::vector<std::string> sent() {
        std::vector<std::string> lines;
        for (const auto& w : link.writes) {
            EXPECT_GE(w.size(), 2u);
            EXPECT_EQ(w.substr(w.size() - 2), "\r\n");
            lines.push_back(w.substr(0, w.size() - 2));
        }
        link.writes.clear();
        return lines;
    }
    const std::string& cell(int seat, SeatColumn column) const {
        return view.cells.at(seat).at(static_cast<int>(column));
    }

    FakeView view;
    CountingSound sound;
    clsHand hand{view, sound};
    FakeLink link;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    std::unique_ptr<ClientProtocol> protocol;
};

using Lines = std::vector<std::string>;

}  // namespace client::testing
