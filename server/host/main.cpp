// Quorvane: the poker server with its operator's window.

#include <string>

#include <QApplication>
#include <QStringList>

#include "server/host/frm_main.h"
#include "wire/messages.h"

int main(int argc, char* argv[]) {
    // Qt's own poll-based event loop costs fewer system calls per socket event
    // than the GLib one; every request's answer waits on it.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) args.removeFirst();
    const QByteArray commandLine = args.join(QLatin1Char(' ')).toLocal8Bit();
    server::frmMain window(wire::kServerPort, commandLine.toStdString());
    window.show();
    return app.exec();
}
