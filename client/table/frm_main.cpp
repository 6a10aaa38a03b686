#include "client/table/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>

#include "client/table/sound.h"
#include "wire/messages.h"

// The card pictures are compiled into this library; a static library must
// register them itself or the linker drops them.
#ifdef QUORVANE_CARD_QRC_NAME
#define QUORVANE_INIT_RESOURCE(name) Q_INIT_RESOURCE(name)
static void initCardResources() { QUORVANE_INIT_RESOURCE(QUORVANE_CARD_QRC_NAME); }
#else
static void initCardResources() {}
#endif

namespace client {

namespace {

// Positions are in twips; the screen has 15 twips to a pixel.
constexpr int px(int twips) { return (twips + 7) / 15; }

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr int kClientWidth = 729;   // 10935 twips
constexpr int kClientHeight = 438;  // 6570 twips
constexpr int kSlotLeft = 240;
constexpr int kSlotStep = 1320;
constexpr int kOutcomePadding = 4;
const QColor kMaroon(128, 0, 0);
const QColor kTurnColour(255, 230, 140);
const QColor kWinnerColour(185, 235, 175);
const QColor kDiscardRed(200, 20, 20);
// The hot spot of the pointing hand is the tip of its index finger.
constexpr int kCursorHotX = 12;
constexpr int kCursorHotY = 1;

// The desktop's sans-serif face at 8.25 points.
QFont tableFont(bool bold) {
    QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (family.isEmpty()) family = QStringLiteral("Sans Serif");
    QFont font(family);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString cardResource(const std::string& holder) {
    return QStringLiteral(":/cards/") + latin1(holder) + QStringLiteral(".png");
}

// A card marked for the exchange, at the slot's own size so the tag is not
// stretched: the card darkened, a red cross over it and a DISCARD tag.
QPixmap markedPicture(const QPixmap& card, QSize size, qreal ratio) {
    QPixmap out(size * ratio);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    if (!card.isNull()) p.drawPixmap(all, card, QRectF(card.rect()));
    p.fillRect(all, QColor(0, 0, 0, 130));
    const qreal inset = 14;
    p.setPen(QPen(kDiscardRed, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(all.topLeft() + QPointF(inset, inset), all.bottomRight() - QPointF(inset, inset));
    p.drawLine(all.topRight() + QPointF(-inset, inset), all.bottomLeft() + QPointF(inset, -inset));
    const QRectF tag(all.left() + 5, all.center().y() - 10, all.width() - 10, 20);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kDiscardRed.darker(120));
    p.drawRoundedRect(tag, 4, 4);
    QFont font = tableFont(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.drawText(tag, Qt::AlignCenter, QStringLiteral("DISCARD"));
    return out;
}

void appendAtEnd(QPlainTextEdit* box, const std::string& latin1Text) {
    // The wire's CR LF ends a line; the box wants a plain newline.
    QString text = latin1(latin1Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(text);
    box->moveCursor(QTextCursor::End);
}

}  // namespace

QPixmap cardPicture(const std::string& holder, qreal screenRatio) {
    if (screenRatio > 1) {
        QPixmap fine(cardResource(holder + "@2x"));
        fine.setDevicePixelRatio(2);
        if (!fine.isNull()) return fine;
    }
    return QPixmap(cardResource(holder));
}

CardSlot::CardSlot(std::int16_t index, QWidget* parent) : QLabel(parent), index_(index) {}

void CardSlot::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(index_);
}

frmMain::frmMain(std::unique_ptr<ISound> sound, QWidget* parent)
    : QMainWindow(parent),
      sound_(sound ? std::move(sound) : std::make_unique<WavSound>()),
      Hand(*this, *sound_) {
    initCardResources();
    title_ = latin1(wire::kClientTitle);
    setWindowTitle(title_);
    setFont(tableFont(false));
    buildControls();
    loadPictures();
    buildMenus();
    buildKeys();
    updateGame();
    showActionMode(ActionMode::Idle);
    outcomeEnd_.setSingleShot(true);
    connect(&outcomeEnd_, &QTimer::timeout, lblOutcome, &QLabel::hide);
    // Not resizable: the window is exactly the menu bar plus the table.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    centralWidget()->setFocus();  // the keys start with the table, not a text box
}

frmMain::~frmMain() = default;

void frmMain::loadPictures() {
    const QScreen* where = screen();
    pictureRatio_ = where && where->devicePixelRatio() > 1 ? 2 : 1;
    for (const auto& holder : pictureHolders()) pictures_[holder] = cardPicture(holder, pictureRatio_);
    pictures_[""] = QPixmap();  // the empty slot shows nothing
    const QPixmap handPicture = cardPicture("hand", pictureRatio_);
    // X11 takes the hot spot in the picture's own pixels, other platforms in
    // the screen's logical ones.
    const qreal hotScale =
        QGuiApplication::platformName() == QStringLiteral("xcb") ? handPicture.devicePixelRatio() : 1;
    const QCursor hand = handPicture.isNull() ? QCursor(Qt::PointingHandCursor)
                                              : QCursor(handPicture, qRound(kCursorHotX * hotScale),
                                                        qRound(kCursorHotY * hotScale));
    for (std::size_t p = 0; p < imgCard.size(); ++p) {
        imgCard[p]->setCursor(hand);
        paintSlot(p);
    }
}

QPixmap frmMain::holderPicture(const std::string& holder) const {
    const auto it = pictures_.find(holder);
    return it == pictures_.end() ? QPixmap() : it->second;
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setFixedSize(kClientWidth, kClientHeight);
    // A click on the table or a card takes the keys back from a text box.
    central->setFocusPolicy(Qt::ClickFocus);
    setCentralWidget(central);
    const QFont bold = tableFont(true);

    // The strip goes first so it lies beneath the cards and buttons.
    Label17 = new QLabel(central);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label17->setGeometry(twipsRect(0, 0, 11055, 2175));
    Label17->setAutoFillBackground(true);
    QPalette strip = Label17->palette();
    strip.setColor(QPalette::Window, kMaroon);
    strip.setColor(QPalette::WindowText, kMaroon);
    Label17->setPalette(strip);

    for (std::int16_t i = 0; i < 5; ++i) {
        auto* slot = new CardSlot(i, central);
        slot->setObjectName(QStringLiteral("imgCard%1").arg(i));
        slot->setGeometry(twipsRect(kSlotLeft + kSlotStep * i, 120, 1275, 1875));
        slot->setScaledContents(true);
        slot->setFocusPolicy(Qt::ClickFocus);
        slot->setToolTip(QStringLiteral("Click or press %1 to mark this card for the exchange").arg(i + 1));
        imgCard[i] = slot;
    }

    auto button = [&](const char* name, const char* caption, QRect where, const char* tip) {
        auto* b = new QPushButton(QString::fromLatin1(caption), central);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(where);
        b->setFont(bold);
        b->setAutoDefault(false);
        b->setAccessibleName(b->text());
        b->setToolTip(QString::fromLatin1(tip));
        return b;
    };
    // The raise box holds six digits; the buttons line up with the Raise
    // button beside it.
    cmdDone = button("cmdDone", "Done", twipsRect(6900, 180, 1500, 375), "Exchange the marked cards (Enter)");
    txtRaise = new QLineEdit(QStringLiteral("1"), central);
    txtRaise->setObjectName(QStringLiteral("txtRaise"));
    txtRaise->setGeometry(twipsRect(6900, 660, 720, 315));
    txtRaise->setAccessibleName(QStringLiteral("Raise amount"));
    txtRaise->setToolTip(QStringLiteral("The amount to raise by (R); Enter raises"));
    cmdRaise = button("cmdRaise", "Raise", twipsRect(7665, 660, 735, 375),
                      "Raise by the amount beside (R to type it, Enter in it to raise)");
    cmdCall = button("cmdCall", "Call", twipsRect(6900, 1140, 1500, 375), "Put in what is owed (Enter)");
    cmdPass = button("cmdPass", "Pass", twipsRect(6900, 1620, 1500, 375), "Give up this hand (F)");
    connect(txtRaise, &QLineEdit::returnPressed, cmdRaise, &QPushButton::click);

    // The last hand's end, on the strip beside the controls.
    lblOutcome = new QLabel(central);
    lblOutcome->setObjectName(QStringLiteral("lblOutcome"));
    lblOutcome->setGeometry(twipsRect(8520, 120, 2295, 1875));
    lblOutcome->setWordWrap(true);
    lblOutcome->setAlignment(Qt::AlignCenter);
    QFont outcomeFont = tableFont(true);
    outcomeFont.setPointSizeF(10);
    lblOutcome->setFont(outcomeFont);
    lblOutcome->setStyleSheet(
        QStringLiteral("QLabel { color: white; background-color: rgba(0, 0, 0, 60);"
                       " border: 1px solid rgb(236, 184, 32); border-radius: 5px; padding: %1px; }")
            .arg(kOutcomePadding));
    lblOutcome->hide();

    lstSeat = new QTreeWidget(central);
    lstSeat->setObjectName(QStringLiteral("lstSeat"));
    lstSeat->setGeometry(twipsRect(60, 2220, 7935, 1815));
    lstSeat->setRootIsDecorated(false);
    lstSeat->setItemsExpandable(false);
    lstSeat->setUniformRowHeights(true);
    lstSeat->setAllColumnsShowFocus(true);
    lstSeat->setAccessibleName(QStringLiteral("Seats"));
    lstSeat->setHeaderLabels({QStringLiteral("Seat"), QStringLiteral("Name"), QStringLiteral("State"),
                              QStringLiteral("Exchanged"), QStringLiteral("Bank"), QStringLiteral("Bet"),
                              QStringLiteral("Shown")});
    // The hand shown at a showdown takes what the other columns leave.
    const int widths[] = {540, 1000, 1560, 1020, 600, 510};
    for (int c = 0; c < 6; ++c) lstSeat->setColumnWidth(c, px(widths[c]));
    lstSeat->header()->setStretchLastSection(true);
    for (int seat = 0; seat < wire::kSeatCount; ++seat)
        lstSeat->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::number(seat)}));

    lblPot = new QLabel(central);
    lblPot->setObjectName(QStringLiteral("lblPot"));
    lblPot->setGeometry(twipsRect(8040, 2220, 2835, 330));
    lblPot->setFont(bold);
    lblPot->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblPot->setIndent(px(90));
    lblPot->hide();

    txtTcp = new QPlainTextEdit(central);
    txtTcp->setObjectName(QStringLiteral("txtTcp"));
    txtTcp->setGeometry(twipsRect(8040, 2595, 2835, 3600));
    // Only ever shown, never read back; the bound keeps a long session small.
    txtTcp->setReadOnly(true);
    txtTcp->setMaximumBlockCount(20000);

    Label1 = new QLabel(QStringLiteral("Chat:"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(120, 4260, 495, 315));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtChat = new QLineEdit(central);
    txtChat->setObjectName(QStringLiteral("txtChat"));
    txtChat->setGeometry(twipsRect(660, 4200, 7335, 315));
    // Tab from the table reaches the chat line first; the controls have keys of their own.
    setTabOrder(imgCard[4], txtChat);

    txtChatLog = new QPlainTextEdit(central);
    txtChatLog->setObjectName(QStringLiteral("txtChatLog"));
    txtChatLog->setGeometry(twipsRect(60, 4560, 7935, 1635));
    txtChatLog->setReadOnly(true);
    txtChatLog->setMaximumBlockCount(20000);
    QPalette face = txtChatLog->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    txtChatLog->setPalette(face);

    // The status bar sits inside the table area, along its bottom edge.
    StatusBar1 = new QStatusBar(central);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(twipsRect(0, 6255, 10935, 315));
    StatusBar1->setSizeGripEnabled(false);
    statusPanel = new QLabel(StatusBar1);
    statusPanel->setObjectName(QStringLiteral("statusPanel"));
    statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(statusPanel, 1);
    gamePanel = new QLabel(StatusBar1);
    gamePanel->setObjectName(QStringLiteral("gamePanel"));
    gamePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addPermanentWidget(gamePanel);

    // The history lies beside the table, so hiding it leaves the table as it is.
    dockHistory = new QDockWidget(QStringLiteral("Hand history"), this);
    dockHistory->setObjectName(QStringLiteral("dockHistory"));
    dockHistory->setAccessibleName(dockHistory->windowTitle());
    dockHistory->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    txtHistory = new QPlainTextEdit(dockHistory);
    txtHistory->setObjectName(QStringLiteral("txtHistory"));
    txtHistory->setAccessibleName(dockHistory->windowTitle());
    txtHistory->setReadOnly(true);
    txtHistory->setMaximumBlockCount(20000);
    txtHistory->setMinimumWidth(px(3900));
    dockHistory->setWidget(txtHistory);
    addDockWidget(Qt::RightDockWidgetArea, dockHistory);
}

void frmMain::buildMenus() {
    QMenu* game = menuBar()->addMenu(QStringLiteral("&Game"));
    mnuConnect = game->addAction(QStringLiteral("&Connect"));
    mnuNewGame = game->addAction(QStringLiteral("&New Game"));
    mnuNewGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuJoinGame = game->addAction(QStringLiteral("&Join Game"));
    mnuJoinGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    mnuStartGame = game->addAction(QStringLiteral("&Start Game"));
    mnuStartGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuAddComputer = game->addAction(QStringLiteral("&Add computer player"));
    mnuAddComputer->setEnabled(false);
    mnuExit = game->addAction(QStringLiteral("&Exit"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    mnuHistory = dockHistory->toggleViewAction();
    mnuHistory->setText(QStringLiteral("Hand &history"));
    mnuHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    view->addAction(mnuHistory);
    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
}

void frmMain::buildKeys() {
    auto onKeys = [this](QList<QKeySequence> keys, auto action) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    for (CardSlot* slot : imgCard) {
        const auto key = static_cast<Qt::Key>(Qt::Key_1 + slot->index());
        // Only during the exchange: a mark made later would stand for nothing.
        onKeys({QKeySequence(key), QKeySequence(Qt::KeypadModifier | key)}, [this, slot] {
            if (!cmdDone->isHidden()) slot->click();
        });
    }
    onKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter),
            QKeySequence(Qt::KeypadModifier | Qt::Key_Enter)},
           [this] {
               if (!cmdDone->isHidden())
                   cmdDone->click();
               else if (!cmdCall->isHidden())
                   cmdCall->click();
           });
    onKeys({QKeySequence(Qt::Key_R)}, [this] {
        if (txtRaise->isHidden()) return;
        txtRaise->setFocus(Qt::ShortcutFocusReason);
        txtRaise->selectAll();
    });
    onKeys({QKeySequence(Qt::Key_F)}, [this] {
        if (!cmdPass->isHidden()) emit passKey();
    });
    // Escape, from a text box or a list, gives the keys back to the table.
    onKeys({QKeySequence(Qt::Key_Escape)}, [this] { centralWidget()->setFocus(Qt::OtherFocusReason); });
    // Printable keys already stay with a text box; Enter must too.
    txtChat->installEventFilter(this);
    txtRaise->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) event->accept();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::DrawCard(std::int16_t PosNo, std::int16_t CardNo) { setSlot(PosNo, CardNo, false); }

void frmMain::DrawMarkedCard(std::int16_t PosNo, std::int16_t CardNo) { setSlot(PosNo, CardNo, true); }

void frmMain::setSlot(std::int16_t PosNo, std::int16_t CardNo, bool marked) {
    const auto p = static_cast<std::size_t>(PosNo);
    CardSlot* slot = imgCard.at(p);
    // A code without a picture leaves the slot's card as it was.
    if (const auto holder = holderName(CardNo)) slots_[p] = {*holder, CardNo, marked};
    slots_[p].marked = marked;
    paintSlot(p);
    // Repaint and yield even for an unlisted code: the deal shows card by card.
    slot->repaint();
    QCoreApplication::processEvents();
}

void frmMain::paintSlot(std::size_t p) {
    const Slot& s = slots_[p];
    CardSlot* slot = imgCard[p];
    const QPixmap card = holderPicture(s.holder);
    slot->setPixmap(s.marked ? markedPicture(card, slot->size(), pictureRatio_) : card);
    slot->setAccessibleName(latin1(spokenName(s.code)) +
                            (s.marked ? QStringLiteral(", marked for exchange") : QString()));
}

std::string frmMain::slotPicture(std::int16_t PosNo) const {
    const Slot& s = slots_.at(static_cast<std::size_t>(PosNo));
    return s.holder + (s.marked ? "*" : "");
}

void frmMain::ShowStatus(const std::string& text) {
    if (statusPanel) statusPanel->setText(latin1(text));
}

QString frmMain::statusText() const { return statusPanel->text(); }

void frmMain::showActionMode(ActionMode mode) {
    // A control that goes with the keys in it gives them back to the table.
    QWidget* const keys = focusWidget();
    const QWidget* const controls[] = {cmdDone, cmdPass, cmdCall, cmdRaise, txtRaise};
    const bool keysInControl = std::ranges::find(controls, keys) != std::end(controls);
    cmdDone->setVisible(mode == ActionMode::CardChanging);
    const bool betting = mode == ActionMode::Betting;
    cmdPass->setVisible(betting);
    cmdCall->setVisible(betting);
    cmdRaise->setVisible(betting);
    txtRaise->setVisible(betting);
    if (keysInControl && keys->isHidden()) centralWidget()->setFocus();
    // A deal: the last hand's outcome goes, once it has been up long enough to read.
    if (mode == ActionMode::CardChanging && !lblOutcome->isHidden() && !outcomeEnd_.isActive()) {
        const qint64 left = outcomeHoldMs - outcomeShown_.elapsed();
        if (left > 0)
            outcomeEnd_.start(static_cast<int>(left));
        else
            lblOutcome->hide();
    }
    repaint();
    QCoreApplication::processEvents();
}

void frmMain::setSeatCell(int row, SeatColumn column, const std::string& text) {
    QTreeWidgetItem* item = lstSeat->topLevelItem(row);
    if (!item) return;
    // A name may hold line breaks; a row shows one line.
    const QString cell = latin1(text)
                             .replace(QLatin1Char('\n'), QLatin1Char(' '))
                             .replace(QLatin1Char('\r'), QLatin1Char(' '));
    item->setText(static_cast<int>(column), cell);
    // Whatever a narrow column cuts short can still be read.
    item->setToolTip(static_cast<int>(column), cell);
    // A seat out of the hand reads greyed.
    if (column == SeatColumn::State) {
        const QVariant ink = cell == QStringLiteral("Folded")
                                 ? QVariant(palette().brush(QPalette::Disabled, QPalette::Text))
                                 : QVariant();
        for (int c = 0; c < lstSeat->columnCount(); ++c) item->setData(c, Qt::ForegroundRole, ink);
    }
}

void frmMain::markSeat(int row, SeatMark mark) {
    QTreeWidgetItem* item = lstSeat->topLevelItem(row);
    if (!item) return;
    QFont bold = lstSeat->font();
    bold.setBold(true);
    const QVariant fill = mark == SeatMark::Turn     ? QVariant(QBrush(kTurnColour))
                          : mark == SeatMark::Winner ? QVariant(QBrush(kWinnerColour))
                                                     : QVariant();
    const QVariant font = mark == SeatMark::Winner ? QVariant(bold) : QVariant();
    for (int c = 0; c < lstSeat->columnCount(); ++c) {
        item->setData(c, Qt::BackgroundRole, fill);
        item->setData(c, Qt::FontRole, font);
    }
    // The sign says it without colour, also to a screen reader.
    const QString sign = mark == SeatMark::Turn     ? QStringLiteral("\u25B6 ")
                         : mark == SeatMark::Winner ? QStringLiteral("\u2605 ")
                                                    : QString();
    item->setText(static_cast<int>(SeatColumn::Seat), sign + QString::number(row));
}

void frmMain::showPot(std::int32_t pot, std::int32_t toCall) {
    if (pot < 0) return lblPot->hide();
    const QString owed = toCall > 0    ? QStringLiteral(" \u2014 to call %1").arg(toCall)
                         : toCall == 0 ? QStringLiteral(" \u2014 nothing to call")
                                       : QString();
    lblPot->setText(QStringLiteral("Pot %1").arg(pot) + owed);
    lblPot->setAccessibleName(lblPot->text());
    lblPot->show();
}

void frmMain::showOutcome(const std::string& text) {
    outcomeEnd_.stop();
    // The label wraps only between words: a word wider than the strip (a
    // long name) is shortened in its middle rather than cut at both ends.
    const QFontMetrics metrics(lblOutcome->font());
    const int room = lblOutcome->width() - 2 * (kOutcomePadding + 1);  // inside padding and border
    QStringList words = latin1(text).split(QLatin1Char(' '));
    for (QString& word : words) word = metrics.elidedText(word, Qt::ElideMiddle, room);
    lblOutcome->setText(words.join(QLatin1Char(' ')));
    lblOutcome->setAccessibleName(latin1(text));
    lblOutcome->setVisible(!text.empty());
    outcomeShown_.start();
}

void frmMain::addHistory(const std::string& entry) {
    // A blank line between hands; the newest at the bottom, in view.
    if (!txtHistory->document()->isEmpty()) txtHistory->appendPlainText(QString());
    txtHistory->appendPlainText(latin1(entry));
    txtHistory->moveCursor(QTextCursor::End);
    txtHistory->ensureCursorVisible();
}

void frmMain::appendTrace(const std::string& text) { appendAtEnd(txtTcp, text); }

void frmMain::appendChat(const std::string& text) { appendAtEnd(txtChatLog, text); }

void frmMain::setTitle(const std::string& text) {
    title_ = latin1(text);
    updateGame();
}

void frmMain::closeWindow() { close(); }

void frmMain::drawAttention() {
    if (!isActiveWindow()) QApplication::alert(this);
}

void frmMain::showTable(std::int32_t number) {
    mnuAddComputer->setEnabled(number > 0);
    tableNumber_ = number;
    updateGame();
}

void frmMain::showGameName(const std::string& name) {
    gameName_ = latin1(name);
    updateGame();
}

// The game in the title and on the right of the status bar: "Game 3: friday".
void frmMain::updateGame() {
    QString game;
    if (tableNumber_ > 0) {
        game = QStringLiteral("Game %1").arg(tableNumber_);
        if (!gameName_.isEmpty()) game += QStringLiteral(": ") + gameName_;
    }
    setWindowTitle(game.isEmpty() ? title_ : title_ + QStringLiteral(" - ") + game);
    gamePanel->setText(game);
    gamePanel->setVisible(!game.isEmpty());
}

bool frmMain::confirm(const QString& question) {
    return QMessageBox::question(this, QCoreApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void frmMain::activateOnce() {
    if (Activated) return;
    Activated = true;
    emit firstActivation();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) activateOnce();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        // Moved to a screen of another density: pictures for that one.
        if (QWindow* window = windowHandle())
            connect(window, &QWindow::screenChanged, this, [this] { loadPictures(); });
        loadPictures();
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - frameGeometry().center() + pos());
    }
    // A desktop without a window manager never activates the window; being
    // shown is then the first activation.
    QTimer::singleShot(0, this, [this] { activateOnce(); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    emit unloading();
    QMainWindow::closeEvent(event);
}

}  // namespace client
