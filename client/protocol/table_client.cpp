#include "client/protocol/table_client.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "client/protocol/qt_ports.h"
#include "client/table/frm_main.h"
#include "weblink/url.h"
#include "wire/messages.h"

namespace client {

namespace {

std::string latin1Of(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

void WindowView::SetSeatCell(int row, SeatColumn column, const std::string& text) {
    window_.SetSeatCell(row, static_cast<int>(column), text);
}
void WindowView::ShowActionMode(ActionMode mode) { window_.ShowActionMode(mode); }
void WindowView::ShowStatus(const std::string& text) { window_.ShowStatus(text); }
void WindowView::AppendTrace(const std::string& text) { window_.AppendTrace(text); }
void WindowView::AppendChat(const std::string& text) { window_.AppendChat(text); }
void WindowView::SetTitle(const std::string& text) {
    window_.setWindowTitle(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}
void WindowView::CloseWindow() { window_.close(); }
void WindowView::DrawAttention() { window_.DrawAttention(); }

TableClient::TableClient(frmMain& window, std::string commandLine, std::unique_ptr<IDialogs> dialogs,
                         std::unique_ptr<IDesktop> desktop)
    : window_(window),
      view_(window),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(&window)),
      desktop_(desktop ? std::move(desktop) : std::make_unique<QtDesktop>()),
      connection_(view_, *dialogs_),
      protocol_(view_, window.Hand, connection_, *dialogs_, *desktop_, std::move(commandLine)) {
    wire_();
}

// Qt drops every connection to this object when it goes.
TableClient::~TableClient() = default;

void TableClient::wire_() {
    connection_.onData = [this](const std::string& chunk) { protocol_.DataArrival(chunk); };

    // Connecting waits in a local loop: not from inside the activation event.
    connect(
        &window_, &frmMain::firstActivation, this, [this] { connection_.ConnectToServer(); },
        Qt::QueuedConnection);
    connect(&window_, &frmMain::unloading, this, [this] {
        protocol_.Form_Unload();
        connection_.Abandon();
    });

    connect(window_.mnuConnect, &QAction::triggered, this, [this] { connection_.ConnectToServer(); });
    connect(window_.mnuNewGame, &QAction::triggered, this, [this] { protocol_.mnuNewGame_Click(); });
    connect(window_.mnuJoinGame, &QAction::triggered, this, [this] { protocol_.mnuJoinGame_Click(); });
    connect(window_.mnuStartGame, &QAction::triggered, this, [this] { protocol_.mnuStartGame_Click(); });
    connect(window_.mnuExit, &QAction::triggered, this, [this] { protocol_.mnuExit_Click(); });
    connect(window_.mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });

    connect(window_.cmdDone, &QPushButton::clicked, this, [this] { protocol_.cmdDone_Click(); });
    connect(window_.cmdPass, &QPushButton::clicked, this, [this] { protocol_.cmdPass_Click(); });
    connect(window_.cmdCall, &QPushButton::clicked, this, [this] { protocol_.cmdCall_Click(); });
    connect(window_.cmdRaise, &QPushButton::clicked, this,
            [this] { protocol_.cmdRaise_Click(latin1Of(window_.txtRaise->text())); });
    connect(window_.txtChat, &QLineEdit::returnPressed, this, [this] {
        protocol_.txtChat_Enter(latin1Of(window_.txtChat->text()));
        window_.txtChat->clear();
    });
}

void TableClient::mnuAbout_Click() { desktop_->OpenLink(weblink::aboutLink(wire::kClientTitle)); }

}  // namespace client
