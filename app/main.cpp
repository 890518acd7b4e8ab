#include "app/WindowStyle.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clausewright"));
    // The installed desktop entry and icon (share/applications, share/icons/hicolor).
    QGuiApplication::setDesktopFileName(QStringLiteral("clausewright"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("clausewright")));
    WindowStyle::applyApplicationLook(app);
    frmMain menu;
    menu.show();
    return app.exec();
}
