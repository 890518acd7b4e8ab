#include "TestData.h"
#include "app/FolderList.h"
#include "app/Seam.h"
#include "app/Twips.h"
#include "bulk/frmMass.h"
#include "controllib/QkFrame.h"
#include "controllib/RandomSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// RandomNumber(100) gives 51 (the statement form); shuffles keep every list as it is.
class ScriptedRandom : public RandomSource {
public:
    quint32 below(quint32 bound) override { return bound == 100 ? 50 : bound - 1; }
};

const QString kStatement = QStringLiteral("If you want to Make Money with Forex then take a "
                                          "look:<br> <a href=\"http://\">One</a><br><br>");

} // namespace

class BulkWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir *m_program = nullptr;
    QTemporaryDir *m_articles = nullptr;
    ScriptedRandom m_random;
    QList<QString> m_opened;

    template <typename T> static T *child(const QWidget &w, const char *name) {
        T *found = w.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    void openArticles(frmMass &w) {
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_articles->path()));
    }

    static void tick(QListWidget *list, int row) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Space);
    }

    // A click on the entry's tick box itself, as a user ticks it.
    static void clickTickBox(QListWidget *list, int row) {
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualItemRect(list->item(row));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    }

private slots:
    void init() {
        m_program = new QTemporaryDir;
        m_articles = new QTemporaryDir;
        const QString p = m_program->path();
        TestData::write(p, "templates/if.txt", "If you want to\r\n");
        TestData::write(p, "templates/if-question.txt", "Do you want to\r\n");
        TestData::write(p, "templates/then.txt", "Take A Look:\r\n");
        TestData::write(p, "templates/snippets/affiliate-disclosure.txt", "Affiliate text");
        TestData::write(p, "templates/snippets/My Notice.txt", "Notice text");
        TestData::write(p, "templates/snippets/privacy-policy.txt", "Privacy text");
        TestData::write(p, "rwdb.txt", "big|large\r\n");
        Seam::setProgramFolder(p);
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
        Seam::setRandom(&m_random);
        m_opened.clear();
        Seam::setFolderOpener([this](const QString &folder) {
            m_opened.append(folder);
            return true;
        });
    }

    void cleanup() {
        Seam::setRandom(nullptr);
        Seam::setFolderOpener(nullptr);
        Seam::setProgramFolder(QString());
        delete m_program;
        delete m_articles;
    }

    void looksAsLaidOut() {
        QString output;
        frmMass w(output);
        QCOMPARE(w.windowTitle(),
                 QString("Add Legal Terms and Conditions to Articles (.txt) 2.2  "));
        QCOMPARE(child<QLabel>(w, "lblAppName")->text(),
                 QString("Add Legal Terms and Conditions to Articles (.txt)"));
        QCOMPARE(w.size(), Twips::size(12375, 9045));
        QCOMPARE(child<QWidget>(w, "Picture2")->palette().color(QPalette::Window),
                 QColor(0, 0, 64));
        QCOMPARE(child<QPushButton>(w, "vbtnLoad")->geometry(), Twips::rect(5490, 6075, 3390, 600));
        QCOMPARE(child<QPlainTextEdit>(w, "txtLog")->geometry(),
                 Twips::rect(5490, 7155, 6315, 780));
        QCOMPARE(child<QGroupBox>(w, "Frame1")->title(), QString("Instructions   "));
        QCOMPARE(child<QLabel>(w, "lblMenu_1")->text(),
                 QString(" > Add  Legal Disclaimers to Articles"));
        QCOMPARE(child<QLabel>(w, "lblMenu_0")->palette().color(QPalette::Window),
                 QColor(0, 128, 0));
        QVERIFY(child<QCheckBox>(w, "chkBegins")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chkEnds")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "chkCenter1")->isChecked());
        QCOMPARE(child<QLineEdit>(w, "txtBenefit")->text(), QString("Make Money with Forex"));
        QCOMPARE(child<QLineEdit>(w, "txtUrl")->text(), QString("http://"));
        QCOMPARE(child<QLabel>(w, "lblProductRecommendationsTooltip")->text(), QString("Disabled"));
        QCOMPARE(child<QLabel>(w, "lblLegalDisclaimersTooltip")->text(), QString("0 Selected"));
        QVERIFY(child<QLabel>(w, "lblPleaseWait")->isHidden());
        QVERIFY(child<QProgressBar>(w, "prgRun")->isHidden());
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const char *order[] = {"Dir1", "File1", "Drive1", "vbtnLoad", "Command1", "Command2"};
        for (int i = 0; i + 1 < 6; ++i) {
            child<QWidget>(w, order[i])->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), child<QWidget>(w, order[i + 1]));
        }
        auto *list = child<QListWidget>(w, "lstDisclaimers");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QString("My Notice"));
        QVERIFY(Seam::recordedMessages().isEmpty());
    }

    void panelsSwitchAndRestack() {
        QString output;
        frmMass w(output);
        w.show();
        auto *panel0 = child<QkFrame>(w, "QkFrameMenu_0");
        auto *panel1 = child<QkFrame>(w, "QkFrameMenu_1");
        auto state = [&] {
            return QList<int>{panel0->Expanded(),    panel0->SecondState(), panel1->Expanded(),
                              panel1->SecondState(), panel0->topTwips(),    panel1->topTwips()};
        };
        const QList<int> firstOpen{true, false, false, true, 1035, 5445};
        const QList<int> secondOpen{false, true, true, false, 1035, 1470};
        QCOMPARE(state(), firstOpen);
        QCOMPARE(panel1->geometry(), Twips::rect(5490, 5445, 6450, 405));

        QTest::mouseClick(child<QLabel>(w, "lblMenu_1"), Qt::LeftButton);
        QCOMPARE(state(), secondOpen);
        QCOMPARE(panel1->geometry(), Twips::rect(5490, 1470, 6450, 4470));
        QTest::mouseClick(child<QLabel>(w, "lblMenu_1"), Qt::LeftButton);
        QCOMPARE(state(), secondOpen);
        // A panel's own toggle opens that panel.
        QTest::mouseClick(panel0->toggleButton(), Qt::LeftButton);
        QCOMPARE(state(), firstOpen);
        QTest::mouseClick(panel0->toggleButton(), Qt::LeftButton);
        QCOMPARE(state(), firstOpen);
        QTest::mouseClick(panel1->toggleButton(), Qt::LeftButton);
        QCOMPARE(state(), secondOpen);
        QTest::mouseClick(child<QLabel>(w, "lblMenu_0"), Qt::LeftButton);
        QCOMPARE(state(), firstOpen);
    }

    void filesFoundFollowsTheFolder() {
        const QString a = m_articles->path();
        for (const char *name : {"b.txt", "A.TXT", "c.Txt", "notes.doc"})
            TestData::write(a, name, "x");
        QDir(a).mkpath("folder.txt");
        QString output;
        frmMass w(output);
        openArticles(w);
        QCOMPARE(child<QLabel>(w, "lblFilesFound")->text(), QString("3"));
        auto *files = child<QListWidget>(w, "File1");
        QCOMPARE(files->item(0)->text(), QString("A.TXT"));
        QCOMPARE(files->item(2)->text(), QString("c.Txt"));
    }

    void disclaimersCountAndPreview() {
        QString output;
        frmMass w(output);
        w.show();
        auto *list = child<QListWidget>(w, "lstDisclaimers");
        auto *count = child<QLabel>(w, "lblLegalDisclaimersTooltip");
        auto *preview = child<QPlainTextEdit>(w, "txtDisclaimerPreview");
        tick(list, 0);
        tick(list, 1);
        tick(list, 2);
        QCOMPARE(count->text(), QString("3 Selected"));
        QCOMPARE(preview->toPlainText(), QString("Privacy text"));
        tick(list, 0);
        QCOMPARE(count->text(), QString("2 Selected"));
        QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
        // Ticked by its box: it becomes the current entry and is previewed.
        clickTickBox(list, 0);
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        QCOMPARE(count->text(), QString("3 Selected"));
        QCOMPARE(preview->toPlainText(), QString("Affiliate text"));
        clickTickBox(list, 0);
        // Its own file, named with a blank and a capital, is the one shown.
        list->setCurrentRow(1);
        QCOMPARE(preview->toPlainText(), QString("Notice text"));
        QCOMPARE(count->text(), QString("2 Selected"));
    }

    void linkTextTurnsTheStatus() {
        QString output;
        frmMass w(output);
        w.show();
        auto *link = child<QLineEdit>(w, "txtLinkText");
        auto *status = child<QLabel>(w, "lblProductRecommendationsTooltip");
        QTest::keyClicks(link, " ");
        QCOMPARE(status->text(), QString("Enabled"));
        QTest::keyClick(link, Qt::Key_Backspace);
        QCOMPARE(status->text(), QString("Disabled"));
    }

    void synonymSequence_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("ticks");
        QTest::newRow("one-line file ends on the second tick") << true << 2;
        QTest::newRow("missing file ends on the third tick") << false << 3;
    }

    void synonymSequence() {
        QFETCH(bool, present);
        QFETCH(int, ticks);
        if (!present)
            QFile::remove(m_program->filePath("rwdb.txt"));
        QString output;
        frmMass w(output);
        auto *timer = child<QTimer>(w, "Timer1");
        auto *label = child<QLabel>(w, "lblPleaseWait");
        QCOMPARE(timer->interval(), 500);
        QVERIFY(timer->isActive());
        QCOMPARE(child<QTimer>(w, "tmrPleaseWait")->interval(), 300);
        QSignalSpy spy(timer, &QTimer::timeout);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), QString("Please Wait (Loading Synonyms)..."));
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 10000);
        QCOMPARE(spy.count(), ticks);
        QVERIFY(label->isHidden());
        QCOMPARE(label->text(), QString("Please Wait ..."));
    }

    void validationMessages() {
        QString output = "/previous";
        frmMass w(output);
        openArticles(w);
        auto *begin = child<QPushButton>(w, "vbtnLoad");
        QTest::mouseClick(begin, Qt::LeftButton);
        TestData::write(m_articles->path(), "a.txt", "A");
        // Away and back, so the file list is read again.
        child<FolderList>(w, "Dir1")->setPath(QDir::rootPath());
        openArticles(w);
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "Robot");
        child<QCheckBox>(w, "chkBegins")->setChecked(false);
        child<QCheckBox>(w, "chkEnds")->setChecked(false);
        QTest::mouseClick(begin, Qt::LeftButton);
        const auto messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].text, QString("Please select a folder with .txt articles."));
        QCOMPARE(messages[0].title, QString("Error"));
        QCOMPARE(messages[1].text,
                 QString("Please select at least 1 place where you want to insert the ads."));
        QCOMPARE(messages[1].title, QString("Error"));
        QCOMPARE(output, QString("/previous"));
        QVERIFY(!QFileInfo::exists(m_articles->filePath("rewritten_files")));
        QVERIFY(begin->isEnabled());
    }

    void fullRunWritesLogsAndReports() {
        const QString a = m_articles->path();
        TestData::write(a, "a.txt", "Alpha");
        TestData::write(a, "b.txt", "");
        TestData::write(a, "c.txt", "Gamma");
        QString output;
        frmMass w(output);
        w.show();
        openArticles(w);
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "One, Two");
        auto *list = child<QListWidget>(w, "lstDisclaimers");
        tick(list, 2); // ticked in the other order than listed
        tick(list, 0);
        auto *begin = child<QPushButton>(w, "vbtnLoad");
        auto *open = child<QPushButton>(w, "Command1");
        auto *close = child<QPushButton>(w, "Command2");
        QTest::mouseClick(begin, Qt::LeftButton);

        // Running: the link texts are kept normalised, buttons and closing are held back.
        QVERIFY(w.isRunning());
        QCOMPARE(child<QLineEdit>(w, "txtLinkText")->text(), QString("One,Two"));
        QVERIFY(!begin->isEnabled() && !open->isEnabled() && !close->isEnabled());
        QVERIFY(!child<QProgressBar>(w, "prgRun")->isHidden());
        QVERIFY(child<QTimer>(w, "tmrPleaseWait")->isActive());
        w.close();
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(output, QDir(a).filePath("rewritten_files"));

        QTRY_COMPARE_WITH_TIMEOUT(Seam::recordedMessages().size(), 1, 20000);
        const Seam::Message done = Seam::takeMessages().first();
        QCOMPARE(done.text, QString("Done"));
        QCOMPARE(done.title, QString("Process Complete"));
        const QString log = "Executing Actions... 3 Files...\r\n"
                            "Content Added to : a.txt---\r\n"
                            "Content Added to : c.txt---\r\n"
                            "Done.";
        QCOMPARE(w.logText(), log);
        QCOMPARE(child<QPlainTextEdit>(w, "txtLog")->toPlainText(), QString(log).remove('\r'));
        QVERIFY(begin->isEnabled() && open->isEnabled() && close->isEnabled());
        QVERIFY(child<QLabel>(w, "lblPleaseWait")->isHidden());
        QVERIFY(child<QProgressBar>(w, "prgRun")->isHidden());
        QVERIFY(!child<QTimer>(w, "tmrPleaseWait")->isActive());
        // After the block was read, the preview shows the list's last entry.
        QCOMPARE(child<QPlainTextEdit>(w, "txtDisclaimerPreview")->toPlainText(),
                 QString("Privacy text"));

        const QString block = "\r\n\r\nAffiliate text\r\n\r\nPrivacy text";
        QCOMPARE(TestData::read(QDir(output).filePath("a.txt")),
                 (kStatement + "\r\n\r\nAlpha\r\n\r\n" + kStatement + "\r\n" + block).toUtf8());
        QVERIFY(!QFileInfo::exists(QDir(output).filePath("b.txt")));
        QCOMPARE(TestData::read(QDir(a).filePath("a.txt")), QByteArray("Alpha"));

        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(m_opened, QList<QString>{output});
    }

    void openOutputFolderBeforeAnyRunAndAfterReopening() {
        QString output;
        {
            frmMass first(output);
            QTest::mouseClick(child<QPushButton>(first, "Command1"), Qt::LeftButton);
            const auto messages = Seam::takeMessages();
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages[0].text, QString("Please process some files first."));
            QCOMPARE(messages[0].title, QString("Error"));
            QVERIFY(m_opened.isEmpty());

            TestData::write(m_articles->path(), "a.txt", "A");
            openArticles(first);
            QTest::mouseClick(child<QPushButton>(first, "vbtnLoad"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!first.isRunning(), 20000);
            Seam::takeMessages();
        }
        const QString folder = QDir(m_articles->path()).filePath("rewritten_files");
        QCOMPARE(output, folder);
        frmMass second(output);
        QTest::mouseClick(child<QPushButton>(second, "Command1"), Qt::LeftButton);
        QCOMPARE(m_opened, QList<QString>{folder});
        QVERIFY(Seam::recordedMessages().isEmpty());

        // A folder the desktop cannot open is named in a message.
        Seam::setFolderOpener([](const QString &) { return false; });
        QTest::mouseClick(child<QPushButton>(second, "Command1"), Qt::LeftButton);
        const auto messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QString("Error"));
        QVERIFY(messages[0].text.contains(folder));
    }

    void missingDataFilesAreNamedOnceAndBlockTheRecommendation() {
        QFile::remove(m_program->filePath("templates/then.txt"));
        QDir(m_program->filePath("templates/snippets")).removeRecursively();
        TestData::write(m_articles->path(), "a.txt", "A");
        QString output;
        frmMass w(output);
        w.show();
        QTRY_COMPARE(Seam::recordedMessages().size(), 1);
        const Seam::Message message = Seam::takeMessages().first();
        QCOMPARE(message.title, QString("Error"));
        QVERIFY(message.text.contains(m_program->filePath("templates/then.txt")));
        QVERIFY(message.text.contains(m_program->filePath("templates/snippets")));
        QCOMPARE(child<QListWidget>(w, "lstDisclaimers")->count(), 0);

        openArticles(w);
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "Robot");
        QTest::mouseClick(child<QPushButton>(w, "vbtnLoad"), Qt::LeftButton);
        const auto refusals = Seam::takeMessages();
        QCOMPARE(refusals.size(), 1);
        QVERIFY(refusals[0].text.contains(m_program->filePath("templates/then.txt")));
        QVERIFY(!w.isRunning());
        QVERIFY(!QFileInfo::exists(m_articles->filePath("rewritten_files")));
        QCOMPARE(output, QString());
    }

    void outputFolderThatCannotBeMadeLeavesEverything() {
        TestData::write(m_articles->path(), "a.txt", "A");
        TestData::write(m_articles->path(), "rewritten_files", "in the way");
        QString output = "/previous";
        frmMass w(output);
        openArticles(w);
        QTest::mouseClick(child<QPushButton>(w, "vbtnLoad"), Qt::LeftButton);
        const auto messages = Seam::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(m_articles->filePath("rewritten_files")));
        QVERIFY(messages[0].text.contains("A file of that name is in the way"));
        QVERIFY(!w.isRunning());
        QVERIFY(child<QPushButton>(w, "vbtnLoad")->isEnabled());
        QCOMPARE(output, QString("/previous"));
        QCOMPARE(w.logText(), QString());
    }
};

QTEST_MAIN(BulkWindowTest)
#include "tst_bulkwindow.moc"
