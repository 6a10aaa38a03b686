#include "client/table/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include "client/core/picture_code.h"
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
const QColor kMaroon(128, 0, 0);
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

void appendAtEnd(QPlainTextEdit* box, const std::string& latin1Text) {
    // The wire's CR LF ends a line; the box wants a plain newline.
    QString text = latin1(latin1Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(text);
    box->moveCursor(QTextCursor::End);
}

}  // namespace

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
    loadPictures();
    setWindowTitle(latin1(wire::kClientTitle));
    setFont(tableFont(false));
    buildControls();
    buildMenus();
    showActionMode(ActionMode::Idle);
    // Not resizable: the window is exactly the menu bar plus the table.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmMain::~frmMain() = default;

void frmMain::loadPictures() {
    for (const auto& holder : pictureHolders()) pictures_[holder] = QPixmap(cardResource(holder));
    pictures_[""] = QPixmap();  // the empty slot shows nothing
}

QPixmap frmMain::holderPicture(const std::string& holder) const {
    const auto it = pictures_.find(holder);
    return it == pictures_.end() ? QPixmap() : it->second;
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setFixedSize(kClientWidth, kClientHeight);
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

    const QPixmap handPicture(cardResource("hand"));
    const QCursor hand = handPicture.isNull() ? QCursor(Qt::PointingHandCursor)
                                              : QCursor(handPicture, kCursorHotX, kCursorHotY);
    for (std::int16_t i = 0; i < 5; ++i) {
        auto* slot = new CardSlot(i, central);
        slot->setObjectName(QStringLiteral("imgCard%1").arg(i));
        slot->setGeometry(twipsRect(kSlotLeft + kSlotStep * i, 120, 1275, 1875));
        slot->setScaledContents(true);
        slot->setCursor(hand);
        slot->setPixmap(holderPicture("back"));
        slotPicture_[i] = "back";
        imgCard[i] = slot;
    }

    auto button = [&](const char* name, const char* caption, QRect where) {
        auto* b = new QPushButton(QString::fromLatin1(caption), central);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(where);
        b->setFont(bold);
        b->setAutoDefault(false);
        return b;
    };
    cmdDone = button("cmdDone", "Done", twipsRect(6900, 180, 1155, 375));
    txtRaise = new QLineEdit(QStringLiteral("1"), central);
    txtRaise->setObjectName(QStringLiteral("txtRaise"));
    txtRaise->setGeometry(twipsRect(6900, 660, 375, 315));
    cmdRaise = button("cmdRaise", "Raise", twipsRect(7320, 660, 735, 375));
    cmdCall = button("cmdCall", "Call", twipsRect(6900, 1140, 1155, 375));
    cmdPass = button("cmdPass", "Pass", twipsRect(6900, 1620, 1155, 375));

    lstSeat = new QTreeWidget(central);
    lstSeat->setObjectName(QStringLiteral("lstSeat"));
    lstSeat->setGeometry(twipsRect(60, 2220, 7935, 1815));
    lstSeat->setRootIsDecorated(false);
    lstSeat->setItemsExpandable(false);
    lstSeat->setUniformRowHeights(true);
    lstSeat->setAllColumnsShowFocus(true);
    lstSeat->setHeaderLabels({QStringLiteral("Seat"), QStringLiteral("Name"), QStringLiteral("State"),
                              QStringLiteral("Exchanged"), QStringLiteral("Bank"), QStringLiteral("Bet")});
    const int widths[] = {400, 1000, 1500, 500, 1000, 1000};
    for (int c = 0; c < 6; ++c) lstSeat->setColumnWidth(c, px(widths[c]));
    lstSeat->header()->setStretchLastSection(false);
    for (int seat = 0; seat < wire::kSeatCount; ++seat)
        lstSeat->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::number(seat)}));

    txtTcp = new QPlainTextEdit(central);
    txtTcp->setObjectName(QStringLiteral("txtTcp"));
    txtTcp->setGeometry(twipsRect(8040, 2220, 2835, 3975));
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
    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
}

void frmMain::DrawCard(std::int16_t PosNo, std::int16_t CardNo) {
    CardSlot* slot = imgCard.at(static_cast<std::size_t>(PosNo));
    if (const auto holder = holderName(CardNo)) {
        slot->setPixmap(holderPicture(*holder));
        slotPicture_[static_cast<std::size_t>(PosNo)] = *holder;
    }
    // Repaint and yield even for an unlisted code: the deal shows card by card.
    slot->repaint();
    QCoreApplication::processEvents();
}

void frmMain::ShowStatus(const std::string& text) {
    if (statusPanel) statusPanel->setText(latin1(text));
}

QString frmMain::statusText() const { return statusPanel->text(); }

void frmMain::showActionMode(ActionMode mode) {
    cmdDone->setVisible(mode == ActionMode::CardChanging);
    const bool betting = mode == ActionMode::Betting;
    cmdPass->setVisible(betting);
    cmdCall->setVisible(betting);
    cmdRaise->setVisible(betting);
    txtRaise->setVisible(betting);
    repaint();
    QCoreApplication::processEvents();
}

void frmMain::setSeatCell(int row, SeatColumn column, const std::string& text) {
    if (QTreeWidgetItem* item = lstSeat->topLevelItem(row))
        item->setText(static_cast<int>(column), latin1(text));
}

void frmMain::appendTrace(const std::string& text) { appendAtEnd(txtTcp, text); }

void frmMain::appendChat(const std::string& text) { appendAtEnd(txtChatLog, text); }

void frmMain::setTitle(const std::string& text) { setWindowTitle(latin1(text)); }

void frmMain::closeWindow() { close(); }

void frmMain::drawAttention() {
    if (!isActiveWindow()) QApplication::alert(this);
}

void frmMain::showTable(std::int32_t number) { mnuAddComputer->setEnabled(number > 0); }

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
