#pragma once
// The program's real prompts, boxes and desktop services.

#include <QPointer>
#include <QWidget>

#include "client/core/ports.h"

namespace client {

class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultAnswer) override;
    void msgBox(const std::string& text) override;

private:
    QPointer<QWidget> owner_;
};

// The window program asks one more thing of the desktop: its About link.
class IWindowDesktop : public IDesktop {
public:
    // Opens a link in the default browser; failure is ignored.
    virtual void openLink(const std::string& url) = 0;
};

class QtDesktop : public IWindowDesktop {
public:
    // Starts the program named Tessarin in this program's own directory.
    void startSecondCopy(const std::string& arguments) override;
    void openLink(const std::string& url) override;
};

}  // namespace client
