#pragma once
// The card table window: the player's five cards on a maroon strip with the
// exchange and betting controls beside them, the seat list, the protocol
// trace, the chat and the status bar. The layout is fixed: positions are
// given in twips and shown at 15 twips a pixel.

#include <QLabel>
#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "client/core/hand.h"
#include "client/core/ports.h"

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

class frmMain : public QMainWindow, public IClientView {
    Q_OBJECT
public:
    // The sound defaults to the real player; tests pass their own.
    explicit frmMain(std::unique_ptr<ISound> sound = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // IClientView. Texts are Latin-1; the trace and the chat keep their
    // newest line in view.
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override;
    void ShowStatus(const std::string& text) override;
    void setSeatCell(int row, SeatColumn column, const std::string& text) override;
    void showActionMode(ActionMode mode) override;
    void appendTrace(const std::string& text) override;
    void appendChat(const std::string& text) override;
    void setTitle(const std::string& text) override;
    void closeWindow() override;
    void drawAttention() override;
    void showTable(std::int32_t number) override;

    QString statusText() const;
    // The holder shown in a slot ("C1", "back", "" when empty), for checks.
    const std::string& slotPicture(std::int16_t PosNo) const { return slotPicture_.at(PosNo); }
    // The picture of a holder as loaded from the resources (null if absent).
    QPixmap holderPicture(const std::string& holder) const;

    // The window's controls.
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
    QLabel* statusPanel = nullptr;  // the status bar's single panel

    QAction* mnuConnect = nullptr;
    QAction* mnuNewGame = nullptr;
    QAction* mnuJoinGame = nullptr;
    QAction* mnuStartGame = nullptr;
    QAction* mnuAddComputer = nullptr;  // needs a table to join
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
