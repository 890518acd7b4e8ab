#include "BulkFixture.h"
#include "ModalWatcher.h"
#include "TestData.h"
#include "WindowTour.h"
#include "app/FolderList.h"
#include "app/Seam.h"
#include "app/frmMain.h"
#include "legalpages/frmLegalPages.h"

#include <QtTest>
#include <QtWidgets>

using WindowTour::nameOf;

namespace {

// A key press where the keyboard focus is, as a user types it.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    QVERIFY2(target, "no window has the keyboard");
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void type(const QString &text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// Closes a modal window when the steps on it end early, so that no test waits on it.
auto closing(QWidget *modal) {
    return qScopeGuard([window = QPointer<QWidget>(modal)] {
        if (window && window->isVisible())
            window->close();
    });
}

QString focused() {
    return nameOf(QApplication::focusWidget());
}

// A folder that holds one subfolder, name, and nothing else; the test starts in it, as the
// program starts in its current folder.
struct StartFolder {
    explicit StartFolder(const QString &name) {
        QDir(dir.path()).mkpath(name);
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    ~StartFolder() { QDir::setCurrent(previous); }
    QString path(const QString &relative) const { return dir.filePath(relative); }
    QTemporaryDir dir;
    QString previous;
};

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
    }
    void cleanup() { WindowTour::closeAll(); }

    // From the main menu: open the bulk window, open the articles folder, type a link text, open
    // the disclaimer panel, tick a disclaimer, run, and close, all with keys.
    void bulkJobByKeysAlone() {
        BulkFolders data;
        Seam::setProgramFolder(data.program());
        StartFolder start("articles");
        TestData::write(start.path("articles"), "a.txt", "Alpha");
        frmMain menu;
        WindowTour::showActive(&menu);
        QString step;
        ModalWatcher watcher([&](QWidget *bulk) {
            const auto closeAnyway = closing(bulk);
            QVERIFY(QTest::qWaitForWindowActive(bulk));
            const auto at = [&](const QString &name) {
                step = name;
                return focused() == name;
            };
            QTRY_VERIFY(at("Dir1"));
            press(Qt::Key_End); // the only subfolder
            press(Qt::Key_Return);
            QCOMPARE(bulk->findChild<QLabel *>("lblFilesFound")->text(), QString("1"));
            press(Qt::Key_L, Qt::AltModifier); // "Link Text:"
            QVERIFY(at("txtLinkText"));
            type("Buy it");
            press(Qt::Key_D, Qt::AltModifier); // the disclaimer panel's header
            QVERIFY(at("QkFrameMenu_1/toggle"));
            press(Qt::Key_Return);
            press(Qt::Key_Tab);
            QVERIFY(at("lstDisclaimers"));
            press(Qt::Key_Home);
            press(Qt::Key_Space);
            QCOMPARE(bulk->findChild<QLabel *>("lblLegalDisclaimersTooltip")->text(),
                     QString("1 Selected"));
            press(Qt::Key_B, Qt::AltModifier); // "Begin Process"
            QTRY_COMPARE(Seam::recordedMessages().size(), 1);
            step = "closing";
            press(Qt::Key_C, Qt::AltModifier); // "Close"
        });
        QTRY_VERIFY(menu.findChild<QPushButton *>("vbtnLoad")->hasFocus());
        press(Qt::Key_Return);
        QVERIFY2(watcher.fired() && !menu.bulkWindow(), qPrintable("stuck at " + step));
        QCOMPARE(Seam::takeMessages().first().title, QString("Process Complete"));
        const QByteArray written = TestData::read(start.path("articles/rewritten_files/a.txt"));
        QVERIFY2(written.contains(">Buy it</a>") && written.contains("Alpha") &&
                     written.endsWith("Affiliate text"),
                 written);
    }

    // From the main menu: open the legal pages window, open the site folder, tick a page, fill
    // the site fields, add the pages, copy the link code and close, all with keys.
    void legalPagesJobByKeysAlone() {
        QTemporaryDir program;
        const QString pages = program.filePath("templates/pages");
        TestData::write(pages, "html/template.html", "<title>#TITLE#</title>#CONTENT#");
        TestData::write(pages, "disclaimer.txt", "<p>[sitename] [siteurl] [email]</p>");
        Seam::setProgramFolder(program.path());
        StartFolder start("site");
        frmMain menu;
        WindowTour::showActive(&menu);
        QTRY_COMPARE(focused(), QString("vbtnLoad"));
        press(Qt::Key_Tab);
        press(Qt::Key_Return); // "Add Legal Pages to Website"
        QPointer<frmLegalPages> legal = menu.legalPagesWindow();
        QVERIFY(legal);
        QVERIFY(QTest::qWaitForWindowActive(legal));
        press(Qt::Key_F, Qt::AltModifier); // "Please select a folder ..."
        QCOMPARE(focused(), QString("Dir1"));
        press(Qt::Key_End);
        press(Qt::Key_Return);
        QCOMPARE(legal->findChild<FolderList *>("Dir1")->path(), start.path("site"));
        press(Qt::Key_P, Qt::AltModifier); // the panel's header names the page list
        QCOMPARE(focused(), QString("lstDisclaimers"));
        press(Qt::Key_Home);
        press(Qt::Key_Space);
        press(Qt::Key_N, Qt::AltModifier);
        type("Acme");
        press(Qt::Key_U, Qt::AltModifier);
        type("acme.example");
        press(Qt::Key_M, Qt::AltModifier);
        type("me@acme.example");
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QString("cmdCreatePages"));
        QString copied;
        ModalWatcher watcher([&](QWidget *links) {
            const auto closeAnyway = closing(links);
            QVERIFY(QTest::qWaitForWindowActive(links));
            press(Qt::Key_Return); // "Copy Code to Clipboard"
            copied = QGuiApplication::clipboard()->text();
            press(Qt::Key_Tab);
            press(Qt::Key_Return); // "Close Window"
        });
        press(Qt::Key_Return);
        QVERIFY(watcher.fired());
        QCOMPARE(copied, QString(R"(<center><a href="disclaimer.html">Disclaimer</a></center>)"));
        QCOMPARE(Seam::takeMessages().size(), 1); // "Done"
        QCOMPARE(TestData::read(start.path("site/disclaimer.html")),
                 "<title>Disclaimer</title><p>Acme acme.example me@acme.example</p>");
        QTRY_VERIFY(legal.isNull());
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
