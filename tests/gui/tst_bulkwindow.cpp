#include "BulkFixture.h"
#include "ModalWatcher.h"
#include "TestData.h"
#include "bulk/frmMass.h"
#include "legalpages/frmLegalPages.h"
#include "site/FactsFile.h"
#include "widgets/FileList.h"
#include "widgets/FolderList.h"
#include "widgets/LogView.h"
#include "widgets/QkFrame.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

// The window's wiring, driven offscreen; the rules of a run are proven by tst_batchrun.
// A random source whose every draw waits for the test, so a run stands inside an article.
struct GatedRandom : RandomSource {
    QSemaphore entered, go;
    quint32 below(quint32) override {
        entered.release();
        go.acquire();
        return 0;
    }
};

class BulkWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<BulkFolders> m_f;
    ScriptedRandom m_random; // the statement form, lists kept in order
    QList<QString> m_opened;

    template <typename T = QWidget> static T *child(const QWidget &w, const char *name) {
        return w.findChild<T *>(QString::fromLatin1(name));
    }

    static void click(const QWidget &w, const char *name) {
        QTest::mouseClick(child(w, name), Qt::LeftButton);
    }

    // The recorded messages as "title: text", emptied.
    static QStringList messages() {
        QStringList all;
        for (const Seam::Message &m : Seam::takeMessages())
            all.append(m.title + ": " + m.text);
        return all;
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
        m_f = std::make_unique<BulkFolders>(); // every Seam stand-in is set anew for each test
        Seam::setProgramFolder(m_f->program());
        Seam::setRecordingMessages(true);
        Seam::takeMessages();
        Seam::setRandom(&m_random);
        m_opened.clear();
        Seam::setFolderOpener([this](const QString &folder) {
            m_opened.append(folder);
            return true;
        });
    }

    void panelsSwitchAndRestack() {
        QString output;
        frmMass w(output);
        w.show();
        auto *p0 = child<QkFrame>(w, "QkFrameMenu_0"), *p1 = child<QkFrame>(w, "QkFrameMenu_1");
        auto state = [&] { return QList<int>{p0->Expanded(), p1->Expanded(), p1->topTwips()}; };
        // Panel 1 stands below an open panel 0, or right under its header when panel 0 is closed.
        const QList<int> firstOpen{true, false, 5445}, secondOpen{false, true, 1470};
        QCOMPARE(state(), firstOpen);
        // A header click opens its panel; so does a panel's own toggle (ExpandCollapse).
        QWidget *header1 = child(w, "lblMenu_1"), *toggle1 = p1->toggleButton();
        QWidget *header0 = child(w, "lblMenu_0"), *toggle0 = p0->toggleButton();
        for (QWidget *clicked : {header1, header1, toggle0, toggle0, toggle1, header0}) {
            QTest::mouseClick(clicked, Qt::LeftButton);
            QCOMPARE(state(), clicked == header1 || clicked == toggle1 ? secondOpen : firstOpen);
        }
    }

    void openingWithDataFilesPresentOrMissing_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("ticks");
        QTest::newRow("one-line synonym file ends on the second tick") << true << 2;
        QTest::newRow("missing synonym file ends on the third tick; one message names each file")
            << false << 3;
    }

    void openingWithDataFilesPresentOrMissing() {
        QFETCH(bool, present);
        const QStringList missing{"rwdb.txt", "templates/then.txt", "templates/snippets"};
        for (const QString &file : missing)
            QVERIFY(present || QFile::remove(m_f->program(file)) ||
                    QDir(m_f->program(file)).removeRecursively());
        QString output;
        frmMass w(output);
        w.show();
        auto *timer = child<QTimer>(w, "Timer1");
        auto *label = child<QLabel>(w, "lblPleaseWait");
        QSignalSpy spy(timer, &QTimer::timeout);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), QString("Please Wait (Loading Synonyms)..."));
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 10000);
        QTEST(int(spy.count()), "ticks");
        QVERIFY(label->isHidden());
        QCOMPARE(label->text(), QString("Please Wait ..."));
        const QStringList shown = messages();
        QCOMPARE(shown.size(), present ? 0 : 1);
        for (const QString &file : missing.mid(1))
            QVERIFY(present || (shown[0].startsWith("Error: ") &&
                                shown[0].contains(m_f->program(file) + ": ")));
    }

    // A folder dragged onto either job window opens there; a file or two folders are refused.
    // A folder whose name is not UTF-8 ("caf" and Latin-1's e acute) is listed with a replacement
    // character, opened by a click, and worked on in both windows: its articles listed and
    // written into its rewritten_files, a legal page written into it.
    void aFolderNamedInBytesWorksInBothWindows() {
        const QByteArray local = QFile::encodeName(m_f->articles()) + "/caf\xe9";
        QVERIFY(::mkdir(local.constData(), 0700) == 0);
        // QTemporaryDir cannot remove what Qt cannot name.
        const auto removed = qScopeGuard([&] { std::filesystem::remove_all(local.toStdString()); });
        QFile article;
        QVERIFY(article.open(::open((local + "/a.txt").constData(), O_WRONLY | O_CREAT, 0600),
                             QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        article.write("Alpha");
        article.close();
        const QString shown = m_f->articles() + "/caf" + QChar(QChar::ReplacementCharacter);
        const auto openByClick = [&](QWidget &window, int files) {
            auto *list = child<FolderList>(window, "Dir1");
            QVERIFY(list->setPath(m_f->articles()));
            const auto found =
                list->findItems(QStringLiteral("^ *caf\\x{fffd}$"), Qt::MatchRegularExpression);
            QCOMPARE(found.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(found.at(0)).center());
            QTRY_COMPARE(list->toolTip(), shown);
            QCOMPARE(child<FileList>(window, "File1")->count(), files);
        };
        const auto exists = [&](const QByteArray &name) {
            struct stat info {};
            return ::stat((local + '/' + name).constData(), &info) == 0 && info.st_size > 0;
        };
        QString output;
        {
            frmMass w(output);
            w.show();
            openByClick(w, 1);
            QCOMPARE(child<QLabel>(w, "lblFilesFound")->text(), QString("1"));
            child<QLineEdit>(w, "txtLinkText")->setText("One");
            child<QLineEdit>(w, "txtBenefit")->setText("Save Time");
            child<QLineEdit>(w, "txtUrl")->setText("https://shop.example/");
            click(w, "vbtnLoad");
            QTRY_COMPARE_WITH_TIMEOUT(Seam::recordedMessages().size(), 1, 20000);
            QCOMPARE(messages(), QStringList{"Process Complete: Done"});
            QCOMPARE(child(w, "vbtnLoad")->accessibleDescription(),
                     "1 of 1 articles written into " + shown +
                         "/rewritten_files, 0 skipped as empty, 0 failed.");
            QVERIFY(exists("rewritten_files/a.txt"));
        }
        Seam::setProgramFolder(QStringLiteral(CW_BINARY_DIR));
        frmLegalPages legal;
        legal.show();
        openByClick(legal, 0);
        QVERIFY(QFile::copy(CW_SOURCE_DIR "/tests/data/facts-hobby.toml",
                            FactsFile::defaultPath(child<FolderList>(legal, "Dir1")->path())));
        child<QListWidget>(legal, "lstDisclaimers")
            ->findItems("Privacy Policy", Qt::MatchExactly)
            .at(0)
            ->setCheckState(Qt::Checked);
        child<QLineEdit>(legal, "txtSiteName")->setText("A");
        child<QLineEdit>(legal, "txtSiteUrl")->setText("https://a.test");
        child<QLineEdit>(legal, "txtemail")->setText("a@a.test");
        ModalWatcher watcher([](QWidget *links) { links->close(); });
        click(legal, "cmdCreatePages");
        QVERIFY(watcher.fired());
        QCOMPARE(messages(), QStringList{});
        QVERIFY(exists("privacy-policy.html"));
        QCOMPARE(child<FileList>(legal, "File1")->count(), 1);
    }

    void aDroppedFolderIsOpened_data() {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one folder") << QStringList{""} << true;
        QTest::newRow("a file") << QStringList{"a.txt"} << false;
        QTest::newRow("two folders") << QStringList{"", "sub"} << false;
    }

    void aDroppedFolderIsOpened() {
        QFETCH(QStringList, dropped);
        QFETCH(bool, taken);
        m_f->article("a.txt", "A");
        QDir(m_f->articles()).mkpath("sub");
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &name : dropped)
            urls.append(QUrl::fromLocalFile(m_f->articles(name)));
        mime.setUrls(urls);
        QString output;
        frmMass bulk(output);
        frmLegalPages legal;
        for (QWidget *window : std::initializer_list<QWidget *>{&bulk, &legal}) {
            QDragEnterEvent enter({5, 5}, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                                  {});
            QApplication::sendEvent(window, &enter);
            QCOMPARE(enter.isAccepted(), taken);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                            {});
            QApplication::sendEvent(window, &drop);
            QCOMPARE(child<FolderList>(*window, "Dir1")->path() == QDir(m_f->articles()).path(),
                     taken);
        }
        QVERIFY(!taken || child<QLabel>(bulk, "lblFilesFound")->text() == "1");
    }

    void refusalsLeaveEverything() {
        QDir(m_f->articles()).mkpath("none");
        m_f->article("rewritten_files", "a file in the way");
        QString output = "/previous";
        frmMass w(output);
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles("none")));
        click(w, "vbtnLoad");
        m_f->article("a.txt", "A");
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles()));
        click(w, "vbtnLoad"); // nothing to add
        // A lone blank is a link text; the field keeps what was typed when a run is refused.
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), " , B");
        child<QCheckBox>(w, "chkBegins")->setChecked(false);
        child<QCheckBox>(w, "chkEnds")->setChecked(false);
        click(w, "vbtnLoad");
        child<QCheckBox>(w, "chkEnds")->setChecked(true);
        // The examples are hints only: never published, and the run is refused.
        auto *benefit = child<QLineEdit>(w, "txtBenefit"), *url = child<QLineEdit>(w, "txtUrl");
        QCOMPARE(benefit->text() + url->text(), QString());
        QCOMPARE(benefit->placeholderText() + url->placeholderText(),
                 QString("Make Money with Forexhttp://"));
        click(w, "vbtnLoad");
        benefit->setText("bake");
        click(w, "vbtnLoad");
        url->setText("https://shop.example");
        click(w, "vbtnLoad");
        QCOMPARE(messages(),
                 (QStringList{"Error: Please select a folder with .txt articles.",
                              "Missing Info: Missing Info: Nothing to add. Please tick at least 1 "
                              "disclaimer, or fill in the Link Text of a product recommendation.",
                              "Error: Please select at least 1 place where you want to insert "
                              "the ads.",
                              "Missing Info: Missing Info: 'This product is for people who need "
                              "to' Field is Empty.",
                              "Error: Please enter the full address of your link, starting with "
                              "http:// or https:// and a host name (such as "
                              "https://shop.example/product).",
                              "Error: The output folder " + m_f->articles("rewritten_files") +
                                  " cannot be made (A file of that name is in the way).\n\nNo "
                                  "article was written."}));
        QCOMPARE(output, QString("/previous")); // no run started
        QCOMPARE(child<QLineEdit>(w, "txtLinkText")->text(), QString(" , B"));
    }

    void runFromTheWindowThenOpenItsOutputFolder() {
        m_f->article("a.txt", "Alpha");
        m_f->article("B.txt", ""); // skipped as empty
        m_f->article("c.Txt", "Gamma");
        m_f->article("notes.doc", "not listed");
        QDir(m_f->articles()).mkpath("folder.txt");
        const QString folder = m_f->articles("rewritten_files");
        QString output;
        {
            frmMass w(output);
            w.show();
            click(w, "Command1"); // before any run
            QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles()));
            QCOMPARE(child<FileList>(w, "File1")->fileNames(),
                     (QStringList{"a.txt", "B.txt", "c.Txt"}));
            auto *link = child<QLineEdit>(w, "txtLinkText");
            auto *status = child<QLabel>(w, "lblProductRecommendationsTooltip");
            QTest::keyClicks(link, " ");
            QCOMPARE(status->text(), QString("Enabled"));
            QTest::keyClick(link, Qt::Key_Backspace);
            QCOMPARE(status->text(), QString("Disabled"));
            QTest::keyClicks(link, ", ,"); // names no link: no recommendation either
            QCOMPARE(status->text(), QString("Disabled"));
            link->clear();
            QTest::keyClicks(link, "One, Two");
            child<QLineEdit>(w, "txtBenefit")->setText("Make Money with Forex");
            child<QLineEdit>(w, "txtUrl")->setText("https://shop.example/?a=1&b=<2>");
            // Outside a run Escape keeps the window and what was typed.
            QTest::keyClick(&w, Qt::Key_Escape);
            QVERIFY(w.isVisible());

            // Ticked or unticked by its box, an entry is counted and its own file previewed.
            auto *list = child<QListWidget>(w, "lstDisclaimers");
            auto *count = child<QLabel>(w, "lblLegalDisclaimersTooltip");
            auto *preview = child<QPlainTextEdit>(w, "txtDisclaimerPreview");
            const QList<std::pair<int, QString>> ticks{{2, "1 Selected, Privacy text"},
                                                       {1, "2 Selected, Notice text"},
                                                       {0, "3 Selected, Affiliate text"},
                                                       {1, "2 Selected, Notice text"}};
            for (const auto &[row, seen] : ticks) {
                clickTickBox(list, row);
                QCOMPARE(count->text() + ", " + preview->toPlainText(), seen);
            }

            // "Close" stays usable during a run: it offers to stop it. An article added since the
            // folder was listed is written too.
            QWidget *buttons[] = {child(w, "vbtnLoad"), child(w, "Command1")};
            m_f->article("d.txt", "Delta");
            click(w, "vbtnLoad");
            QCOMPARE(link->text(), QString("One,Two"));
            for (QWidget *button : buttons)
                QVERIFY(!button->isEnabled());
            QTRY_COMPARE_WITH_TIMEOUT(Seam::recordedMessages().size(), 2, 20000);
            QCOMPARE(messages(), (QStringList{"Error: Please process some files first.",
                                              "Process Complete: Done"}));
            for (QWidget *button : buttons)
                QVERIFY(button->isEnabled());
            // The last article stays current; the focus is back where the run was started.
            QCOMPARE(child<FileList>(w, "File1")->currentIndex().row(), 3);
            QCOMPARE(w.focusWidget(), child(w, "vbtnLoad"));
            QCOMPARE(child(w, "vbtnLoad")->accessibleDescription(),
                     "3 of 4 articles written into " + folder + ", 1 skipped as empty, 0 failed.");
            const QString log = "Executing Actions... 4 Files...\r\nContent Added to : a.txt---"
                                "\r\nContent Added to : c.Txt---\r\nContent Added to : d.txt---"
                                "\r\nDone.";
            QCOMPARE(w.logText(), log);
            QCOMPARE(child<LogView>(w, "txtLog")->text(), QString(log).remove('\r'));
            // The typed address escaped, the first link text, the ticked snippets in list order.
            const QByteArray statement =
                "If you want to Make Money with Forex then take a look:<br> <a "
                "href=\"https://shop.example/?a=1&amp;b=&lt;2&gt;\">One</a><br><br>";
            QCOMPARE(m_f->output("a.txt"), statement + "\r\n\r\nAlpha\r\n\r\n" + statement +
                                               "\r\n\r\n\r\nAffiliate text\r\n\r\nPrivacy text");
            click(w, "Command1");
        }
        // A window opened later still knows the folder of the last run.
        frmMass second(output);
        click(second, "Command1");
        QCOMPARE(m_opened, (QList<QString>{folder, folder}));
        Seam::setFolderOpener([](const QString &) { return false; });
        click(second, "Command1");
        // The desktop is asked, but has no file manager: xdg-open fails after it started.
        QTemporaryDir bin;
        TestData::write(bin.path(), "xdg-open", "#!/bin/sh\nexit 3\n");
        QFile::setPermissions(bin.filePath("xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);
        Seam::setFolderOpener({});
        click(second, "Command1");
        qputenv("PATH", path);
        const QString cannot = "Error: The output folder " + folder +
                               " could not be opened. It may have been moved or deleted, or no "
                               "file manager is available.";
        QTRY_COMPARE_WITH_TIMEOUT(Seam::recordedMessages().size(), 2, 10000);
        QCOMPARE(messages(), (QStringList{cannot, cannot}));
    }

    // The run ends while "Stop the Run?" is left open: the question closes unanswered, the result
    // opens on its own, and the window stays; closing it then needs no question.
    void aRunEndingUnderTheStopQuestionClosesIt() {
        GatedRandom gate;
        Seam::setRandom(&gate);
        m_f->article("a.txt", "A");
        QString output;
        frmMass w(output);
        w.show();
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles()));
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "Robot");
        child<QLineEdit>(w, "txtBenefit")->setText("bake");
        child<QLineEdit>(w, "txtUrl")->setText("http://shop.example");
        click(w, "vbtnLoad");
        QVERIFY(gate.entered.tryAcquire(1, 10000));
        Seam::setRecordingMessages(false);
        const auto recordAgain = qScopeGuard([] { Seam::setRecordingMessages(true); });
        QStringList seen;
        ModalWatcher question([&](QWidget *box) {
            seen.append(box->windowTitle());
            ModalWatcher result([&](QWidget *done) {
                seen.append(done->windowTitle() + ": " + static_cast<QMessageBox *>(done)->text() +
                            (box->isVisible() ? " (over the question)" : ""));
                static_cast<QDialog *>(done)->accept();
            });
            gate.go.release(1000);
            QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), 10000);
            QVERIFY(result.fired());
        });
        w.close();
        QVERIFY(question.fired());
        QCOMPARE(seen, (QStringList{"Stop the Run?", "Process Complete: Done"}));
        QVERIFY(w.isVisible() && !w.isRunning());
        w.close();
        QVERIFY(!w.isVisible());
    }

    void asksForTheSponsorAndWarnsOfAClaimBeforeTheRun() {
        m_f->article("a.txt", "Alpha");
        TestData::write(m_f->program(), "templates/snippets/My Notice.txt",
                        "[top]\nAd: [sponsor].");
        TestData::write(m_f->program(), "templates/claim-words.txt", "cure\nmoney\n");
        QString output;
        frmMass w(output);
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles()));
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "Robot");
        child<QLineEdit>(w, "txtBenefit")->setText("Make Money with Forex");
        child<QLineEdit>(w, "txtUrl")->setText("https://shop.example");
        clickTickBox(child<QListWidget>(w, "lstDisclaimers"), 1);
        const QString sponsor = "Sponsor: The disclaimer \"My Notice\" names the sponsor: the "
                                "company that paid for the article or gave the product.\n\n"
                                "Sponsor's name:";
        click(w, "vbtnLoad"); // cancelled: no run
        QCOMPARE(messages(), QStringList{sponsor});
        Seam::setAnswer(true);
        Seam::setTextAnswer(" Acme ");
        click(w, "vbtnLoad");
        QTRY_COMPARE_WITH_TIMEOUT(Seam::recordedMessages().size(), 3, 20000);
        Seam::setAnswer(false);
        QCOMPARE(messages(),
                 (QStringList{sponsor,
                              "Warning: The benefit makes a claim about the product (\"money\"). "
                              "A health or income claim must be true, and you must be able to "
                              "prove it.\n\nAdd the recommendation with this benefit anyway?",
                              "Process Complete: Done"}));
        QVERIFY(m_f->output("a.txt").startsWith("Ad: Acme.\r\n\r\nIf you want to"));
    }

    void closingDuringARunAsksThenStopsAfterTheArticleAtHand() {
        GatedRandom gate; // the run stands inside its first article
        Seam::setRandom(&gate);
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            m_f->article(name, name);
        QString output;
        frmMass w(output);
        w.show();
        QVERIFY(child<FolderList>(w, "Dir1")->setPath(m_f->articles()));
        QTest::keyClicks(child<QLineEdit>(w, "txtLinkText"), "Robot");
        child<QLineEdit>(w, "txtBenefit")->setText("bake");
        child<QLineEdit>(w, "txtUrl")->setText("http://shop.example");
        click(w, "vbtnLoad");
        QVERIFY(gate.entered.tryAcquire(1, 10000));
        Seam::setAnswer(false); // "No": the run goes on, the window stays
        w.close();
        QVERIFY(w.isVisible() && w.isRunning());
        Seam::setAnswer(true);
        QTest::keyClick(&w, Qt::Key_Escape);
        gate.go.release(1000);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 10000);
        Seam::setAnswer(false);
        const QString asked = "Stop the Run?: Articles are still being written. Stop the run "
                              "after the article at hand and close the window?\n\nThe articles "
                              "written so far stay in the output folder.";
        QCOMPARE(messages(), (QStringList{asked, asked,
                                          "Process Stopped: The run was stopped after 1 of 3 "
                                          "articles. The other 2 were not written this time: any "
                                          "copy of them in the output folder is from an earlier "
                                          "run.\n\nClick Begin Process to write every article "
                                          "again."}));
        QVERIFY(w.logText().endsWith("Content Added to : a.txt---\r\nStopped after 1 of 3 "
                                     "articles."));
        QCOMPARE(QDir(m_f->articles("rewritten_files"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"a.txt"});
    }
};

QTEST_MAIN(BulkWindowTest)
#include "tst_bulkwindow.moc"
