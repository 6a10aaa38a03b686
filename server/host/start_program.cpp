#include "server/host/start_program.h"

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

QString locateProgram(const QString& name, const QString& ownDir) {
    const QFileInfo beside(QDir(ownDir).filePath(name));
    if (beside.isFile() && beside.isExecutable()) return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

Started startProgram(const char* name, const QStringList& arguments, const QString& ownDir,
                     const StartFn& start) {
    Started result{locateProgram(QString::fromLatin1(name), ownDir), std::nullopt};
    if (result.program.isEmpty()) {
        result.failure = std::string(name) + " was found neither next to the server nor on the PATH";
    } else if (start) {
        result.failure = start(result.program, arguments);
    } else {
        QProcess process;
        process.setProgram(result.program);
        process.setArguments(arguments);
        if (!process.startDetached()) {
            const QString reason = process.errorString();
            result.failure = (reason.isEmpty() ? "cannot start " + result.program : reason).toStdString();
        }
    }
    return result;
}

}  // namespace server
