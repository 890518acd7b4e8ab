#include "app/WindowStyle.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clausewright"));
    WindowStyle::applyApplicationLook(app);
    frmMain menu;
    menu.show();
    return app.exec();
}
