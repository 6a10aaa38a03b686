#include "server/host/test_mode.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace server {

bool isTestCommandLine(const std::string& commandLine) {
    const auto first = commandLine.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const auto last = commandLine.find_last_not_of(' ');
    return commandLine.compare(first, last - first + 1, kTestSwitch) == 0;
}

QString locateClient(const QString& ownDir) {
    const QFileInfo beside(QDir(ownDir).filePath(QString::fromLatin1(kClientProgram)));
    if (beside.isFile() && beside.isExecutable()) return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(QString::fromLatin1(kClientProgram));
}

std::optional<std::string> startTestClient(const QString& ownDir) {
    const QString program = locateClient(ownDir);
    if (program.isEmpty())
        return std::string(kClientProgram) + " was found neither next to the server nor on the PATH";
    QProcess process;
    process.setProgram(program);
    process.setArguments({QString::fromLatin1(kTestSwitch)});
    if (!process.startDetached()) {
        const QString reason = process.errorString();
        return (reason.isEmpty() ? QStringLiteral("cannot start ") + program : reason).toStdString();
    }
    return std::nullopt;
}

}  // namespace server
