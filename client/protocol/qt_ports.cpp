#include "client/protocol/qt_ports.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

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

// Lines keep arriving while a dialog is open; a server sending a box-opening
// line after line must not stack dialogs until the stack runs out.
constexpr int kMaxOpen = 4;
constexpr std::size_t kMaxWaitingBoxes = 100;

}  // namespace

int QtDialogs::run(QDialog& dialog) {
    ++open_;
    const int result = dialog.exec();
    if (--open_ == 0 && !boxes_.empty()) QTimer::singleShot(0, &context_, [this] { showWaiting(); });
    return result;
}

void QtDialogs::showWaiting() {
    if (open_ > 0 || boxes_.empty()) return;  // a dialog opened since shows them when it closes
    if (!owner_) return boxes_.clear();
    const std::string text = boxes_.front();
    boxes_.pop_front();
    showBox(text);  // the next follows once this one has closed
}

void QtDialogs::showBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(""), latin1(text), QMessageBox::Ok, owner_);
    run(box);
}

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultAnswer) {
    if (open_ >= kMaxOpen) return {};
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(latin1(prompt));
    dialog.setTextValue(latin1(defaultAnswer));
    return run(dialog) == QDialog::Accepted ? dialog.textValue().toLatin1().toStdString() : std::string();
}

void QtDialogs::msgBox(const std::string& text) {
    // One box after the other, in the order asked.
    if (open_ > 0 || !boxes_.empty()) {
        if (boxes_.size() < kMaxWaitingBoxes) boxes_.push_back(text);
        return;
    }
    showBox(text);
}

int QtDialogs::chooseItem(const std::string& prompt, const std::vector<std::string>& items) {
    if (items.empty() || open_ >= kMaxOpen) return -1;
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(titleOr(""));
    dialog.setLabelText(latin1(prompt));
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    QStringList list;
    for (const auto& item : items) list << latin1(item);
    dialog.setComboBoxItems(list);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(list.first());  // Enter takes the first at once
    if (run(dialog) != QDialog::Accepted) return -1;
    // The row chosen: two items may read the same.
    if (const auto* view = dialog.findChild<QAbstractItemView*>()) return view->currentIndex().row();
    return static_cast<int>(list.indexOf(dialog.textValue()));
}

void QtDesktop::startSecondCopy(const std::string& arguments) {
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tessarin"));
    QProcess::startDetached(program, latin1(arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void QtDesktop::openLink(const std::string& url) { weblink::OpenURL(url); }

bool QtDesktop::startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    const QString path = findProgram(latin1(program), QCoreApplication::applicationDirPath());
    if (path.isEmpty()) return false;
    QStringList list;
    for (const auto& argument : arguments) list << latin1(argument);
    return QProcess::startDetached(path, list);
}

QString findProgram(const QString& name, const QString& programDir) {
    const QFileInfo beside(QDir(programDir).filePath(name));
    if (beside.isFile() && beside.isExecutable()) return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

namespace {

QSettings programSettings() { return QSettings(QStringLiteral("Quorvane"), QStringLiteral("Tessarin")); }

}  // namespace

std::string QtSettings::value(const std::string& key) {
    return programSettings().value(latin1(key)).toString().toLatin1().toStdString();
}

void QtSettings::setValue(const std::string& key, const std::string& value) {
    programSettings().setValue(latin1(key), latin1(value));
}

}  // namespace client
