#include "server/host/frm_main.h"

#include <array>
#include <exception>
#include <iostream>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include "poker/hand_value.h"
#include "server/engine/game.h"
#include "server/host/log_text.h"
#include "server/host/test_mode.h"
#include "server/session/client.h"
#include "weblink/open_url.h"
#include "weblink/url.h"
#include "wire/messages.h"

namespace server {
namespace {

struct Column {
    const char* header;
    int twips;
};
constexpr std::array<Column, frmMain::kColumns> kColumnLayout{{
    {"Client", 400},
    {"Game", 400},
    {"State", 1500},
    {"User", 1000},
    {"IP", 1500},
    {"Port", 750},
    {"SockState", 300},
    {"Hand", 2000},
}};

constexpr int kTwipsPerPixel = 15;
constexpr int kInnerWidthTwips = 8280;
constexpr int kInnerHeightTwips = 5385;
constexpr int kTimerIntervalMs = 100;

int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string toLatin1(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

frmMain::frmMain(quint16 port, std::string commandLine, HostHooks hooks, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)), hooks_(std::move(hooks)) {
    setWindowTitle(
        QString::fromLatin1(wire::kServerTitle.data(), static_cast<qsizetype>(wire::kServerTitle.size())));

    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    connect(mnuAbout, &QAction::triggered, this, &frmMain::openAboutLink);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->installEventFilter(this);

    // The client list gets its columns before the slots exist, and row i with slot i.
    ListView1 = new QTreeWidget(central);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setColumnCount(kColumns);
    QStringList headers;
    for (const auto& c : kColumnLayout) headers << QString::fromLatin1(c.header);
    ListView1->setHeaderLabels(headers);
    ListView1->header()->setStretchLastSection(false);
    // The narrow columns keep their set widths instead of the style's minimum.
    ListView1->header()->setMinimumSectionSize(1);
    for (int c = 0; c < kColumns; ++c) ListView1->setColumnWidth(c, twipsToPixels(kColumnLayout[c].twips));

    txtLog = new QPlainTextEdit(central);
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    std::array<ISocket*, kSlots> sockets{};
    for (int i = 1; i <= kSlots; ++i) {
        auto socket = std::make_unique<QtSocket>(i);
        connect(socket.get(), &QtSocket::dataArrival, this, &frmMain::Winsock1_DataArrival);
        connect(socket.get(), &QtSocket::closed, this, &frmMain::Winsock1_Close);
        connect(socket.get(), &QtSocket::error, this, &frmMain::Winsock1_Error);
        sockets[i - 1] = socket.get();
        sockets_[i - 1] = std::move(socket);
        auto* row = new QTreeWidgetItem(ListView1);
        row->setText(0, QString::number(i));
    }

    // Seeds the generator, creates the placeholders, the ten sessions bound to
    // the slots and the ten tables.
    core_ = std::make_unique<ServerCore>(
        sockets, [this](const std::string& line) { WriteLog(line); }, hooks_.shuffle);

    listener_ = new QTcpServer(this);
    connect(listener_, &QTcpServer::newConnection, this, &frmMain::Winsock1_ConnectionRequest);
    if (!listener_->listen(hooks_.listenAddress, port)) {
        // Without a listener nobody can connect; say why instead of failing silently.
        WriteLog("Winsock1_Error: index=0 err=" + toLatin1(listener_->errorString()));
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmMain::refreshNextRow);
    Timer1->start();

    // The inner area (below the menu bar) opens at 8280 x 5385 twips.
    resize(twipsToPixels(kInnerWidthTwips),
           twipsToPixels(kInnerHeightTwips) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

QtSocket& frmMain::Winsock1(int index) {
    if (index < 1 || index > kSlots) throw std::out_of_range("Winsock1 index");
    return *sockets_[index - 1];
}

quint16 frmMain::listeningPort() const { return listener_->isListening() ? listener_->serverPort() : 0; }

void frmMain::WriteLog(const std::string& msg) {
    const QTime now = QTime::currentTime();
    const std::string stamped = logTimeStamp(now.hour(), now.minute(), now.second()) + msg;
    std::cerr << stamped << std::endl;
    logText_ = appendLogLine(std::move(logText_), now.hour(), now.minute(), now.second(), msg);
    QString shown = latin1(logText_);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtLog->setPlainText(shown);
    txtLog->moveCursor(QTextCursor::End);
    txtLog->ensureCursorVisible();
}

void frmMain::guarded(const char* where, int index, const std::function<void()>& handler) {
    // A fault in one connection's handling must not take the server down.
    try {
        handler();
    } catch (const std::exception& ex) {
        WriteLog(std::string(where) + ": index=" + std::to_string(index) + " failed: " + ex.what());
    } catch (...) {
        WriteLog(std::string(where) + ": index=" + std::to_string(index) + " failed");
    }
    // Everything one event sent leaves now, one write per connection; left to
    // the socket, it would wait for another turn of the event loop.
    for (auto& socket : sockets_) socket->flush();
}

void frmMain::Winsock1_ConnectionRequest() {
    while (QTcpSocket* connection = listener_->nextPendingConnection()) {
        WriteLog("Winsock1_ConnectionRequest: index=0");
        bool accepted = false;
        for (int i = 1; i <= kSlots; ++i) {
            if (Winsock1(i).state() != ISocket::kClosed) continue;
            Winsock1(i).accept(connection);
            guarded("Winsock1_ConnectionRequest", i, [&] { core_->client(i).winsock_Connect(); });
            accepted = true;
            break;
        }
        if (!accepted) {
            // Every slot is busy: the caller is turned away at once.
            connection->close();
            connection->deleteLater();
        }
    }
}

void frmMain::Winsock1_DataArrival(int index, qint64 bytesTotal) {
    guarded("Winsock1_DataArrival", index,
            [&] { core_->client(index).winsock_DataArrival(static_cast<long>(bytesTotal)); });
}

void frmMain::Winsock1_Close(int index) {
    WriteLog("Winsock1_Close: index=" + std::to_string(index));
    guarded("Winsock1_Close", index, [&] { core_->client(index).winsock_Disconnect(); });
}

void frmMain::Winsock1_Error(int index, int /*number*/, const QString& description) {
    WriteLog("Winsock1_Error: index=" + std::to_string(index) + " err=" + toLatin1(description));
    // A broken connection ends the session like a close by the peer, so the
    // player leaves his table at once instead of haunting the slot.
    guarded("Winsock1_Error", index, [&] { core_->client(index).winsock_Disconnect(); });
}

void frmMain::setCell(int row, int column, const QString& text) {
    QTreeWidgetItem* item = ListView1->topLevelItem(row - 1);
    if (item->text(column) != text) item->setText(column, text);
}

void frmMain::refreshNextRow() {
    m_RowIndex = static_cast<std::int16_t>(m_RowIndex + 1);
    if (m_RowIndex > kSlots) m_RowIndex = 1;
    const int r = m_RowIndex;
    guarded("refreshNextRow", r, [&] {
        clsClient& s = core_->client(r);
        const int sockState = s.Winsock->state();
        setCell(r, 1, QString::number(s.m_Game->Index));
        setCell(r, 2, latin1(s.ClientStateText()));
        setCell(r, 3, latin1(s.m_username));
        if (sockState != ISocket::kClosed) {
            setCell(r, 4, latin1(s.Winsock->peerAddress()));
            setCell(r, 5, QString::number(s.Winsock->peerPort()));
            QString hand;
            if (s.InGame()) {
                std::array<std::int16_t, 5> cards{};
                for (int p = 0; p < 5; ++p) cards[p] = s.card(p);
                poker::clsHandValue hv;
                hv.LoadCards(cards);
                hv.Check_Hand();
                hand = latin1(hv.HandName);
            }
            setCell(r, 7, hand);
        } else {
            setCell(r, 4, QString());
            setCell(r, 5, QString());
            setCell(r, 7, QString());
        }
        setCell(r, 6, QString::number(sockState));
    });
}

void frmMain::firstActivation() {
    if (m_Activated) return;
    m_Activated = true;
    // Nothing here may stop the program.
    try {
        if (listener_->isListening())
            WriteLog("Quorvane listening on port " + std::to_string(listener_->serverPort()));
        if (isTestCommandLine(commandLine_)) {
            const std::optional<std::string> failure =
                hooks_.startTestClient ? hooks_.startTestClient()
                                       : startTestClient(QCoreApplication::applicationDirPath());
            if (failure) WriteLog("Error while processing -test command argument: " + *failure);
        }
    } catch (const std::exception& ex) {
        WriteLog(std::string("firstActivation failed: ") + ex.what());
    } catch (...) {
    }
}

void frmMain::openAboutLink() {
    const std::string link = weblink::aboutLink(wire::kServerTitle);
    if (hooks_.openUrl)
        hooks_.openUrl(link);
    else
        weblink::OpenURL(link);
}

bool frmMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) firstActivation();
    return QMainWindow::event(e);
}

void frmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // Without a window manager the window may never be activated; its first
    // display then stands for the first activation.
    if (!m_Activated) QTimer::singleShot(0, this, &frmMain::firstActivation);
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == centralWidget() && e->type() == QEvent::Resize) layOutHalves();
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::layOutHalves() {
    const QWidget* area = centralWidget();
    if (!area || !ListView1 || !txtLog) return;
    const int w = area->width();
    const int h = area->height();
    ListView1->setGeometry(0, 0, w, h / 2);
    txtLog->setGeometry(0, h / 2, w, h / 2);
}

}  // namespace server
