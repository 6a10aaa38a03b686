#pragma once
// The program's real prompts, boxes and desktop services.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <string>
#include <vector>

#include "client/core/ports.h"

namespace client {

class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultAnswer) override;
    void msgBox(const std::string& text) override;
    // A list to pick from; double-click or OK takes the item.
    int chooseItem(const std::string& prompt, const std::vector<std::string>& items) override;

private:
    // Runs one dialog; once the last open one has closed and its caller has
    // had the answer, the boxes asked for meanwhile follow.
    int run(QDialog& dialog);
    void showWaiting();
    void showBox(const std::string& text);

    QPointer<QWidget> owner_;
    QObject context_;                // the showing of waiting boxes goes with this object
    int open_ = 0;                   // our dialogs open, one inside the other
    std::deque<std::string> boxes_;  // boxes waiting for the open dialog to close
};

// The window program asks more of the desktop: its About link and the
// computer player.
class IWindowDesktop : public IDesktop {
public:
    // Opens a link in the default browser; failure is ignored.
    virtual void openLink(const std::string& url) = 0;
    // Starts a program of this package without waiting; false when it cannot
    // be found or started.
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

class QtDesktop : public IWindowDesktop {
public:
    // Starts the program named Tessarin in this program's own directory.
    void startSecondCopy(const std::string& arguments) override;
    void openLink(const std::string& url) override;
    // Looks for the program beside this one first, then on the PATH.
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override;
};

// The executable `name` in `programDir`, else on the PATH; empty when neither has it.
QString findProgram(const QString& name, const QString& programDir);

// The program's settings, kept by Qt for the organisation Quorvane and the
// application Tessarin.
class QtSettings : public ISettings {
public:
    std::string value(const std::string& key) override;
    void setValue(const std::string& key, const std::string& value) override;
};

}  // namespace client
