#include "BulkFixture.h"
#include "ModalWatcher.h"
#include "TestData.h"
#include "WindowTour.h"
#include "app/frmMain.h"
#include "legalpages/frmLegalPages.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

using WindowTour::nameOf;

namespace {

// Key presses where the keyboard focus is, as a user types them.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
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

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

    // The program starts in its current folder: a fresh one for each test, holding one subfolder.
    std::optional<QTemporaryDir> m_start;
    const QString m_previous = QDir::currentPath();

    QString start(const QString &relative) const { return m_start->filePath(relative); }

private slots:
    void init() {
        m_start.emplace();
        QDir::setCurrent(m_start->path());
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
    }
    void cleanup() {
        WindowTour::closeAll();
        QDir::setCurrent(m_previous);
    }

    // From the main menu: open the bulk window, open the articles folder, type a link text, open
    // the disclaimer panel, tick a disclaimer, run, and close, all with keys. The bulk window is
    // modal: the watcher meets it as the active modal window, and the key press that opened it
    // returns once it has closed.
    void bulkJobByKeysAlone() {
        BulkFolders data;
        Seam::setProgramFolder(data.program());
        TestData::write(start("articles"), "a.txt", "Alpha");
        frmMain menu;
        WindowTour::showActive(&menu);
        ModalWatcher watcher([&](QWidget *bulk) {
            const auto closeAnyway = closing(bulk);
            QVERIFY(QTest::qWaitForWindowActive(bulk));
            QTRY_COMPARE(focused(), QString("Dir1"));
            press(Qt::Key_End); // the only subfolder
            press(Qt::Key_Return);
            press(Qt::Key_N, Qt::AltModifier); // "This product is for people who need to:"
            type("bake bread");
            press(Qt::Key_U, Qt::AltModifier); // "Your Url"
            type("https://shop.example/bread");
            press(Qt::Key_L, Qt::AltModifier); // "Link Text:"
            QCOMPARE(focused(), QString("txtLinkText"));
            type("Buy it");
            press(Qt::Key_D, Qt::AltModifier); // the disclaimer panel's header
            QCOMPARE(focused(), QString("QkFrameMenu_1/toggle"));
            // Open already as the focus arrives, so a screen reader says "expanded".
            QVERIFY(QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                        ->state()
                        .expanded);
            press(Qt::Key_Return);
            press(Qt::Key_Tab);
            QCOMPARE(focused(), QString("lstDisclaimers"));
            press(Qt::Key_Home);
            press(Qt::Key_Space);
            press(Qt::Key_B, Qt::AltModifier); // "Begin Process"
            QTRY_COMPARE(Seam::recordedMessages().size(), 1);
            press(Qt::Key_C, Qt::AltModifier); // "Close"
        });
        QTRY_VERIFY(menu.findChild<QPushButton *>("vbtnLoad")->hasFocus());
        press(Qt::Key_Return);
        QVERIFY(watcher.fired() && !menu.bulkWindow());
        QCOMPARE(Seam::takeMessages().value(0).title, QString("Process Complete"));
        const QByteArray written = TestData::read(start("articles/rewritten_files/a.txt"));
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
        QDir(m_start->path()).mkpath("site");
        frmMain menu;
        WindowTour::showActive(&menu);
        QTRY_COMPARE(focused(), QString("vbtnLoad"));
        press(Qt::Key_Tab);
        press(Qt::Key_Return); // "Add Legal Pages to Website"
        QPointer<frmLegalPages> legal = menu.legalPagesWindow();
        QVERIFY(legal && QTest::qWaitForWindowActive(legal));
        press(Qt::Key_F, Qt::AltModifier); // "Please select a folder ..."
        press(Qt::Key_End);
        press(Qt::Key_Return);
        press(Qt::Key_P, Qt::AltModifier); // the panel's header names the page list
        auto *count = legal->findChild<QLabel *>("lblLegalDisclaimersTooltip");
        press(Qt::Key_A, Qt::ControlModifier); // tick all, then untick all
        QCOMPARE(count->text(), QString("1 Selected"));
        QCOMPARE(focused(), QString("lstDisclaimers"));
        press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(count->text(), QString("0 Selected"));
        press(Qt::Key_Home);
        press(Qt::Key_Space);
        press(Qt::Key_N, Qt::AltModifier);
        type("Acme");
        press(Qt::Key_U, Qt::AltModifier);
        type("https://acme.example");
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
        const QByteArray page = TestData::read(start("site/disclaimer.html"));
        QVERIFY2(page.endsWith(
                     "<title>Disclaimer</title><p>Acme https://acme.example me@acme.example</p>"),
                 page);
        QTRY_VERIFY(legal.isNull());
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
