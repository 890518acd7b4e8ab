#include "ModalWatcher.h"
#include "WindowTour.h"
#include "app/frmMain.h"
#include "bulk/frmMass.h"
#include "legalpages/frmLegalPages.h"

#include <QtTest>
#include <QtWidgets>

// The main menu's wiring: the windows it opens and how the program ends.
class MainMenuTest : public QObject {
    Q_OBJECT

    frmMain *m_menu = nullptr;

    void click(const char *button) {
        QTest::mouseClick(m_menu->findChild<QPushButton *>(button), Qt::LeftButton);
    }

private slots:
    void init() {
        WindowTour::scenes(); // the program's data files and recorded messages
        m_menu = static_cast<frmMain *>(WindowTour::showActive(new frmMain));
    }
    void cleanup() { WindowTour::closeAll(); }

    // The menu takes no click while the bulk window is open (clicked through the window system,
    // which blocks input to the other windows), and the click that opened it returns once it
    // has closed.
    void bulkWindowIsModal() {
        bool bulk = false, menuIgnoredClick = false;
        ModalWatcher watcher([&](QWidget *modal) {
            bulk = qobject_cast<frmMass *>(modal);
            auto *button = m_menu->findChild<QPushButton *>("Command1");
            QTest::mouseClick(m_menu->windowHandle(), Qt::LeftButton, {},
                              button->mapTo(m_menu, button->rect().center()));
            QCoreApplication::processEvents();
            menuIgnoredClick = !m_menu->legalPagesWindow();
            modal->close();
        });
        click("vbtnLoad");
        QVERIFY(watcher.fired() && bulk && menuIgnoredClick);
        QVERIFY(!m_menu->bulkWindow());
    }

    // "Close App" ends the program at once with status 0, without closing the other windows.
    void closeAppEndsAtOnceWithStatusZero() {
        click("Command1");
        QTimer::singleShot(10000, m_menu, [] { QCoreApplication::exit(99); });
        QTimer::singleShot(0, m_menu, [this] { click("Command2"); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(m_menu->legalPagesWindow() && m_menu->legalPagesWindow()->isVisible());
    }

    // One legal pages window at a time, brought to the front by another click, and a fresh one
    // once it has closed. It is a window of its own: the program runs on after the menu closes,
    // and ends when the legal pages window closes too.
    void legalPagesWindowIsOneOfItsOwn() {
        click("Command1");
        QPointer<frmLegalPages> first = m_menu->legalPagesWindow();
        QVERIFY(first && first->isVisible() && !first->isModal());
        click("Command1");
        QCOMPARE(m_menu->legalPagesWindow(), first.data());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return qobject_cast<frmLegalPages *>(w); }),
                 1);
        first->close();
        QTRY_VERIFY(first.isNull());
        click("Command1");
        QPointer<frmLegalPages> second = m_menu->legalPagesWindow();
        QVERIFY(second && second->isVisible());
        bool runningAfterMenuClosed = false;
        QTimer::singleShot(0, m_menu, [this] { m_menu->close(); });
        QTimer::singleShot(300, second, [&] {
            runningAfterMenuClosed = true;
            second->close();
        });
        QTimer::singleShot(10000, m_menu, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(runningAfterMenuClosed);
    }
};

QTEST_MAIN(MainMenuTest)
#include "tst_mainmenu.moc"
