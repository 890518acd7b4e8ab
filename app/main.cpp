#include "app/frmMain.h"
#include "cli/CommandLine.h"
#include "widgets/WindowStyle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[]) {
    // A command needs no window, no display and no platform plugin; Qt's own options alone
    // ("-style fusion") start the windows, which take them.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::isCommand(arguments)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("clausewright"));
        QCoreApplication::setApplicationVersion(QStringLiteral(CW_VERSION));
        return CommandLine::run(QCoreApplication::arguments());
    }
    // Without a display Qt would abort with advice that does not help: say what to do instead.
    if (const QString missing = CommandLine::missingDisplay(); !missing.isEmpty()) {
        std::fputs(missing.toLocal8Bit().constData(), stderr);
        return CommandLine::SomeFailed;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clausewright"));
    QApplication::setApplicationVersion(QStringLiteral(CW_VERSION));
    // The installed desktop entry and icon (share/applications, share/icons/hicolor).
    QGuiApplication::setDesktopFileName(QStringLiteral("clausewright"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("clausewright")));
    WindowStyle::applyApplicationLook(app);
    frmMain menu;
    menu.show();
    return app.exec();
}
