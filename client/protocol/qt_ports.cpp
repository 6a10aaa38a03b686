#include "client/protocol/qt_ports.h"

#include <QCoreApplication>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>

#include "weblink/open_url.h"

namespace client {

namespace {

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Prompts and boxes without a title of their own carry the program's name.
QString titleOr(const std::string& title) {
    return title.empty() ? QCoreApplication::applicationName() : latin1(title);
}

}  // namespace

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultAnswer) {
    bool ok = false;
    const QString answer = QInputDialog::getText(owner_, titleOr(title), latin1(prompt), QLineEdit::Normal,
                                                 latin1(defaultAnswer), &ok);
    return ok ? answer.toLatin1().toStdString() : std::string();
}

void QtDialogs::msgBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(""), latin1(text), QMessageBox::Ok, owner_);
    box.exec();
}

void QtDesktop::startSecondCopy(const std::string& arguments) {
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tessarin"));
    QProcess::startDetached(program, latin1(arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void QtDesktop::openLink(const std::string& url) { weblink::OpenURL(url); }

}  // namespace client
