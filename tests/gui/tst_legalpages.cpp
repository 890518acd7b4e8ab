#include "FileSizeLimit.h"
#include "ModalWatcher.h"
#include "TestData.h"
#include "app/FileList.h"
#include "app/FolderList.h"
#include "app/Seam.h"
#include "legalpages/frmInsertLinksTMP.h"
#include "legalpages/frmLegalPages.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

const QString Disclaimer = R"(<a href="disclaimer.html">Disclaimer</a>)";
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

    // Ticks or unticks entries the way a user does: a click on each one's check box.
    void tick(const QList<int> &rows) {
        for (int row : rows) {
            QStyleOptionViewItem option;
            option.initFrom(list()->viewport());
            option.rect = list()->visualItemRect(list()->item(row));
            option.features =
                QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
            const QRect box = list()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator,
                                                              &option, list());
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box.center());
        }
    }

    // Opens the window on the site folder, ticks the rows and fills the site fields.
    void open(const QList<int> &ticks = {}, const QStringList &fields = {"Acme", "u", "e"}) {
        m_window = new frmLegalPages();
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QVERIFY(child<FolderList>(m_window, "Dir1")->setPath(m_site->path()));
        tick(ticks);
        child<QLineEdit>(m_window, "txtSiteName")->setText(fields.at(0));
        child<QLineEdit>(m_window, "txtSiteUrl")->setText(fields.at(1));
        child<QLineEdit>(m_window, "txtemail")->setText(fields.at(2));
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
        QVERIFY2(message.startsWith("Error: ") &&
                     message.contains(QDir::toNativeSeparators(pages())),
                 qPrintable(message));
        QVERIFY(m_window->isVisible());
    }

    void inputChecksInOrder() {
        open({}, {"", "", ""});
        QCOMPARE(run(), NoLinkWindow);
        QCOMPARE(toldOnce(), "No Page Selected: Please select at least 1 legal page to add.");
        tick({0});
        QCOMPARE(run(), NoLinkWindow);
        QCOMPARE(toldOnce(), "Missing Info: Missing Info: 'Site Name' Field is Empty.");
    }

    // One message lists the failed pages with their reasons; a page it would have replaced stays
    // as it was. The link code window, which says the pages were created, opens only when a page
    // was written and links only the pages written.
    void failedPagesAreToldAndLeftOutOfTheLinkCode_data() {
        QTest::addColumn<int>("size"); // of the page's text; 0: a folder where the page should go
        QTest::newRow("a folder in the way") << 0;
        QTest::newRow("full disk, page under 16 KiB") << 5000;
        QTest::newRow("full disk, page over 16 KiB") << 40000;
    }
    void failedPagesAreToldAndLeftOutOfTheLinkCode() {
        QFETCH(int, size);
        const QString page = QDir(m_site->path()).filePath("disclaimer.html");
        const QByteArray edited = QByteArray("<p>Edited by hand.</p>\n").repeated(300);
        if (size == 0) {
            QDir().mkpath(page);
        } else {
            TestData::write(pages(), "disclaimer.txt", QByteArray(size, 'd'));
            TestData::write(m_site->path(), "disclaimer.html", edited);
        }
        open({0});
        std::optional<FileSizeLimit> full; // writes past 1 KiB fail as on a full disk
        if (size > 0)
            QVERIFY(full.emplace(1024).active());
        // The message without the page's path and the system's reason.
        QString reason;
        const auto told = [&] {
            QString message = toldOnce();
            reason = QRegularExpression(" \\((.*)\\)\\.\\n").match(message).captured(1);
            return message.replace(QRegularExpression(" \".*\\)"), "");
        };
        const QString failed = "Error: This page could not be made:\n\ndisclaimer.html: it cannot "
                               "be written to.\n\n";
        QCOMPARE(run(), NoLinkWindow);
        QCOMPARE(told(), failed + "No page was written.");
        if (size > 0)
            QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
        tick({1});
        QCOMPARE(run(), "<center>" + Privacy + "</center>");
        QCOMPARE(told(), failed + "The other pages were written.");
        full.reset();
        if (size > 0)
            QCOMPARE(TestData::read(page), edited);
        QCOMPARE(QDir(m_site->path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 (QStringList{"disclaimer.html", "privacy-policy.html"}));
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
                     title = links->isModal() ? links->windowTitle() : "(not modal)";
                     links->close(); // its close box
                     another.emplace(&QWidget::close);
                 }),
                 "<center>" + Disclaimer + " - " + Privacy + "</center>");
        QCOMPARE(title, QString("Page Creation"));
        QVERIFY(!another->fired());
        another.reset();
        // Each field fills its own placeholder.
        QCOMPARE(TestData::read(QDir(m_site->path()).filePath("disclaimer.html")),
                 QByteArray("<title>Disclaimer</title>\r\n<p>Acme u e</p>\r\n"));
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
                     field->setFocus();
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
};

QTEST_MAIN(LegalPagesTest)
#include "tst_legalpages.moc"
