#include "server/host/frm_main.h"

#include <array>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include "bot/names.h"
#include "poker/hand_value.h"
#include "server/engine/game.h"
#include "server/host/command_line.h"
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
// A name may hold line breaks; a row shows one line.
QString oneLine(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

// Wide enough for every header; the hand takes the rest of the window.
constexpr std::array<Column, frmMain::kColumns> kColumnLayout{{
    {"Client", 600},
    {"Game", 600},
    {"State", 1300},
    {"User", 900},
    {"IP", 1200},
    {"Port", 700},
    {"SockState", 950},
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

}  // namespace

frmMain::frmMain(quint16 port, std::string commandLine, HostHooks hooks, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)), hooks_(std::move(hooks)) {
    setWindowTitle(
        QString::fromLatin1(wire::kServerTitle.data(), static_cast<qsizetype>(wire::kServerTitle.size())));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuTurnTime = options->addAction(QStringLiteral("&Turn time\u2026"));
    connect(mnuTurnTime, &QAction::triggered, this, &frmMain::askTurnTime);
    mnuAddComputer = options->addAction(QStringLiteral("&Add computer player\u2026"));
    connect(mnuAddComputer, &QAction::triggered, this, &frmMain::addComputerPlayer);
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
    ListView1->header()->setStretchLastSection(true);
    // The narrow columns keep their set widths instead of the style's minimum.
    ListView1->header()->setMinimumSectionSize(1);
    for (int c = 0; c < kColumns; ++c) ListView1->setColumnWidth(c, twipsToPixels(kColumnLayout[c].twips));

    txtLog = new QPlainTextEdit(central);
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    for (int i = 1; i <= kSlots; ++i) {
        auto* row = new QTreeWidgetItem(ListView1);
        row->setText(0, QString::number(i));
    }

    // The sessions bound to the slots and the tables.
    host_ = std::make_unique<ServerHost>(hooks_.shuffle);
    connect(host_.get(), &ServerHost::logWritten, this, &frmMain::showLog);
    if (!host_->listen(hooks_.listenAddress, port)) {
        // Without a listener nobody can connect; say why instead of failing silently.
        WriteLog("Winsock1_Error: index=0 err=" + host_->listenError().toLatin1().toStdString());
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

void frmMain::showLog() {
    QString shown = latin1(logText());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtLog->setPlainText(shown);
    txtLog->moveCursor(QTextCursor::End);
    txtLog->ensureCursorVisible();
    // The caret stays at the end, but a long last line must not hide where
    // every line starts, with its time.
    txtLog->horizontalScrollBar()->setValue(0);
}

void frmMain::setCell(int row, int column, const QString& text) {
    QTreeWidgetItem* item = ListView1->topLevelItem(row - 1);
    if (item->text(column) != text) item->setText(column, text);
}

void frmMain::refreshNextRow() {
    m_RowIndex = static_cast<std::int16_t>(m_RowIndex + 1);
    if (m_RowIndex > kSlots) m_RowIndex = 1;
    const int r = m_RowIndex;
    host_->guarded("refreshNextRow", r, [&] {
        clsClient& s = core().client(r);
        const int sockState = s.Winsock->state();
        setCell(r, 1, QString::number(s.m_Game->Index));
        setCell(r, 2, latin1(s.ClientStateText()));
        setCell(r, 3, oneLine(latin1(s.m_username)));
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
        if (listeningPort() != 0) WriteLog("Quorvane listening on port " + std::to_string(listeningPort()));
        if (isTestCommandLine(commandLine_)) {
            const Started started = startProgram(kClientProgram, {QString::fromLatin1(kTestSwitch)},
                                                 programDir(), hooks_.startDetached);
            if (started.failure)
                WriteLog("Error while processing -test command argument: " + *started.failure);
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

std::optional<int> frmMain::askNumber(const QString& label, int value, int min, int max) {
    if (hooks_.askNumber) return hooks_.askNumber(label, value, min, max);
    bool ok = false;
    const int n = QInputDialog::getInt(this, windowTitle(), label, value, min, max, 1, &ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

void frmMain::askTurnTime() {
    const auto seconds = askNumber(QStringLiteral("Seconds for each exchange or bet (0: no limit):"),
                                   static_cast<int>(host_->turnTime().count()), 0, kMaxTurnSeconds);
    if (seconds) host_->setTurnTime(std::chrono::seconds(*seconds));
}

void frmMain::addComputerPlayer() {
    // Without a port of its own it could only find another server.
    if (listeningPort() == 0) return WriteLog("No computer player: the server is not listening");
    const auto table =
        askNumber(QStringLiteral("Table for the computer player (1-10):"), 1, 1, ServerCore::kGames);
    if (!table) return;
    // What would turn the bot away is said here: its own complaint goes to no window.
    const clsGame& game = core().game(*table);
    if (!game.hasRoom()) return WriteLog("No computer player: table " + std::to_string(*table) + " is full");
    if (!host_->slotForCaller()) return WriteLog("No computer player: every connection slot is taken");
    // A name nobody at the table has, nor the last ones started, who may not have sat down yet.
    std::vector<std::string> taken;
    for (const auto* seat : game.Seats) taken.push_back(seat->m_username);
    const std::string name = bot::freeName(taken, botsStarted_++);
    QStringList arguments{QStringLiteral("--join"), QString::number(*table), QStringLiteral("--name"),
                          QString::fromLatin1(name)};
    // A server on another port than the usual one says where to find it.
    if (listeningPort() != wire::kServerPort)
        arguments << QStringLiteral("--port") << QString::number(listeningPort());
    const Started started = startProgram(kBotProgram, arguments, programDir(), hooks_.startDetached);
    if (started.failure)
        WriteLog(std::string("Could not start ") + kBotProgram + ": " + *started.failure);
    else
        WriteLog("Started " + (started.program + ' ' + arguments.join(' ')).toLatin1().toStdString());
}

QString frmMain::programDir() const {
    return hooks_.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : hooks_.programDir;
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
