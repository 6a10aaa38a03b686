#pragma once
// The program's real prompts, boxes and desktop services.

#include <QPointer>
#include <QWidget>

#include "client/protocol/ports.h"

namespace client {

class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultAnswer) override;
    void MsgBox(const std::string& text) override;

private:
    QPointer<QWidget> owner_;
};

class QtDesktop : public IDesktop {
public:
    // Starts the program named Tessarin in this program's own directory.
    void StartSecondCopy(const std::string& arguments) override;
    void OpenLink(const std::string& url) override;
};

// The command line as one text: every argument after the program name,
// joined with single spaces, as Latin-1 bytes.
std::string CommandLineOf(const QStringList& arguments);

}  // namespace client
