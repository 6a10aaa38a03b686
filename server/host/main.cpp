// Quorvane: the poker server, with its operator's window or headless.

#include <cstdio>

#include <QApplication>
#include <QStringList>

#include "server/engine/shuffle.h"
#include "server/host/command_line.h"
#include "server/host/frm_main.h"
#include "server/host/headless.h"
#include "wire/messages.h"

int main(int argc, char* argv[]) {
    // Qt's own poll-based event loop costs fewer system calls per socket event
    // than the GLib one; every request's answer waits on it.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    // Read before anything needs a display, and before the window's toolkit
    // takes its own switches from argv: test mode goes by the line as given.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const server::CommandLine commandLine = server::parseCommandLine(arguments, false);
    if (commandLine.version || commandLine.help) {
        const QByteArray text = commandLine.version
                                    ? QByteArray(wire::kServerTitle.data(), wire::kServerTitle.size()) + '\n'
                                    : server::helpText().toLocal8Bit();
        std::fputs(text.constData(), stdout);
        return 0;
    }
    const auto refused = [](const QString& error) {
        if (!error.isEmpty()) std::fprintf(stderr, "Quorvane: %s\n", qPrintable(error));
        return !error.isEmpty();
    };
    // Without a window every word must be ours; with one, the toolkit's own
    // switches are left to it.
    if (refused(server::parseCommandLine(arguments, commandLine.headless).error)) return 2;
    if (commandLine.headless) return server::runHeadless(argc, argv, commandLine);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Quorvane"));
    server::HostHooks hooks;
    if (commandLine.seed) hooks.shuffle = server::seededShuffler(*commandLine.seed);
    server::frmMain window(commandLine.port, commandLine.raw, hooks);
    if (commandLine.seed) window.WriteLog(server::seedNotice(*commandLine.seed));
    if (commandLine.turnTime.count() > 0) window.host().setTurnTime(commandLine.turnTime);
    window.show();
    return app.exec();
}
