#include "ModalWatcher.h"
#include "app/Seam.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "bulk/frmMass.h"
#include "legalpages/frmLegalPages.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Seam::setRecordingMessages(true);
        Seam::setProgramFolder(QStringLiteral(CW_BINARY_DIR));
    }

    void cleanup() {
        Seam::setProgramEnder(nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
    }

    void looksAsLaidOut() {
        frmMain menu;
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QCOMPARE(menu.windowTitle(), QString("Clausewright"));
        QCOMPARE(menu.size(), Twips::size(10185, 4650));
        QCOMPARE(menu.minimumSize(), menu.maximumSize());
        QCOMPARE(menu.findChild<QWidget *>("Picture1")->palette().color(QPalette::Window),
                 QColor(64, 64, 64));
        auto *legal = menu.findChild<QPushButton *>("Command1");
        auto *bulk = menu.findChild<QPushButton *>("vbtnLoad");
        auto *close = menu.findChild<QPushButton *>("Command2");
        QCOMPARE(bulk->geometry(), Twips::rect(1395, 2430, 7125, 690));
        QCOMPARE(close->text(), QString("&Close App"));
        QTRY_COMPARE(QApplication::focusWidget(), bulk);
        QCOMPARE(bulk->nextInFocusChain(), legal);
        QCOMPARE(legal->nextInFocusChain(), close);
    }

    void legalPagesWindowIsOneInstanceInFront() {
        frmMain menu;
        menu.show();
        auto *button = menu.findChild<QPushButton *>("Command1");
        QTest::mouseClick(button, Qt::LeftButton);
        QPointer<frmLegalPages> first = menu.legalPagesWindow();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(!first->isModal());
        QCOMPARE(first->windowTitle(), QString("Add Legal Pages to Website"));

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(menu.legalPagesWindow(), first.data());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return qobject_cast<frmLegalPages *>(w); }),
                 1);

        // Closed and opened again: a fresh window with its set-up run anew.
        first->close();
        QTRY_VERIFY(first.isNull());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(menu.legalPagesWindow());
        QVERIFY(menu.legalPagesWindow()->isVisible());
    }

    void bulkWindowIsModal() {
        frmMain menu;
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        bool sawTitle = false;
        bool menuIgnoredClick = false;
        ModalWatcher watcher([&](QWidget *modal) {
            auto *bulk = qobject_cast<frmMass *>(modal);
            sawTitle = bulk && bulk->windowTitle() ==
                                   "Add Legal Terms and Conditions to Articles (.txt) 2.2  ";
            // The menu takes no input while the bulk window is open.
            // Clicked through the window system, where a modal window blocks input to the others.
            auto *button = menu.findChild<QPushButton *>("Command1");
            QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {},
                              button->mapTo(&menu, button->rect().center()));
            QCoreApplication::processEvents();
            menuIgnoredClick = menu.legalPagesWindow() == nullptr;
            modal->close();
        });
        QTest::mouseClick(menu.findChild<QPushButton *>("vbtnLoad"), Qt::LeftButton);
        // The click returns only once the bulk window has closed.
        QVERIFY(watcher.fired());
        QVERIFY(sawTitle);
        QVERIFY(menuIgnoredClick);
        QVERIFY(!menu.bulkWindow());
    }

    void closeAppEndsAtOnceWithStatusZero() {
        frmMain menu;
        menu.show();
        QTest::mouseClick(menu.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(menu.legalPagesWindow());
        // The real ending, not a stand-in: the event loop returns 0 and no window is closed.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        QTimer::singleShot(0, &menu, [&] {
            QTest::mouseClick(menu.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(menu.legalPagesWindow());
        QVERIFY(menu.legalPagesWindow()->isVisible());
    }

    void programEndsWhenLastWindowCloses() {
        auto *menu = new frmMain;
        menu->show();
        QTest::mouseClick(menu->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QPointer<frmLegalPages> pages = menu->legalPagesWindow();
        QVERIFY(pages);
        bool runningAfterMenuClosed = false;
        QTimer::singleShot(0, menu, [menu] { menu->close(); });
        QTimer::singleShot(300, pages, [&] {
            runningAfterMenuClosed = true; // the loop still runs: the legal-pages window is open
            pages->close();
        });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(runningAfterMenuClosed);
    }
};

QTEST_MAIN(MainMenuTest)
#include "tst_mainmenu.moc"
