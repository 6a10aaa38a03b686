#include "client/protocol/table_client.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <vector>

#include "bot/names.h"
#include "client/protocol/guard.h"
#include "client/table/frm_main.h"
#include "weblink/url.h"
#include "wire/messages.h"

namespace client {

namespace {

std::string latin1Of(const QString& text) { return text.toLatin1().toStdString(); }

// The computer player's program, installed beside this one.
constexpr const char* kComputerPlayer = "tessarin-bot";

}  // namespace

TableClient::TableClient(frmMain& window, std::string commandLine, std::unique_ptr<IDialogs> dialogs,
                         std::unique_ptr<IWindowDesktop> desktop)
    : window_(window),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(&window)),
      desktop_(desktop ? std::move(desktop) : std::make_unique<QtDesktop>()),
      connection_(window, *dialogs_, settings_),
      protocol_(window, window.Hand, connection_, *dialogs_, *desktop_, std::move(commandLine), &settings_) {
    connectControls();
}

// Qt drops every connection to this object when it goes.
TableClient::~TableClient() = default;

void TableClient::connectControls() {
    connection_.onData = [this](const std::string& chunk) {
        // A line whose handling throws is dropped and the lines after it go
        // on: each try takes at least that line out of the buffer.
        std::string_view rest = chunk;
        auto hasLine = [this] {
            return protocol_.RecvBuffer.text().find(wire::kLineEnd) != std::string_view::npos;
        };
        while (!guarded([&] { protocol_.dataArrival(rest); }) && hasLine()) rest = {};
    };
    connection_.onClosed = [this] { protocol_.connectionClosed(); };

    // Every control's event is guarded: nothing thrown reaches Qt.
    auto on = [this](auto* sender, auto signal, auto handler, Qt::ConnectionType type = Qt::AutoConnection) {
        connect(
            sender, signal, this, [handler] { guarded(handler); }, type);
    };
    // Connecting waits in a local loop: not from inside the activation event.
    on(
        &window_, &frmMain::firstActivation, [this] { connection_.ConnectToServer(); }, Qt::QueuedConnection);
    on(&window_, &frmMain::unloading, [this] {
        protocol_.Form_Unload();
        connection_.abandon();
    });

    on(window_.mnuConnect, &QAction::triggered, [this] { connection_.ConnectToServer(); });
    on(window_.mnuNewGame, &QAction::triggered, [this] { protocol_.mnuNewGame_Click(); });
    on(window_.mnuJoinGame, &QAction::triggered, [this] { protocol_.mnuJoinGame_Click(); });
    on(window_.mnuStartGame, &QAction::triggered, [this] { protocol_.mnuStartGame_Click(); });
    on(window_.mnuAddComputer, &QAction::triggered, [this] { mnuAddComputer_Click(); });
    on(window_.mnuExit, &QAction::triggered, [this] { protocol_.mnuExit_Click(); });
    on(window_.mnuAbout, &QAction::triggered, [this] { mnuAbout_Click(); });

    on(window_.cmdDone, &QPushButton::clicked, [this] { protocol_.cmdDone_Click(); });
    on(window_.cmdPass, &QPushButton::clicked, [this] { protocol_.cmdPass_Click(); });
    on(window_.cmdCall, &QPushButton::clicked, [this] { protocol_.cmdCall_Click(); });
    on(window_.cmdRaise, &QPushButton::clicked,
       [this] { protocol_.cmdRaise_Click(latin1Of(window_.txtRaise->text())); });
    on(window_.txtChat, &QLineEdit::returnPressed, [this] {
        protocol_.txtChat_Enter(latin1Of(window_.txtChat->text()));
        window_.txtChat->clear();
    });
    // F: with nothing owed, passing throws away a hand that stays in for
    // free, so the player confirms it. The bet may have gone while he was asked.
    on(&window_, &frmMain::passKey, [this] {
        if (protocol_.toCall() == 0 &&
            !window_.confirm(
                QStringLiteral("Nothing is owed: you can call for free. Pass and give up this hand?")))
            return;
        if (!window_.cmdPass->isHidden()) window_.cmdPass->click();
    });
    // A click chooses the card for the exchange or takes it back, in any mode (its key only in the exchange).
    for (CardSlot* slot : window_.imgCard) {
        on(slot, &CardSlot::clicked, [this, k = slot->index()] {
            window_.Hand.CardHidden(k) = !window_.Hand.CardHidden(k);
            window_.Hand.DrawCard(k);
        });
    }
}

void TableClient::mnuAddComputer_Click() {
    const std::int32_t table = protocol_.tableNumber();
    if (table <= 0) return;
    // The server this table is on, which need not be on this machine.
    const std::string host = connection_.Winsock1.peerName().toLatin1().toStdString();
    // A name nobody at the table has, nor the last ones started, who may not have sat down yet.
    std::vector<std::string> taken;
    for (int row = 0; row < window_.lstSeat->topLevelItemCount(); ++row)
        taken.push_back(latin1Of(window_.lstSeat->topLevelItem(row)->text(1)));
    const std::string name = bot::freeName(taken, botsStarted_++);
    if (!desktop_->startProgram(kComputerPlayer,
                                {"--join", std::to_string(table), "--name", name, "--host", host, "--port",
                                 std::to_string(connection_.Winsock1.peerPort())}))
        window_.ShowStatus("Could not start " + std::string(kComputerPlayer));
}

void TableClient::mnuAbout_Click() { desktop_->openLink(weblink::aboutLink(wire::kClientTitle)); }

}  // namespace client
