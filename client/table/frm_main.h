#pragma once
// The card table window: the player's five cards on a maroon strip with the
// exchange and betting controls and the last hand's outcome beside them, the
// seat list with the pot line, the protocol trace, the chat, the status bar
// and a hand history that can be hidden. The table's layout is fixed:
// positions are given in twips and shown at 15 twips a pixel.
//
// Keys: 1 to 5 mark a card (as a click does), Enter is Done during the
// exchange and Call during the betting, R goes to the raise amount and F
// passes. The chat and raise boxes keep the keys they type with, and their
// own Enter.

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "client/core/hand.h"
#include "client/core/picture_code.h"
#include "client/core/ports.h"

class QAction;
class QDockWidget;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace client {

// A picture from the resources ("C1", "back", "hand", ...) for a screen of
// the given pixel ratio: above 1 the double-size one at a ratio of 2, so it
// takes the same room, finer. Null when absent.
QPixmap cardPicture(const std::string& holder, qreal screenRatio);

// One card slot: shows its picture stretched and reports a click.
class CardSlot : public QLabel {
    Q_OBJECT
public:
    CardSlot(std::int16_t index, QWidget* parent);
    std::int16_t index() const { return index_; }
    // What a left click does.
    void click() { emit clicked(index_); }

signals:
    void clicked(std::int16_t index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::int16_t index_;
};

class frmMain : public QMainWindow, public IClientView {
    Q_OBJECT
public:
    // The sound defaults to the real player; tests pass their own.
    explicit frmMain(std::unique_ptr<ISound> sound = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // IClientView. Texts are Latin-1; the trace, the chat and the history
    // keep their newest line in view.
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override;
    // Dimmed, crossed and tagged DISCARD.
    void DrawMarkedCard(std::int16_t PosNo, std::int16_t CardNo) override;
    void ShowStatus(const std::string& text) override;
    void setSeatCell(int row, SeatColumn column, const std::string& text) override;
    // A deal (CardChanging) also ends the last outcome, once it has been up
    // for outcomeHoldMs.
    void showActionMode(ActionMode mode) override;
    void appendTrace(const std::string& text) override;
    void appendChat(const std::string& text) override;
    // The title given is followed by the game's number and name, if any.
    void setTitle(const std::string& text) override;
    void closeWindow() override;
    void drawAttention() override;
    void showTable(std::int32_t number) override;
    void showGameName(const std::string& name) override;
    void markSeat(int row, SeatMark mark) override;
    void showPot(std::int32_t pot, std::int32_t toCall) override;
    void showOutcome(const std::string& text) override;
    bool showsOutcome() const override { return true; }
    void addHistory(const std::string& entry) override;

    // A yes-or-no question, No by default; true for Yes.
    bool confirm(const QString& question);

    QString statusText() const;
    // The holder shown in a slot ("C1", "back", "" when empty), followed by
    // "*" when the card is marked for the exchange; for checks.
    std::string slotPicture(std::int16_t PosNo) const;
    // The picture of a holder as loaded for this screen (null if absent).
    QPixmap holderPicture(const std::string& holder) const;

    // The window's controls.
    QLabel* Label17 = nullptr;
    std::array<CardSlot*, 5> imgCard{};
    QPushButton* cmdDone = nullptr;
    QLineEdit* txtRaise = nullptr;
    QPushButton* cmdRaise = nullptr;
    QPushButton* cmdCall = nullptr;
    QPushButton* cmdPass = nullptr;
    QLabel* lblOutcome = nullptr;  // the end of the last hand, on the strip
    QTreeWidget* lstSeat = nullptr;
    QLabel* lblPot = nullptr;  // "Pot 40 — to call 10", beside the seat list
    QPlainTextEdit* txtTcp = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtChat = nullptr;
    QPlainTextEdit* txtChatLog = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel = nullptr;  // the status bar's single panel
    QLabel* gamePanel = nullptr;    // the game's number and name, right in the status bar
    QDockWidget* dockHistory = nullptr;
    QPlainTextEdit* txtHistory = nullptr;

    QAction* mnuConnect = nullptr;
    QAction* mnuNewGame = nullptr;
    QAction* mnuJoinGame = nullptr;
    QAction* mnuStartGame = nullptr;
    QAction* mnuAddComputer = nullptr;  // needs a table to join
    QAction* mnuExit = nullptr;
    QAction* mnuHistory = nullptr;  // View: shows or hides the hand history
    QAction* mnuAbout = nullptr;

    bool Activated = false;
    // How long an outcome stays up at least: the server deals the next hand
    // at once, and the player must get to read it.
    int outcomeHoldMs = 5000;

private:
    std::unique_ptr<ISound> sound_;  // declared before Hand, which plays through it

public:
    clsHand Hand;  // the player's five cards, drawn in imgCard

signals:
    // The window has been shown or activated for the first time.
    void firstActivation();
    // The window is closing.
    void unloading();
    // F during the betting: pass, once it is sure the player means it.
    void passKey();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Slot {
        std::string holder = "back";
        std::int16_t code = kPictureBack;
        bool marked = false;
    };

    void buildControls();
    void buildMenus();
    void buildKeys();
    // The pictures and the cursor for the screen the window is on.
    void loadPictures();
    void paintSlot(std::size_t p);
    void setSlot(std::int16_t PosNo, std::int16_t CardNo, bool marked);
    void updateGame();
    void activateOnce();

    std::map<std::string, QPixmap> pictures_;
    qreal pictureRatio_ = 1;
    std::array<Slot, 5> slots_{};
    QString title_;
    std::int32_t tableNumber_ = 0;
    QString gameName_;
    QElapsedTimer outcomeShown_;
    QTimer outcomeEnd_;
    bool centred_ = false;
};

}  // namespace client
