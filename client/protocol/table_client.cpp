#include "client/protocol/table_client.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "client/table/frm_main.h"
#include "weblink/url.h"
#include "wire/messages.h"

namespace client {

namespace {

std::string latin1Of(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

TableClient::TableClient(frmMain& window, std::string commandLine, std::unique_ptr<IDialogs> dialogs,
                         std::unique_ptr<IWindowDesktop> desktop)
    : window_(window),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(&window)),
      desktop_(desktop ? std::move(desktop) : std::make_unique<QtDesktop>()),
      connection_(window, *dialogs_),
      protocol_(window, window.Hand, connection_, *dialogs_, *desktop_, std::move(commandLine)) {
    connectControls();
}

// Qt drops every connection to this object when it goes.
TableClient::~TableClient() = default;

void TableClient::connectControls() {
    connection_.onData = [this](const std::string& chunk) { protocol_.dataArrival(chunk); };

    // Connecting waits in a local loop: not from inside the activation event.
    connect(
        &window_, &frmMain::firstActivation, this, [this] { connection_.ConnectToServer(); },
        Qt::QueuedConnection);
    connect(&window_, &frmMain::unloading, this, [this] {
        protocol_.Form_Unload();
        connection_.abandon();
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

void TableClient::mnuAbout_Click() { desktop_->openLink(weblink::aboutLink(wire::kClientTitle)); }

}  // namespace client
