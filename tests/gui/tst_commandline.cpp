// The command line, run as the real program with no display: the same bytes as the window for the
// same draws, the window's refusals, exit statuses, and a dry run that writes nothing.
#include "ModalWatcher.h"
#include "ProgramRun.h"
#include "TestData.h"
#include "bulk/frmMass.h"
#include "cli/CommandLine.h"
#include "controllib/RandomSource.h"
#include "legalpages/frmLegalPages.h"
#include "site/FactsFile.h"
#include "widgets/FolderList.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

using namespace ProgramRun;

namespace {} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_program, m_work;
    QString program() const { return m_program.path(); }
    QString articles(const QString &name) const { return m_work.filePath(name); }

    // A folder of articles of several encodings, one of them empty.
    QString makeArticles(const QString &name) const {
        const QString folder = articles(name);
        TestData::write(folder, "a.txt", "First article.\r\n");
        TestData::write(folder, "b.txt", "\xEF\xBB\xBFSecond, with a mark.");
        TestData::write(folder, "c.txt", "Caf\xE9 in Windows-1252.");
        TestData::write(folder, "d.txt", "");
        TestData::write(folder, "e.txt", "Fifth.");
        return folder;
    }

private slots:
    void initTestCase() { TestData::copyProgramData(program()); }

    void writesTheWindowsBytesForTheSameDraws() {
        const QString byWindow = makeArticles("window"), byCommand = makeArticles("command");
        SeededRandom random(20261206);
        Seam::setRandom(&random);
        Seam::setProgramFolder(program());
        Seam::setRecordingMessages(true);
        QString output;
        frmMass w(output);
        QVERIFY(w.findChild<FolderList *>("Dir1")->setPath(byWindow));
        w.findChild<QLineEdit *>("txtBenefit")->setText("grow basil on a windowsill");
        w.findChild<QLineEdit *>("txtUrl")->setText("https://shop.example/?r=7&x=\"1\"");
        w.findChild<QLineEdit *>("txtLinkText")->setText("Basil Kit, Herb Guide,");
        w.findChild<QCheckBox *>("chkCenter2")->setChecked(true);
        auto *list = w.findChild<QListWidget *>("lstDisclaimers");
        for (int row : {1, 8}) // Affiliate Disclosure, Health Disclaimer
            list->item(row)->setCheckState(Qt::Checked);
        QTest::mouseClick(w.findChild<QPushButton *>("vbtnLoad"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 20000);
        QCOMPARE(Seam::takeMessages().size(), 1);

        // Twice: the same seed writes the same bytes again, over the outputs of the first run.
        for (int run = 0; run < 2; ++run) {
            const Result r = command(
                {"articles", byCommand, "--benefit", "grow basil on a windowsill", "--url",
                 "https://shop.example/?r=7&x=\"1\"", "--link-text", "Basil Kit, Herb Guide,",
                 "--center-after", "--disclaimer", "health-disclaimer.txt", "--disclaimer",
                 "Affiliate Disclosure", "--seed", "20261206", "--data", program()});
            QCOMPARE(r.status + r.out.size(), 0);
            const auto written = tree(byWindow + "/rewritten_files");
            QCOMPARE(written.keys(), (QStringList{"a.txt", "b.txt", "c.txt", "e.txt"}));
            QCOMPARE(tree(byCommand + "/rewritten_files"), written);
        }
    }

    void refusalsReturnTwoAndWriteNothing_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("setUp"); // what the article folder holds besides a.txt
        QTest::addColumn<QString>("said");  // on standard error; %F: the article folder
        QTest::newRow("no articles") << QStringList{} << "no articles"
                                     << "Error: Please select a folder with .txt articles.";
        QTest::newRow("recommendation with no place")
            << QStringList{"--link-text", "A", "--benefit",   "b",
                           "--url",       "u", "--no-before", "--no-after"}
            << ""
            << "Error: Please select at least 1 place where you want to insert the ads.";
        const QStringList one{"--disclaimer", "Affiliate Disclosure"};
        const QString nothing = "Missing Info: Missing Info: Nothing to add.";
        QTest::newRow("nothing to add") << QStringList{} << "" << nothing;
        QTest::newRow("a mistyped --data leaves nothing to add")
            << QStringList{"--data", "/nonexistent"} << "" << nothing;
        QTest::newRow("an address that is no web address")
            << QStringList{"--link-text", "A", "--benefit", "b", "--url", "javascript:alert(1)"}
            << ""
            << "Error: Please enter the full address of your link";
        QTest::newRow("a file in the output folder's way")
            << one << "file in the way"
            << "Error: The output folder %F/rewritten_files cannot be made (A file of that name "
               "is in the way).";
        QTest::newRow("output folder leading back to the articles")
            << one << "link"
            << "Error: The output folder %F/rewritten_files leads back to the article folder %F";
        QTest::newRow("link text without benefit and address")
            << QStringList{"--link-text", "A"} << ""
            << "clausewright: --link-text needs --benefit and --url.";
        QTest::newRow("unknown disclaimer") << QStringList{"--disclaimer", "Nonesuch"} << ""
                                            << "clausewright: there is no disclaimer 'Nonesuch'";
        QTest::newRow("a disclaimer naming the sponsor, without --sponsor")
            << QStringList{"--disclaimer", "Sponsored Content"} << ""
            << "Error: The disclaimer \"Sponsored Content\" names the sponsor, but no sponsor "
               "was given.";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << ""
                                        << "clausewright: Unknown option 'frobnicate'.";
    }

    void refusalsReturnTwoAndWriteNothing() {
        QFETCH(QStringList, options);
        QFETCH(QString, setUp);
        QFETCH(QString, said);
        QTemporaryDir folder;
        if (setUp != "no articles")
            TestData::write(folder.path(), "a.txt", "A");
        if (setUp == "file in the way")
            TestData::write(folder.path(), "rewritten_files", "in the way");
        if (setUp == "link")
            QVERIFY(QFile::link(".", folder.filePath("rewritten_files")));
        const auto before = tree(folder.path());
        for (const QString &dryRun : {QString(), QString("--dry-run")}) {
            const Result r =
                command(QStringList{"articles", folder.path(), "--data", program()} + options +
                        (dryRun.isEmpty() ? QStringList{} : QStringList{dryRun}));
            QCOMPARE(r.status, 2);
            QVERIFY2(r.err.contains(QString(said).replace("%F", folder.path())), qPrintable(r.err));
            QCOMPARE(tree(folder.path()), before);
        }
    }

    void aClaimInTheBenefitIsWarnedOfAndTheRunGoesAhead() {
        QTemporaryDir folder;
        TestData::write(folder.path(), "a.txt", "A");
        const Result r =
            command({"articles", folder.path(), "--data", program(), "--link-text", "Kit", "--url",
                     "https://shop.example", "--benefit", "Cure back pain for good", "--disclaimer",
                     "Gifted Label", "--sponsor", "Acme"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains("clausewright: warning: The benefit makes a claim about the "
                                "product (\"cure\", \"pain\")."),
                 qPrintable(r.err));
        QVERIFY(
            TestData::read(folder.filePath("rewritten_files/a.txt")).startsWith("Gifted: Acme "));
    }

    void failedArticlesAreNamedAndTheOthersWritten() {
        QTemporaryDir folder;
        TestData::write(folder.path(), "a.txt", "A");
        QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("b.txt")));
        TestData::write(folder.path(), "c.txt", "C");
        QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("new\nline\x1b[2J.txt")));
        const QStringList options{"--data", program(), "--disclaimer", "Affiliate Disclosure"};
        const Result dry = command(QStringList{"articles", folder.path(), "--dry-run"} + options);
        QCOMPARE(dry.status, 1);
        // Control characters in a name reach the terminal escaped.
        QVERIFY2(dry.err.contains("Could not read new\\nline\\x1b[2J.txt: No such file"),
                 qPrintable(dry.err));
        QVERIFY(!QFileInfo::exists(folder.filePath("rewritten_files")));
        QVERIFY(dry.err.contains("would write " + folder.filePath("rewritten_files/c.txt")));
        const Result r = command(QStringList{"articles", folder.path()} + options);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Could not read b.txt: No such file or directory"),
                 qPrintable(r.err));
        QCOMPARE(tree(folder.filePath("rewritten_files")).keys(), (QStringList{"a.txt", "c.txt"}));
        const Result again = command(QStringList{"articles", folder.path(), "--dry-run"} + options);
        QVERIFY(again.err.contains(folder.filePath("rewritten_files/c.txt") +
                                   " (replaces the file there)"));
    }

    void writesTheWindowsPagesAndPrintsItsLinkCode() {
        QTemporaryDir byWindow, byCommand;
        // The pages state the facts of a hobby site: the window finds them beside the site.
        const QString facts = CW_SOURCE_DIR "/tests/data/facts-hobby.toml";
        const QString besideSite = FactsFile::defaultPath(byWindow.path());
        QVERIFY(QFile::copy(facts, besideSite));
        const auto removeFacts = qScopeGuard([&] { QFile::remove(besideSite); });
        Seam::setProgramFolder(program());
        Seam::setRecordingMessages(true);
        auto *window = new frmLegalPages;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(window->findChild<FolderList *>("Dir1")->setPath(byWindow.path()));
        auto *list = window->findChild<QListWidget *>("lstDisclaimers");
        QStringList names;
        for (int row : {4, 6, 12}) { // Cookie Policy, Disclaimer, Privacy Policy
            list->item(row)->setCheckState(Qt::Checked);
            names << list->item(row)->text();
        }
        const QStringList site{"Herb & Garden", "https://herbs.example/?a=1", "me@herbs.example"};
        window->findChild<QLineEdit *>("txtSiteName")->setText(site[0]);
        window->findChild<QLineEdit *>("txtSiteUrl")->setText(site[1]);
        window->findChild<QLineEdit *>("txtemail")->setText(site[2]);
        QString code;
        ModalWatcher watcher([&](QWidget *modal) {
            code = modal->findChild<QPlainTextEdit *>("txtLinks")->toPlainText();
            modal->findChild<QPushButton *>("cmdClose")->click();
        });
        QTest::mouseClick(window->findChild<QPushButton *>("cmdCreatePages"), Qt::LeftButton);
        QVERIFY(watcher.fired());

        QStringList arguments{"pages",      byCommand.path(), "--site-name", site[0],
                              "--site-url", site[1],          "--email",     site[2],
                              "--data",     program(),        "--facts",     facts};
        for (const QString &name : names)
            arguments << "--page" << name;
        const Result dry = command(arguments + QStringList{"--dry-run"});
        QCOMPARE(dry.status, 0);
        QCOMPARE(dry.out, code + "\n");
        QCOMPARE(tree(byCommand.path()), (QMap<QString, QByteArray>{}));
        const Result r = command(arguments);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, code + "\n");
        QCOMPARE(tree(byCommand.path()).size(), 3);
        QCOMPARE(tree(byCommand.path()), tree(byWindow.path()));
    }

    void pagesRefusedOrFailed_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QStringList site{"--site-name",    "S",       "--site-url",
                               "https://s.test", "--email", "e@s.test"};
        QTest::newRow("no page") << site << 2
                                 << "No Page Selected: Please select at least 1 legal page to add.";
        QTest::newRow("no site name")
            << QStringList{"--all", "--site-url", "https://s.test", "--email", "E"} << 2
            << "Missing Info: Missing Info: 'Site Name' Field is Empty.";
        QTest::newRow("unknown page") << site + QStringList{"--page", "Nonesuch"} << 2
                                      << "clausewright: there is no page 'Nonesuch'";
        const QStringList two{"--page",  "Disclaimer",
                              "--page",  "Privacy Policy",
                              "--facts", CW_SOURCE_DIR "/tests/data/facts-hobby.toml"};
        QTest::newRow("a folder where one page goes")
            << site + two << 1
            << "clausewright: privacy-policy.html could not be made: it cannot be written to";
        QTest::newRow("a link where one page goes")
            << site + two + QStringList{"(link)"} << 1 << "(It is a link, not a page).";
        QTest::newRow("a page not ours is kept and named")
            << site + two + QStringList{"(foreign)"} << 1
            << "clausewright: privacy-policy.html was kept as it is: it was not written by this "
               "program. --replace-edited replaces it.";
        QTest::newRow("--replace-edited replaces it")
            << site + two + QStringList{"(foreign)", "--replace-edited"} << 0
            << "2 of 2 pages written";
        QTest::newRow("an address that is no web address")
            << QStringList{"--all", "--site-name", "S", "--site-url", "s.test", "--email", "e@s.t"}
            << 2 << "Error: The 'Site Url' Field must hold the site's full address";
    }

    void pagesRefusedOrFailed() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir site, elsewhere;
        const QString page = site.filePath("privacy-policy.html");
        if (options.removeAll("(link)"))
            QVERIFY(QFile::link(elsewhere.filePath("made"), page));
        else if (options.removeAll("(foreign)"))
            TestData::write(site.path(), "privacy-policy.html", "hand made");
        else
            QDir(site.path()).mkpath("privacy-policy.html");
        const auto before = tree(site.path());
        const Result dry = command(QStringList{"pages", site.path(), "--data", program()} +
                                   options + QStringList{"--dry-run"});
        QCOMPARE(tree(site.path()), before);
        const Result r = command(QStringList{"pages", site.path(), "--data", program()} + options);
        QCOMPARE(r.status, status);
        QCOMPARE(dry.status, status);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(elsewhere.filePath("made")));
        // Refused: nothing written and no link code; failed: the other page is written and linked.
        QStringList written = tree(site.path()).keys();
        written.removeAll("privacy-policy.html");
        QCOMPARE(written, status == 2 ? QStringList{} : QStringList{"disclaimer.html"});
        if (said.contains("kept"))
            QCOMPARE(TestData::read(page), QByteArray("hand made"));
        if (status == 1 && !said.contains("kept"))
            QCOMPARE(r.out, QString("<center><a href=\"disclaimer.html\">Disclaimer</a>"
                                    "</center>\n"));
        if (status == 2)
            QCOMPARE(r.out, QString());
    }

    // Whatever a command prints on standard output must get there: a full disk or a closed
    // output fails the command, help and lists included.
    void outputThatCannotBeWrittenFails_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output"); // "/dev/full" or "closed"
        const QStringList pages{"pages",
                                "(site)",
                                "--all",
                                "--site-name",
                                "S",
                                "--site-url",
                                "https://s.test",
                                "--email",
                                "e@s.test",
                                "--facts",
                                CW_SOURCE_DIR "/tests/data/facts-hobby.toml"};
        QTest::newRow("link code into a full disk") << pages << "/dev/full";
        QTest::newRow("link code into a closed output") << pages << "closed";
        QTest::newRow("a dry run into a full disk")
            << pages + QStringList{"--dry-run"} << "/dev/full";
        QTest::newRow("help into a full disk") << QStringList{"--help"} << "/dev/full";
        QTest::newRow("a list into a closed output")
            << QStringList{"articles", "--list-disclaimers"} << "closed";
    }
    void outputThatCannotBeWrittenFails() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QTemporaryDir site;
        arguments.replaceInStrings("(site)", site.path());
        QProcess process;
        if (output == "closed") {
            process.start("sh", QStringList{"-c", "exec >&-; exec \"$0\" \"$@\"",
                                            CW_BINARY_DIR "/clausewright"} +
                                    arguments);
        } else {
            process.setStandardOutputFile(output);
            process.start(CW_BINARY_DIR "/clausewright", arguments);
        }
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(process.readAllStandardError().contains("standard output could not be written"),
                 qPrintable(output));
    }

    // A folder whose name is not UTF-8 is worked on like any other, by both commands.
    void foldersWhoseNamesAreNotUtf8() {
        QTemporaryDir root;
        const auto remove = qScopeGuard([&] { QProcess::execute("rm", {"-rf", root.path()}); });
        const QByteArray folder = QFile::encodeName(root.path()) + "/caf\xe9";
        QVERIFY(::mkdir(folder.constData(), 0755) == 0 &&
                ::mkdir((folder + "/site").constData(), 0755) == 0);
        TestData::write(root.path(), "article.txt", "A");
        QVERIFY(::rename(QFile::encodeName(root.filePath("article.txt")).constData(),
                         (folder + "/a.txt").constData()) == 0);
        QProcess shell;
        shell.setProgram("sh");
        shell.setArguments(
            {"-c",
             "cd \"$0\" && F=$(printf 'caf\\351') && \"$1\" articles \"$F\" --data \"$2\" "
             "--disclaimer 'Affiliate Disclosure' && \"$1\" pages \"$F/site\" --data \"$2\" "
             "--all --site-name A --site-url https://a.test --email a@a.test --facts \"$3\" "
             ">/dev/null",
             root.path(), CW_BINARY_DIR "/clausewright", program(),
             CW_SOURCE_DIR "/tests/data/facts-hobby.toml"});
        shell.start();
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.exitCode(), 0);
        QVERIFY(shell.readAllStandardError().contains("1 of 1 articles written into " +
                                                      root.path().toUtf8() + "/caf\xef\xbf\xbd"));
        struct stat made {};
        QCOMPARE(::stat((folder + "/rewritten_files/a.txt").constData(), &made), 0);
        QCOMPARE(::stat((folder + "/site/privacy-policy.html").constData(), &made), 0);
    }

    // The real cause, said plainly: no display, a path too long.
    void startingWithoutADisplayOrWithAPathTooLongSaysWhy() {
        const Result bare = command({});
        QCOMPARE(bare.status, 1);
        QCOMPARE(bare.err, QString("clausewright: no display was found, so the windows cannot "
                                   "open.\nFrom a terminal without a display (over SSH, say), "
                                   "give a command:\nsee 'clausewright --help'.\n"));
        const Result tooLong = command({"articles", "/" + QString(5000, 'x'), "--data", program()});
        QCOMPARE(tooLong.status, 2);
        QVERIFY2(tooLong.err.contains("cannot be opened (File name too long)"),
                 qPrintable(tooLong.err));
    }

    // The services of a site as JSON; a file it cannot read makes the status 1, no folder 2.
    void scanListsServicesAndWhereTheyAre() {
        QTemporaryDir site;
        TestData::write(
            site.path(), "index.html",
            "<p>Google Fonts</p><iframe src=\"https://www.youtube.com/embed/a\"></iframe>");
        TestData::write(
            site.path(), "_includes/head.njk",
            "<link rel=stylesheet href=\"https://fonts.googleapis.com/css2?family=A\">");
        Result r = command({"scan", site.path(), "--json"});
        QCOMPARE(r.status, 0);
        QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).toJson(QJsonDocument::Compact),
                 QByteArray("{\"services\":[{\"category\":\"embed\",\"company\":\"Google LLC\","
                            "\"files\":[\"index.html\"],\"id\":\"youtube\",\"name\":\"YouTube\"},"
                            "{\"category\":\"fonts\",\"company\":\"Google LLC\",\"files\":"
                            "[\"_includes/head.njk\"],\"id\":\"google-fonts\",\"name\":"
                            "\"Google Fonts\"}]}"));
        QCOMPARE(r.err, QString("clausewright: 2 services found in 2 files read.\n"));

        QFile::link(site.filePath("nowhere"), site.filePath("gone.html"));
        r = command({"scan", site.path()});
        QCOMPARE(r.status, 1);
        QVERIFY2(
            r.out.startsWith("YouTube (youtube, embed): Google LLC, in 1 file\n    index.html\n"),
            qPrintable(r.out));
        QVERIFY2(r.err.startsWith("clausewright: gone.html could not be read: a link that leads "
                                  "nowhere.\n"),
                 qPrintable(r.err));
        QCOMPARE(command({"scan", site.filePath("index.html")}).status, 2);
    }

    void helpVersionAndListsNeedNoDisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("help") << QStringList{"--help"} << "Usage: clausewright [COMMAND [OPTIONS]]";
        QTest::newRow("version") << QStringList{"--version"} << "clausewright 2.2.0";
        QTest::newRow("articles help")
            << QStringList{"articles", "--help"} << "Usage: clausewright articles [options] FOLDER";
        QTest::newRow("disclaimers")
            << QStringList{"articles", "--list-disclaimers"} << "Ad Label\tad-label.txt";
        QTest::newRow("pages help")
            << QStringList{"pages", "--help"}
            << "Usage: clausewright pages [options] SITE_FOLDER (--page NAME... | --all)";
        QTest::newRow("pages") << QStringList{"pages", "--list-pages"}
                               << "Accessibility Statement\taccessibility-statement.txt";
        QTest::newRow("scan help")
            << QStringList{"scan", "--help"} << "Usage: clausewright scan [options] SITE";
    }

    void helpVersionAndListsNeedNoDisplay() {
        QFETCH(QStringList, arguments);
        const Result r = command(arguments);
        QCOMPARE(r.status, 0);
        QTEST(r.out.section('\n', 0, 0), "firstLine");
        QCOMPARE(r.err, QString());
    }

    // Qt's own options are the windows' (Qt takes them); anything else is a command, so that a
    // mistyped one is a usage error rather than a window.
    void qtOptionsStartTheWindows_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("command");
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("style with its value") << QStringList{"-style", "fusion"} << false;
        QTest::newRow("two dashes and =, a flag")
            << QStringList{"--style=fusion", "-reverse", "-platform", "xcb"} << false;
        QTest::newRow("a command") << QStringList{"articles", "x"} << true;
        QTest::newRow("a command after a Qt option") << QStringList{"-style", "x", "pages"} << true;
        QTest::newRow("our own option") << QStringList{"--help"} << true;
        QTest::newRow("an unknown option") << QStringList{"-stile", "fusion"} << true;
        QTest::newRow("a Qt option without its value") << QStringList{"-style"} << true;
    }

    void qtOptionsStartTheWindows() {
        QFETCH(QStringList, arguments);
        QTEST(CommandLine::isCommand(QStringList{"clausewright"} + arguments), "command");
    }
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
