#pragma once
// The card table window: the player's five cards on a maroon strip with the
// exchange and betting controls beside them, the seat list, the protocol
// trace, the chat and the status bar. The layout is fixed, in pixels of the
// original twips design (15 twips a pixel).

#include <QLabel>
#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "client/table/action_mode.h"
#include "client/table/hand.h"
#include "client/table/hand_view.h"
#include "client/table/sound.h"

class QAction;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace client {

// One card slot: shows its picture stretched and reports a click.
class CardSlot : public QLabel {
    Q_OBJECT
public:
    CardSlot(std::int16_t index, QWidget* parent);
    std::int16_t index() const { return index_; }

signals:
    void clicked(std::int16_t index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::int16_t index_;
};

class frmMain : public QMainWindow, public IHandView {
    Q_OBJECT
public:
    // The sound defaults to the real player; tests pass their own.
    explicit frmMain(std::unique_ptr<ISound> sound = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // IHandView
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override;
    void ShowStatus(const std::string& text) override;

    // Shows the controls of one action mode, hides the others, repaints and
    // lets pending events run.
    void ShowActionMode(ActionMode mode);
    // Seat list cell: row 0..5 is the seat, column 0..5 as the headers.
    void SetSeatCell(int row, int column, const std::string& latin1Text);
    // Appends received or sent text (Latin-1) to the protocol trace, newest in view.
    void AppendTrace(const std::string& latin1Text);
    // Appends text (Latin-1) to the chat log, newest in view.
    void AppendChat(const std::string& latin1Text);
    // Asks the desktop to draw attention to the window if it is not active.
    void DrawAttention();

    QString StatusText() const;
    // The holder shown in a slot ("C1", "back", "" when empty), for checks.
    const std::string& SlotPicture(std::int16_t PosNo) const { return slotPicture_.at(PosNo); }
    // The picture of a holder as loaded from the resources (null if absent).
    QPixmap HolderPicture(const std::string& holder) const;

    // Controls, named as the table's design names them.
    QLabel* Label17 = nullptr;
    std::array<CardSlot*, 5> imgCard{};
    QPushButton* cmdDone = nullptr;
    QLineEdit* txtRaise = nullptr;
    QPushButton* cmdRaise = nullptr;
    QPushButton* cmdCall = nullptr;
    QPushButton* cmdPass = nullptr;
    QTreeWidget* lstSeat = nullptr;
    QPlainTextEdit* txtTcp = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtChat = nullptr;
    QPlainTextEdit* txtChatLog = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr;  // the status bar's single panel

    QAction* mnuConnect = nullptr;
    QAction* mnuNewGame = nullptr;
    QAction* mnuJoinGame = nullptr;
    QAction* mnuStartGame = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuAbout = nullptr;

    bool Activated = false;

private:
    std::unique_ptr<ISound> sound_;  // declared before Hand, which plays through it

public:
    clsHand Hand;  // the player's five cards, drawn in imgCard

signals:
    // The window has been shown or activated for the first time.
    void firstActivation();
    // The window is closing.
    void unloading();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void loadPictures();
    void activateOnce();

    std::map<std::string, QPixmap> pictures_;
    std::array<std::string, 5> slotPicture_{};
    bool centred_ = false;
};

}  // namespace client
