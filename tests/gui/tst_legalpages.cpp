#include "ModalWatcher.h"
#include "TestData.h"
#include "app/DriveList.h"
#include "app/FileList.h"
#include "app/FolderList.h"
#include "app/Seam.h"
#include "app/Twips.h"
#include "controllib/QkFrame.h"
#include "legalpages/frmInsertLinksTMP.h"
#include "legalpages/frmLegalPages.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray Template = "<title>#TITLE#</title>\r\n#CONTENT#\r\n";

QStringList namesIn(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

template <typename T> T *child(QWidget *window, const char *name) {
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Ticks or unticks an entry the way a user does: a click on its check box.
void clickCheckBox(QListWidget *list, int row) {
    QListWidgetItem *item = list->item(row);
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.checkState = item->checkState();
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

void clickText(QListWidget *list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(rect.right() - 10, rect.center().y()));
}

} // namespace

class LegalPagesTest : public QObject {
    Q_OBJECT

    QTemporaryDir *m_program = nullptr;
    QTemporaryDir *m_site = nullptr;
    QPointer<frmLegalPages> m_window;

    QString pages() const { return m_program->filePath("templates/pages"); }
    QString site() const { return m_site->path(); }
    QListWidget *list() const { return child<QListWidget>(m_window, "lstDisclaimers"); }
    QPushButton *addPages() const { return child<QPushButton>(m_window, "cmdCreatePages"); }

    void open() {
        m_window = new frmLegalPages();
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QVERIFY(child<FolderList>(m_window, "Dir1")->setPath(site()));
    }

    void fill(const QString &name, const QString &url, const QString &email) {
        child<QLineEdit>(m_window, "txtSiteName")->setText(name);
        child<QLineEdit>(m_window, "txtSiteUrl")->setText(url);
        child<QLineEdit>(m_window, "txtemail")->setText(email);
    }

    // Clicks "Add Pages"; the link code window, if it opens, gets handler and must be closed by it.
    bool run(std::function<void(frmInsertLinksTMP *)> handler) {
        ModalWatcher watcher(
            [&](QWidget *modal) { handler(qobject_cast<frmInsertLinksTMP *>(modal)); });
        QTest::mouseClick(addPages(), Qt::LeftButton);
        return watcher.fired();
    }

    // Clicks "Add Pages" and closes the link code window with its close box, keeping its text.
    QString runAndKeepCode() {
        QString code;
        const bool opened = run([&](frmInsertLinksTMP *links) {
            code = child<QPlainTextEdit>(links, "txtLinks")->toPlainText();
            links->close();
        });
        return opened ? code : QStringLiteral("(no link code window)");
    }

private slots:
    void init() {
        m_program = new QTemporaryDir;
        m_site = new QTemporaryDir;
        TestData::write(pages(), "html/template.html", Template);
        TestData::write(pages(), "disclaimer.txt", "<p>D [sitename]</p>");
        TestData::write(pages(), "privacy-policy.txt", "<p>P [siteurl] #TITLE#</p>");
        TestData::write(pages(), "terms-of-use.txt", "<p>T [email] [date]</p>");
        Seam::setProgramFolder(m_program->path());
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
    }

    void cleanup() {
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
        delete m_program;
        delete m_site;
    }

    void looksAsLaidOutAndStaysSoWhenResized() {
        m_window = new frmLegalPages();
        QCOMPARE(child<FolderList>(m_window, "Dir1")->path(), QDir::currentPath());
        QCOMPARE(child<FileList>(m_window, "File1")->path(), QDir::currentPath());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(m_window->windowTitle(), QString("Add Legal Pages to Website"));
        QCOMPARE(m_window->size(), Twips::size(12405, 9045));
        QVERIFY(m_window->minimumSize() != m_window->maximumSize());

        QCOMPARE(child<QLabel>(m_window, "Label3")->text(), QString("Add Legal Pages to Website"));
        QCOMPARE(child<QLabel>(m_window, "Label2")->text(),
                 QString("Please select a folder from your computer, with an HTML website "
                         "(.HTML, .HTM)."));
        QCOMPARE(child<QGroupBox>(m_window, "Frame1")->title(), QString("Instructions   "));
        QCOMPARE(child<QLabel>(m_window, "Label1")->text(),
                 QString("Select a Folder with a website (.htm or .html pages). Then select the "
                         "legal pages to add and click \"Add Pages\"."));
        QCOMPARE(child<QLabel>(m_window, "lblMenu")->text(),
                 QString(" > Add  Legal Pages to Website"));
        QCOMPARE(child<QLabel>(m_window, "Label5")->text(), QString("Site Name:"));
        QCOMPARE(child<QLabel>(m_window, "Label6")->text(), QString("Site Url:"));
        QCOMPARE(child<QLabel>(m_window, "Label7")->text(), QString("e-mail:"));
        QCOMPARE(child<QLabel>(m_window, "Label14")->text(), QString("Preview"));
        QCOMPARE(child<QPushButton>(m_window, "Command1")->text(), QString("Close"));
        QCOMPARE(addPages()->text(), QString("Add Pages"));
        QCOMPARE(child<QLabel>(m_window, "lblLegalDisclaimersTooltip")->text(),
                 QString("0 Selected"));
        QVERIFY(child<QPlainTextEdit>(m_window, "txtDisclaimerPreview")->toPlainText().isEmpty());
        QCOMPARE(child<FileList>(m_window, "File1")->pattern(), QString("*.htm;*.html"));
        QVERIFY(!child<QWidget>(m_window, "frPageParser")->isVisible());

        QStringList names;
        for (int row = 0; row < list()->count(); ++row)
            names << list()->item(row)->text();
        QCOMPARE(names, (QStringList{"Disclaimer", "Privacy Policy", "Terms Of Use"}));

        auto *panel = child<QkFrame>(m_window, "QkFrame1");
        const QList<QPair<QWidget *, QRect>> places = {
            {child<QWidget>(m_window, "Drive1"), Twips::rect(405, 1485, 4065, 315)},
            {child<QWidget>(m_window, "Dir1"), Twips::rect(405, 1890, 4065, 3465)},
            {child<QWidget>(m_window, "File1"), Twips::rect(405, 5490, 4065, 1650)},
            {panel, Twips::rect(5445, 945, 6450, 6405)},
            {list(), Twips::rect(360, 675, 5640, 1860)},
            {child<QWidget>(m_window, "txtemail"), Twips::rect(1440, 5760, 2940, 375)},
            {addPages(), Twips::rect(5445, 7425, 6495, 555)},
        };
        m_window->resize(Twips::size(6000, 5000));
        QCoreApplication::processEvents();
        for (const auto &[widget, rect] : places)
            QCOMPARE(widget->geometry(), rect);
        QVERIFY(panel->isAncestorOf(list()));
    }

    void clicksShowCountAndRawPreview() {
        open();
        auto *counter = child<QLabel>(m_window, "lblLegalDisclaimersTooltip");
        auto *preview = child<QPlainTextEdit>(m_window, "txtDisclaimerPreview");
        clickCheckBox(list(), 2);
        clickCheckBox(list(), 1);
        QCOMPARE(list()->item(1)->checkState(), Qt::Checked);
        QCOMPARE(counter->text(), QString("2 Selected"));
        QCOMPARE(preview->toPlainText(), QString("<p>P [siteurl] #TITLE#</p>"));

        // Making an entry current without ticking it shows its text and keeps the count.
        clickText(list(), 0);
        QCOMPARE(list()->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(counter->text(), QString("2 Selected"));
        QCOMPARE(preview->toPlainText(), QString("<p>D [sitename]</p>"));

        clickCheckBox(list(), 2);
        QCOMPARE(counter->text(), QString("1 Selected"));
        QVERIFY(Seam::takeMessages().isEmpty());
    }

    void pickersKeepInStepAndIgnoreADriveThatCannotBeOpened() {
        TestData::write(site(), "index.html", "");
        TestData::write(site(), "about.HTM", "");
        TestData::write(site(), "notes.txt", "");
        open();
        auto *files = child<FileList>(m_window, "File1");
        QCOMPARE(files->fileNames(), (QStringList{"about.HTM", "index.html"}));
        emit child<DriveList>(m_window, "Drive1")->driveChanged(m_site->filePath("no-such-drive"));
        QCOMPARE(child<FolderList>(m_window, "Dir1")->path(), QDir::cleanPath(site()));
        QCOMPARE(files->path(), QDir::cleanPath(site()));
        QVERIFY(Seam::takeMessages().isEmpty());
    }

    void missingPagesFolderIsToldAndTheWindowStillOpens() {
        QDir(pages()).removeRecursively();
        open();
        QTRY_COMPARE(Seam::recordedMessages().size(), 1);
        const Seam::Message message = Seam::takeMessages().first();
        QCOMPARE(message.title, QString("Error"));
        QVERIFY2(message.text.contains(QDir::toNativeSeparators(pages())),
                 qPrintable(message.text));
        QVERIFY(m_window->isVisible());
        QCOMPARE(list()->count(), 0);
    }

    void inputChecksInOrder_data() {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("no page ticked wins over empty fields")
            << false << QStringList{"", "", ""} << "Please select at least 1 legal page to add."
            << "No Page Selected";
        QTest::newRow("all fields empty: only the site name is told")
            << true << QStringList{"", "", ""} << "Missing Info: 'Site Name' Field is Empty."
            << "Missing Info";
        QTest::newRow("site url") << true << QStringList{"Acme", "", ""}
                                  << "Missing Info: 'Site Url' Field is Empty."
                                  << "Missing Info";
        QTest::newRow("e-mail") << true << QStringList{"Acme", "u", ""}
                                << "Missing Info: 'e-mail' Field is Empty."
                                << "Missing Info";
    }
    void inputChecksInOrder() {
        QFETCH(bool, tick);
        QFETCH(QStringList, fields);
        QFETCH(QString, text);
        QFETCH(QString, title);
        open();
        if (tick)
            clickCheckBox(list(), 0);
        fill(fields.at(0), fields.at(1), fields.at(2));
        QVERIFY(!run([](frmInsertLinksTMP *links) { links->close(); }));
        const QList<Seam::Message> messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, text);
        QCOMPARE(messages.first().title, title);
        QVERIFY(namesIn(site()).isEmpty());
    }

    void runWritesPagesInCatalogueOrderAndShowsTheLinkCode() {
        open();
        // Ticked in reverse; the last entry stays unticked.
        clickCheckBox(list(), 1);
        clickCheckBox(list(), 0);
        fill("Acme", "   ", "a@acme.test");
        QString code, title;
        bool modal = false;
        QVERIFY(run([&](frmInsertLinksTMP *links) {
            code = child<QPlainTextEdit>(links, "txtLinks")->toPlainText();
            title = links->windowTitle();
            modal = links->isModal();
            links->close();
        }));
        QCOMPARE(title, QString("Page Creation"));
        QVERIFY(modal);
        QCOMPARE(code, QString(R"(<center><a href="disclaimer.html">Disclaimer</a> - )"
                               R"(<a href="privacy-policy.html">Privacy-Policy</a></center>)"));
        QCOMPARE(TestData::read(QDir(site()).filePath("disclaimer.html")),
                 QByteArray("<title>Disclaimer</title>\r\n<p>D Acme</p>\r\n"));
        QCOMPARE(TestData::read(QDir(site()).filePath("privacy-policy.html")),
                 QByteArray("<title>Privacy Policy</title>\r\n<p>P     #TITLE#</p>\r\n"));
        QCOMPARE(namesIn(site()), (QStringList{"disclaimer.html", "privacy-policy.html"}));
        QCOMPARE(child<FileList>(m_window, "File1")->fileNames(),
                 (QStringList{"disclaimer.html", "privacy-policy.html"}));

        // The close box closed only the link code window. Ticks are kept; the last entry is
        // current and previewed raw although it was not ticked.
        QVERIFY(m_window);
        QVERIFY(m_window->isVisible());
        QCOMPARE(list()->item(0)->checkState(), Qt::Checked);
        QCOMPARE(list()->item(1)->checkState(), Qt::Checked);
        QCOMPARE(list()->item(2)->checkState(), Qt::Unchecked);
        QCOMPARE(list()->currentRow(), 2);
        QCOMPARE(child<QLabel>(m_window, "lblLegalDisclaimersTooltip")->text(),
                 QString("2 Selected"));
        QCOMPARE(child<QPlainTextEdit>(m_window, "txtDisclaimerPreview")->toPlainText(),
                 QString("<p>T [email] [date]</p>"));
        QVERIFY(Seam::takeMessages().isEmpty());
    }

    void copyPutsTheEditedCodeOnTheClipboard() {
        open();
        clickCheckBox(list(), 0);
        fill("Acme", "u", "e");
        QGuiApplication::clipboard()->setText("held before");
        QString copied;
        bool stillOpen = false;
        QVERIFY(run([&](frmInsertLinksTMP *links) {
            auto *field = child<QPlainTextEdit>(links, "txtLinks");
            field->setFocus();
            field->moveCursor(QTextCursor::End);
            QTest::keyClicks(field, " <b>x</b>");
            QTest::mouseClick(child<QPushButton>(links, "cmdCopyToClipboard"), Qt::LeftButton);
            copied = QGuiApplication::clipboard()->text();
            stillOpen = links->isVisible();
            links->close();
        }));
        QCOMPARE(copied, QString(R"(<center><a href="disclaimer.html">Disclaimer</a></center>)"
                                 R"( <b>x</b>)"));
        QVERIFY(stillOpen);
        const QList<Seam::Message> messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QString("Done! You can now close this window."));
        QCOMPARE(messages.first().title, QString("Done"));
    }

    void closeWindowClosesBoth() {
        open();
        clickCheckBox(list(), 0);
        fill("Acme", "u", "e");
        QPointer<frmInsertLinksTMP> dialog;
        QVERIFY(run([&](frmInsertLinksTMP *links) {
            dialog = links;
            QCOMPARE(child<QLabel>(links, "Label3")->text(),
                     QString("Please add the following HTML code to your Home Page (in general, "
                             "index.htm or index.html). You can add this code above the "
                             "\"</body>\" tag."));
            QCOMPARE(child<QLabel>(links, "Label3")->textFormat(), Qt::PlainText);
            QCOMPARE(links->size(), Twips::size(10965, 6015));
            QTest::mouseClick(child<QPushButton>(links, "cmdClose"), Qt::LeftButton);
        }));
        QTRY_VERIFY(m_window.isNull());
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void secondRunListsOnlyItsOwnPages() {
        open();
        clickCheckBox(list(), 0);
        clickCheckBox(list(), 1);
        fill("Acme", "u", "e");
        QCOMPARE(runAndKeepCode(),
                 QString(R"(<center><a href="disclaimer.html">Disclaimer</a> - )"
                         R"(<a href="privacy-policy.html">Privacy-Policy</a></center>)"));
        clickCheckBox(list(), 0);
        clickCheckBox(list(), 1);
        clickCheckBox(list(), 2);
        QCOMPARE(runAndKeepCode(),
                 QString(R"(<center><a href="terms-of-use.html">Terms-Of-Use</a></center>)"));
    }

    void failedPageIsToldAndLeftOutOfTheLinkCode() {
        QDir(site()).mkpath("privacy-policy.html");
        open();
        // Gone after the window listed it.
        QFile::remove(QDir(pages()).filePath("terms-of-use.txt"));
        for (int row : {0, 1, 2})
            clickCheckBox(list(), row);
        fill("Acme", "u", "e");
        QCOMPARE(runAndKeepCode(),
                 QString(R"(<center><a href="disclaimer.html">Disclaimer</a></center>)"));
        const QList<Seam::Message> messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().title, QString("Error"));
        QVERIFY2(messages.first().text.contains("\nprivacy-policy.html: ") &&
                     messages.first().text.contains("\nterms-of-use.html: "),
                 qPrintable(messages.first().text));
        QCOMPARE(namesIn(site()), (QStringList{"disclaimer.html", "privacy-policy.html"}));
    }

    void runWritingNothingOpensNoLinkWindow_data() {
        QTest::addColumn<bool>("templateMissing");
        QTest::addColumn<QString>("told");
        QTest::newRow("html page template missing: told, nothing written")
            << true << "template.html";
        QTest::newRow("the only ticked page cannot be written") << false << "No page was written.";
    }
    void runWritingNothingOpensNoLinkWindow() {
        QFETCH(bool, templateMissing);
        QFETCH(QString, told);
        if (templateMissing)
            QFile::remove(QDir(pages()).filePath("html/template.html"));
        else
            QDir(site()).mkpath("disclaimer.html");
        open();
        clickCheckBox(list(), 0);
        clickCheckBox(list(), 1);
        fill("Acme", "u", "e");
        if (!templateMissing)
            clickCheckBox(list(), 1);
        QVERIFY(!run([](frmInsertLinksTMP *links) { links->close(); }));
        const QList<Seam::Message> messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().title, QString("Error"));
        QVERIFY2(messages.first().text.contains(told), qPrintable(messages.first().text));
        QVERIFY(m_window->linkCode().isEmpty());
        QCOMPARE(namesIn(site()), templateMissing ? QStringList() : QStringList{"disclaimer.html"});
    }

    void secondClickDuringARunDoesNothing() {
        open();
        clickCheckBox(list(), 0);
        clickCheckBox(list(), 1);
        fill("Acme", "u", "e");
        // Clicked again while the run yields after its first page; every link code window that
        // opens is closed and counted.
        QTimer::singleShot(0, addPages(),
                           [this] { QTest::mouseClick(addPages(), Qt::LeftButton); });
        int opened = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto *links =
                    qobject_cast<frmInsertLinksTMP *>(QApplication::activeModalWidget())) {
                ++opened;
                links->close();
            }
        });
        closer.start(10);
        QTest::mouseClick(addPages(), Qt::LeftButton);
        closer.stop();
        QCOMPARE(opened, 1);
        QCOMPARE(m_window->linkCode(),
                 QString(R"(<center><a href="disclaimer.html">Disclaimer</a> - )"
                         R"(<a href="privacy-policy.html">Privacy-Policy</a></center>)"));
        QVERIFY(Seam::takeMessages().isEmpty());
    }
};

QTEST_MAIN(LegalPagesTest)
#include "tst_legalpages.moc"
