// Tessarin: the card table of the Quorvane poker server.
#include <QApplication>
#include <QPoint>

#include <cstdio>

#include "client/protocol/command_line.h"
#include "client/protocol/table_client.h"
#include "client/table/frm_main.h"

int main(int argc, char** argv) {
    // As the program received it: QApplication takes Qt's own switches out of argv.
    const std::string commandLine = client::commandLineOf(argc, argv);
    {
        // Help and version need no display.
        const QCoreApplication early(argc, argv);
        if (const auto text = client::answerWithoutWindow(QCoreApplication::arguments())) {
            std::fputs(text->c_str(), stdout);
            return 0;
        }
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Tessarin"));
    QApplication app(argc, argv);
    client::frmMain window;
    client::TableClient table(window, commandLine);
    window.show();
    // Both test players' tables open centred; the second one steps aside so
    // the first stays in view.
    if (commandLine == "-test2") window.move(window.pos() + QPoint(48, 48));
    return app.exec();
}
