#include "ModalWatcher.h"
#include "WindowTour.h"
#include "app/frmMain.h"
#include "legalpages/frmLegalPages.h"
#include "site/FactsFile.h"
#include "widgets/FolderList.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

// The main menu's wiring: the legal pages window and how the program ends. The bulk window opens
// modal (tst_keyboard finds it as the active modal window, and the key press that opened it
// returns only once it has closed).
class MainMenuTest : public QObject {
    Q_OBJECT

    frmMain *m_menu = nullptr;

    void click(const char *button) {
        QTest::mouseClick(m_menu->findChild<QPushButton *>(button), Qt::LeftButton);
    }

private slots:
    void init() {
        Seam::setProgramFolder(QStringLiteral(CW_BINARY_DIR));
        Seam::setRecordingMessages(true);
        m_menu = static_cast<frmMain *>(WindowTour::showActive(new frmMain));
    }
    void cleanup() { WindowTour::closeAll(); }

    // "Close App" ends the program at once with status 0, without closing the other windows.
    void closeAppEndsAtOnceWithStatusZero() {
        click("Command1");
        QTimer::singleShot(10000, m_menu, [] { QCoreApplication::exit(99); });
        QTimer::singleShot(0, m_menu, [this] { click("Command2"); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(m_menu->legalPagesWindow() && m_menu->legalPagesWindow()->isVisible());
    }

    // "Close App" while pages are written: the run finishes and shows its link code first.
    void closeAppDuringAPagesRunWaitsForItsLinkCode() {
        QTemporaryDir root;
        const QString site = root.filePath("site");
        QVERIFY(QDir().mkpath(site));
        // The facts the pages state, where the window looks for them first.
        QVERIFY(QFile::copy(CW_SOURCE_DIR "/tests/data/facts-hobby.toml",
                            FactsFile::defaultPath(site)));
        click("Command1");
        frmLegalPages *legal = m_menu->legalPagesWindow();
        QVERIFY(legal->findChild<FolderList *>("Dir1")->setPath(site));
        auto *list = legal->findChild<QListWidget *>("lstDisclaimers");
        for (const char *page : {"Privacy Policy", "Terms Of Use"})
            list->findItems(page, Qt::MatchExactly).at(0)->setCheckState(Qt::Checked);
        legal->findChild<QLineEdit *>("txtSiteName")->setText("A");
        legal->findChild<QLineEdit *>("txtSiteUrl")->setText("https://a.test");
        legal->findChild<QLineEdit *>("txtemail")->setText("a@a.test");
        bool ended = false;
        Seam::setProgramEnder([&] { ended = true; });
        QString code;
        ModalWatcher watcher([&](QWidget *links) {
            code = links->findChild<QPlainTextEdit *>("txtLinks")->toPlainText();
            QVERIFY(!ended);
            links->close();
        });
        QTimer::singleShot(0, m_menu, [this] { click("Command2"); });
        QTest::mouseClick(legal->findChild<QPushButton *>("cmdCreatePages"), Qt::LeftButton);
        QVERIFY(watcher.fired());
        QVERIFY2(code.count("<a href=") == 2, qPrintable(code));
        QTRY_VERIFY(ended);
        Seam::setProgramEnder(nullptr);
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
