// The legal pages window's wiring: the core test proves the pages' bytes and the rules.
#include "ModalWatcher.h"
#include "TestData.h"
#include "legalpages/frmInsertLinksTMP.h"
#include "legalpages/frmLegalPages.h"
#include "legalpages/frmSiteFacts.h"
#include "widgets/FileList.h"
#include "widgets/FolderList.h"
#include "widgets/Seam.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QString Privacy = R"(<a href="privacy-policy.html">Privacy-Policy</a>)";
const QString NoLinkWindow = "(no link code window)";

template <typename T> T *child(QWidget *window, const char *name) {
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The one message told since the last call, as "title: text".
QString toldOnce() {
    const QList<Seam::Message> told = Seam::takeMessages();
    return told.size() == 1 ? told.first().title + ": " + told.first().text
                            : QString("%1 messages told").arg(told.size());
}

} // namespace

class LegalPagesTest : public QObject {
    Q_OBJECT

    // A program folder whose pages folder holds the HTML page template and three entries, and an
    // empty site folder.
    std::optional<QTemporaryDir> m_program, m_site;
    QPointer<frmLegalPages> m_window;

    QString pages() const { return m_program->filePath("templates/pages"); }
    QListWidget *list() const { return child<QListWidget>(m_window, "lstDisclaimers"); }
    QString preview() const {
        return child<QPlainTextEdit>(m_window, "txtDisclaimerPreview")->toPlainText();
    }
    QString counter() const {
        return child<QLabel>(m_window, "lblLegalDisclaimersTooltip")->text();
    }

    // Ticks or unticks entries the way a user does: Space on each one in turn.
    void tick(const QList<int> &rows) {
        for (int row : rows) {
            list()->setCurrentRow(row);
            QTest::keyClick(list(), Qt::Key_Space);
        }
    }

    // Opens the window on the site folder, ticks the rows and fills the site fields.
    void open(const QList<int> &ticks = {}, const QString &siteName = "Acme") {
        m_window = new frmLegalPages();
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QVERIFY(child<FolderList>(m_window, "Dir1")->setPath(m_site->path()));
        tick(ticks);
        child<QLineEdit>(m_window, "txtSiteName")->setText(siteName);
        child<QLineEdit>(m_window, "txtSiteUrl")->setText("https://acme.test");
        child<QLineEdit>(m_window, "txtemail")->setText("e@acme.test");
    }

    // Clicks "Add Pages"; the link code window, if one opens, goes to handler, which closes it.
    // Returns the link code it showed.
    QString run(std::function<void(frmInsertLinksTMP *)> handler = &frmInsertLinksTMP::close) {
        QString code = NoLinkWindow;
        ModalWatcher watcher([&](QWidget *modal) {
            code = child<QPlainTextEdit>(modal, "txtLinks")->toPlainText();
            handler(qobject_cast<frmInsertLinksTMP *>(modal));
        });
        QTest::mouseClick(child<QPushButton>(m_window, "cmdCreatePages"), Qt::LeftButton);
        return code;
    }

private slots:
    void init() {
        m_program.emplace();
        m_site.emplace();
        TestData::write(pages(), "html/template.html", "<title>#TITLE#</title>\r\n#CONTENT#\r\n");
        TestData::write(pages(), "disclaimer.txt", "<p>[sitename] [siteurl] [email]</p>");
        TestData::write(pages(), "privacy-policy.txt", "<p>P #TITLE#</p>");
        TestData::write(pages(), "terms-of-use.txt", "<p>T [date]</p>");
        Seam::setProgramFolder(m_program->path());
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
    }

    void cleanup() { qDeleteAll(QApplication::topLevelWidgets()); }

    void missingPagesFolderIsToldOnceAndTheWindowStillOpens() {
        QDir(pages()).removeRecursively();
        open();
        QTRY_COMPARE(Seam::recordedMessages().size(), 1);
        const QString message = toldOnce();
        QVERIFY2(message.startsWith("Error: ") && message.contains(pages()), qPrintable(message));
        QVERIFY(m_window->isVisible());
    }

    // The checks come first, in order. Failed pages are told in one message; the link code window
    // opens only when a page was written, and links only the pages written.
    void checksThenFailedPagesToldAndLeftOutOfTheLinkCode() {
        QDir().mkpath(m_site->filePath("disclaimer.html")); // a folder where the page should go
        open({}, "");
        QCOMPARE(run(), NoLinkWindow);
        QCOMPARE(toldOnce(), "No Page Selected: Please select at least 1 legal page to add.");
        tick({0});
        QCOMPARE(run(), NoLinkWindow);
        QCOMPARE(toldOnce(), "Missing Info: Missing Info: 'Site Name' Field is Empty.");
        const auto toldFailed = [](const QString &end) {
            const QString told = toldOnce();
            QVERIFY2(told.startsWith("Error: This page could not be made:\n\ndisclaimer.html: it "
                                     "cannot be written to") &&
                         told.endsWith(end),
                     qPrintable(told));
        };
        child<QLineEdit>(m_window, "txtSiteName")->setText("Acme");
        QCOMPARE(run(), NoLinkWindow);
        toldFailed(".\n\nNo page was written.");
        tick({1});
        QCOMPARE(run(), "<center>" + Privacy + "</center>");
        toldFailed(".\n\nThe other pages were written.");
        QCOMPARE(QDir(m_site->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"disclaimer.html", "privacy-policy.html"}));
    }

    // Pages there that the program did not write (or that were edited) are replaced only when the
    // user says so, once for all of them if asked so.
    void pagesNotOursAreReplacedOnlyWhenTheUserSaysSo() {
        for (const char *name : {"disclaimer.html", "privacy-policy.html"})
            TestData::write(m_site->path(), name, "hand made");
        open({0, 1});
        const QString asked = "Replace Page?: disclaimer.html is already in the site folder, and "
                              "it was not written by this program.\n\nReplace it with the new "
                              "page, or keep it as it is?";
        Seam::setChoice(3); // "Keep All"
        QCOMPARE(run(),
                 R"(<center><a href="disclaimer.html">Disclaimer</a> - )" + Privacy + "</center>");
        QCOMPARE(toldOnce(), asked);
        QCOMPARE(TestData::read(m_site->filePath("privacy-policy.html")), QByteArray("hand made"));
        Seam::setChoice(2); // "Replace All"
        run();
        QCOMPARE(toldOnce(), asked);
        QVERIFY(TestData::read(m_site->filePath("privacy-policy.html")).contains("<p>P #TITLE#"));
        Seam::setChoice(-1);
    }

    // Closed while pages are written, the window finishes, shows the link code, then closes.
    void closingDuringARunFinishesAndShowsTheLinkCode() {
        open({0, 1});
        QTimer::singleShot(0, m_window, &QWidget::close);
        QCOMPARE(run(),
                 R"(<center><a href="disclaimer.html">Disclaimer</a> - )" + Privacy + "</center>");
        QTRY_VERIFY(m_window.isNull());
    }

    void twoRunsEachShowTheirOwnLinkCode() {
        open({1, 0}); // ticked in reverse; the last entry stays unticked
        QCOMPARE(counter(), QString("2 Selected"));
        QCOMPARE(preview(), QString("<p>[sitename] [siteurl] [email]</p>"));
        // Clicked again while the run yields after its first page: that click does nothing.
        auto *addPages = child<QPushButton>(m_window, "cmdCreatePages");
        QTimer::singleShot(0, addPages, [=] { QTest::mouseClick(addPages, Qt::LeftButton); });
        std::optional<ModalWatcher> another;
        QString title;
        QCOMPARE(run([&](frmInsertLinksTMP *links) {
                     title = links->windowTitle();
                     links->close(); // its close box
                     another.emplace(&QWidget::close);
                 }),
                 R"(<center><a href="disclaimer.html">Disclaimer</a> - )" + Privacy + "</center>");
        QCOMPARE(title, QString("Page Creation"));
        QVERIFY(!another->fired());
        another.reset();
        // The file list shows the new pages.
        QCOMPARE(child<FileList>(m_window, "File1")->fileNames(),
                 (QStringList{"disclaimer.html", "privacy-policy.html"}));
        // The close box closed only the link code window; the last entry is previewed.
        QVERIFY(m_window && m_window->isVisible());
        QCOMPARE(preview(), QString("<p>T [date]</p>"));

        // "Copy" takes the code as edited; "Close Window" closes both windows.
        tick({0, 1, 2});
        QCOMPARE(counter(), QString("1 Selected"));
        QString copied;
        QPointer<frmInsertLinksTMP> dialog;
        QCOMPARE(run([&](frmInsertLinksTMP *links) {
                     dialog = links;
                     auto *field = child<QPlainTextEdit>(links, "txtLinks");
                     field->moveCursor(QTextCursor::End);
                     QTest::keyClicks(field, " <b>x</b>");
                     QTest::mouseClick(child<QPushButton>(links, "cmdCopyToClipboard"),
                                       Qt::LeftButton);
                     copied = QGuiApplication::clipboard()->text();
                     QTest::mouseClick(child<QPushButton>(links, "cmdClose"), Qt::LeftButton);
                 }),
                 R"(<center><a href="terms-of-use.html">Terms-Of-Use</a></center>)");
        QCOMPARE(copied,
                 R"(<center><a href="terms-of-use.html">Terms-Of-Use</a></center> <b>x</b>)");
        QCOMPARE(toldOnce(), "Done: Done! You can now close this window.");
        QTRY_VERIFY(m_window.isNull() && dialog.isNull());
    }

    // The Site Facts window's choices go into the facts; "Add Pages" then puts the links into the
    // site's pages, and "Remove from the Site" gives each page back as it was.
    void siteFactsChoicesPlaceLinksAndRemoveTakesThemOut() {
        const QByteArray home = "<body>\r\n<FOOTER>me</FOOTER>\r\n</body>\r\n";
        const QString index = TestData::write(m_site->path(), "index.html", home);
        open({1});
        QTest::mouseClick(child<QPushButton>(m_window, "cmdSiteFacts"), Qt::LeftButton);
        auto *facts = m_window->findChild<frmSiteFacts *>();
        QVERIFY(facts);
        child<QCheckBox>(facts, "chkPlaceLinks")->click();
        QVERIFY(facts->session().facts().flag("place.links"));
        QTest::mouseClick(child<QPushButton>(facts, "cmdSave"), Qt::LeftButton);
        const auto saved =
            qScopeGuard([path = facts->session().factsPath()] { QFile::remove(path); });
        QCOMPARE(run(), "<center>" + Privacy + "</center>");
        QCOMPARE(toldOnce(), "Site Pages: 1 of the site's pages now link to the legal pages; 0 had "
                             "them already.\nprivacy-policy.html is left alone: it has no <body>.");
        QVERIFY(TestData::read(index).contains(
            "<li><a href=\"privacy-policy.html\">Privacy Policy</a></li>\r\n</ul>"));

        Seam::setAnswer(true);
        QTest::mouseClick(child<QPushButton>(facts, "cmdRemoveFromSite"), Qt::LeftButton);
        const QList<Seam::Message> told = Seam::takeMessages(); // the question, then the outcome
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.last().text, "1 of the site's pages are back as they were.");
        QCOMPARE(TestData::read(index), home);
        QVERIFY(!child<QCheckBox>(facts, "chkPlaceLinks")->isChecked());
        QVERIFY(!facts->session().facts().flag("place.links"));
        delete facts; // a window of its own, but the legal pages window's child
    }
};

QTEST_MAIN(LegalPagesTest)
#include "tst_legalpages.moc"
