// Tessarin: the card table of the Quorvane poker server.
#include <QApplication>

#include "client/protocol/qt_ports.h"
#include "client/protocol/table_client.h"
#include "client/table/frm_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    client::frmMain window;
    client::TableClient table(window, client::CommandLineOf(QCoreApplication::arguments()));
    window.show();
    return app.exec();
}
