// The command line, run as the real program with no display: the same bytes as the window for the
// same draws, the window's refusals, exit statuses, and a dry run that writes nothing.
#include "ModalWatcher.h"
#include "TestData.h"
#include "bulk/frmMass.h"
#include "controllib/RandomSource.h"
#include "legalpages/frmLegalPages.h"
#include "widgets/FolderList.h"
#include "widgets/Seam.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

// The program with these arguments, with no display in its environment at all.
Result command(const QStringList &arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CW_BINARY_DIR "/clausewright"), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Every file below folder, as relative path and bytes.
QMap<QString, QByteArray> tree(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), TestData::read(path));
    }
    return files;
}

} // namespace

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
        for (int row : {0, 5})
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
        QTest::newRow("a file in the output folder's way")
            << QStringList{} << "file in the way"
            << "Error: The output folder %F/rewritten_files cannot be made (A file of that name "
               "is in the way).";
        QTest::newRow("output folder leading back to the articles")
            << QStringList{} << "link"
            << "Error: The output folder %F/rewritten_files leads back to the article folder %F";
        QTest::newRow("link text without benefit and address")
            << QStringList{"--link-text", "A"} << ""
            << "clausewright: --link-text needs --benefit and --url.";
        QTest::newRow("unknown disclaimer") << QStringList{"--disclaimer", "Nonesuch"} << ""
                                            << "clausewright: there is no disclaimer 'Nonesuch'";
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

    void failedArticlesAreNamedAndTheOthersWritten() {
        QTemporaryDir folder;
        TestData::write(folder.path(), "a.txt", "A");
        QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("b.txt")));
        TestData::write(folder.path(), "c.txt", "C");
        const Result dry = command({"articles", folder.path(), "--dry-run", "--data", program()});
        QCOMPARE(dry.status, 1);
        QVERIFY(!QFileInfo::exists(folder.filePath("rewritten_files")));
        QVERIFY(dry.err.contains("would write " + folder.filePath("rewritten_files/c.txt")));
        const Result r = command({"articles", folder.path(), "--data", program()});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Could not read b.txt: No such file or directory"),
                 qPrintable(r.err));
        QCOMPARE(tree(folder.filePath("rewritten_files")),
                 (QMap<QString, QByteArray>{{"a.txt", "A"}, {"c.txt", "C"}}));
        const Result again = command({"articles", folder.path(), "--dry-run", "--data", program()});
        QVERIFY(again.err.contains(folder.filePath("rewritten_files/c.txt") +
                                   " (replaces the file there)"));
    }

    void writesTheWindowsPagesAndPrintsItsLinkCode() {
        QTemporaryDir byWindow, byCommand;
        Seam::setProgramFolder(program());
        Seam::setRecordingMessages(true);
        auto *window = new frmLegalPages;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(window->findChild<FolderList *>("Dir1")->setPath(byWindow.path()));
        auto *list = window->findChild<QListWidget *>("lstDisclaimers");
        QStringList names;
        for (int row : {1, 3, 10}) {
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

        QStringList arguments{"pages", byCommand.path(), "--site-name", site[0],  "--site-url",
                              site[1], "--email",        site[2],       "--data", program()};
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
        const QStringList site{"--site-name", "S", "--site-url", "U", "--email", "E"};
        QTest::newRow("no page") << site << 2
                                 << "No Page Selected: Please select at least 1 legal page to add.";
        QTest::newRow("no site name")
            << QStringList{"--all", "--site-url", "U", "--email", "E"} << 2
            << "Missing Info: Missing Info: 'Site Name' Field is Empty.";
        QTest::newRow("unknown page") << site + QStringList{"--page", "Nonesuch"} << 2
                                      << "clausewright: there is no page 'Nonesuch'";
        QTest::newRow("a folder where one page goes")
            << site + QStringList{"--page", "Disclaimer", "--page", "Privacy Policy"} << 1
            << "clausewright: privacy-policy.html could not be made: it cannot be written to";
    }

    void pagesRefusedOrFailed() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir site;
        QDir(site.path()).mkpath("privacy-policy.html");
        const Result r = command(QStringList{"pages", site.path(), "--data", program()} + options);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        // Refused: nothing written and no link code; failed: the other page is written and linked.
        QCOMPARE(tree(site.path()).keys(),
                 status == 2 ? QStringList{} : QStringList{"disclaimer.html"});
        QCOMPARE(r.out, status == 2 ? QString()
                                    : QString("<center><a href=\"disclaimer.html\">Disclaimer</a>"
                                              "</center>\n"));
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
        QTest::newRow("disclaimers") << QStringList{"articles", "--list-disclaimers"}
                                     << "Affiliate Disclosure\taffiliate-disclosure.txt";
        QTest::newRow("pages help")
            << QStringList{"pages", "--help"}
            << "Usage: clausewright pages [options] SITE_FOLDER (--page NAME... | --all)";
        QTest::newRow("pages") << QStringList{"pages", "--list-pages"}
                               << "Advertising Policy\tadvertising-policy.txt";
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
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
