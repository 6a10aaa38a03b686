// Tessarin: the card table of the Quorvane poker server.
#include <QApplication>
#include <QPoint>

#include "client/protocol/qt_ports.h"
#include "client/protocol/table_client.h"
#include "client/table/frm_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    client::frmMain window;
    const std::string commandLine = client::commandLineOf(QCoreApplication::arguments());
    client::TableClient table(window, commandLine);
    window.show();
    // Both test players' tables open centred; the second one steps aside so
    // the first stays in view.
    if (commandLine == "-test2") window.move(window.pos() + QPoint(48, 48));
    return app.exec();
}
