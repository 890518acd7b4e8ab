#include "BulkFixture.h"
#include "FileSizeLimit.h"
#include "TestData.h"
#include "bulk/BatchRun.h"
#include "bulk/BatchWorker.h"
#include "bulk/BulkData.h"
#include "bulk/RecommendationBuilder.h"
#include "controllib/QkTools.h"
#include "core/FolderListing.h"

#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kUrl = "http://shop.example/p?id=1&ref=2";

// The typed address goes in escaped for HTML.
QByteArray anchor(const QByteArray &linkText) {
    return "<a href=\"http://shop.example/p?id=1&amp;ref=2\">" + linkText + "</a><br><br>";
}
QByteArray question(const QByteArray &linkText) {
    return "Do you want to Make Money?<br> <br>Take A Look: " + anchor(linkText);
}
// The fixture's closing "Take A Look:" is lowered entirely.
QByteArray statement(const QByteArray &linkText) {
    return "If you want to Make Money then take a look:<br> " + anchor(linkText);
}

RecommendationSettings settings(const QString &linkText, bool begins = true, bool ends = true,
                                bool center1 = false, bool center2 = false) {
    return {"Make Money", kUrl, linkText, begins, ends, center1, center2};
}

// A job over the fixture's article folder, with its program folder's phrase lists.
BatchJob jobFor(const BulkFolders &f, const QStringList &names, const QString &linkText = {}) {
    BulkData data;
    data.load(f.program());
    QByteArrayList local;
    for (const QString &name : names)
        local.append(QFile::encodeName(name));
    const QString found = QString::number(names.size());
    return {f.articles(), local, found, settings(linkText), data.phrases, data.phraseFiles, {}, {}};
}

// Each byte of an ASCII text as one UTF-16 code unit.
QByteArray utf16(const QByteArray &ascii, bool little) {
    QByteArray out;
    for (char c : ascii)
        out += little ? QByteArray(1, c) + '\0' : '\0' + QByteArray(1, c);
    return out;
}

// Runs a prepared job through the worker: its log lines (after the first) and its failures.
std::pair<QStringList, int> runAll(const BatchJob &job, RandomSource &random) {
    auto run = std::make_unique<BatchRun>(job, random);
    BatchMessage refusal;
    if (!run->prepare(&refusal))
        return {{refusal.text}, -1};
    BatchWorker worker(std::move(run));
    QSignalSpy progress(&worker, &BatchWorker::progress);
    QSignalSpy finished(&worker, &BatchWorker::finished);
    worker.work();
    QStringList lines;
    for (const QList<QVariant> &report : std::as_const(progress))
        lines += report[2].toStringList();
    return {lines, finished.at(0).at(0).toInt()};
}

// The entries of a folder, hidden ones included.
QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Mounts folder a second time at mountPoint (made here); false where mounting is not allowed.
bool bindMount(const QString &folder, const QString &mountPoint) {
    QDir().mkpath(mountPoint);
    QProcess mount;
    mount.start("mount", {"--bind", folder, mountPoint});
    return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
           mount.exitCode() == 0;
}

void row(const char *name, const QByteArray &article, const RecommendationSettings &options,
         const QByteArrayList &snippets, const QByteArray &expected, int number = 51,
         bool turnRound = false) {
    QTest::newRow(name) << article << options << snippets << expected << number << turnRound;
}

} // namespace

Q_DECLARE_METATYPE(RecommendationSettings)

class BatchRunTest : public QObject {
    Q_OBJECT

private slots:
    void writesExactBytes_data() {
        QTest::addColumn<QByteArray>("article");
        QTest::addColumn<RecommendationSettings>("options");
        QTest::addColumn<QByteArrayList>("snippets"); // ticked, in the order of the list
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("number"); // RandomNumber(100): 50 or less asks a question
        QTest::addColumn<bool>("turnRound");
        const QByteArray body = "Body\r\nline two", gap = "\r\n\r\n";
        const QByteArray q = question("Robot"), s = statement("Robot");
        row("before only, question form at a drawn 50", body, settings("Robot", true, false), {},
            q + gap + body, 50);
        row("after only, statement form at 51 lowers the whole closing", body,
            settings("Robot", false), {}, body + gap + s);
        row("both places, only the first centred", body, settings("Robot", true, true, true), {},
            "<center>" + q + "</center>" + gap + body + gap + q, 20);
        row("both places, only the second centred", body,
            settings("Robot", true, true, false, true), {},
            s + gap + body + gap + "<center>" + s + "</center>");
        row("comma and blank split like a comma", body,
            settings("Awesome Robot, Other Robot", false), {},
            body + gap + statement("Awesome Robot"));
        row("only one blank after a comma is dropped, the second text is picked", body,
            settings("A,  B", false), {}, body + gap + statement(" B"), 51, true);
        row("empty link-text pieces are never picked", body, settings("A,", false), {},
            body + gap + statement("A"), 51, true);
        row("a link text of empty pieces asks for no recommendation", body, settings(", ,"), {},
            body);
        row("disclaimers only: three line breaks before the first, an empty one adds CR LF CR LF",
            "Hello", settings(""), {"Terms.", "", "End."},
            "Hello\r\n\r\n\r\nTerms.\r\n\r\n\r\n\r\nEnd.");
        row("recommendation before and after, then the block", "Hello", settings("Robot"),
            {"Terms."}, s + gap + "Hello" + gap + s + "\r\n\r\n\r\nTerms.");
        row("a snippet marked [top] goes first, with its sponsor; the others stay after",
            "\xEF\xBB\xBFHello", settings("Robot", true, false),
            {"[top]\nAd: paid by [sponsor].", "Terms [sponsor]?", "[top]\r\nGifted."},
            "\xEF\xBB\xBF"
            "Ad: paid by Acme Ltd.\r\n\r\nGifted.\r\n\r\n" +
                s + gap + "Hello\r\n\r\n\r\nTerms Acme Ltd?");
        row("only top snippets: nothing after the article, a late [top] is text", "Hi",
            settings(""), {"[top]\nAd.", " [top]\nX"}, "Ad.\r\n\r\nHi\r\n\r\n\r\n [top]\nX");
        row("UTF-8 byte order mark stays first, before a recommendation",
            "\xEF\xBB\xBFH\xC3\xA9llo", settings("Robot"), {},
            "\xEF\xBB\xBF" + s + gap + "H\xC3\xA9llo" + gap + s);
        QByteArray all(256, 0);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QByteArray s1252 = statement("Caf\xE9 &#10003;");
        row("every byte of a Windows-1252 article survives, the rest becomes &#N;", all,
            settings(QString::fromUtf8("Caf\xC3\xA9 \xE2\x9C\x93")),
            {"\xC2\xA9 \xE2\x80\x94 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x9C\x93"},
            s1252 + gap + all + gap + s1252 + "\r\n\r\n\r\n\xA9 \x97 \x93q\x94 &#10003;");
        row("BOM and an invalid byte: still UTF-8, the mark stays first",
            "\xEF\xBB\xBF"
            "caf\xE9",
            settings("Robot"), {}, "\xEF\xBB\xBF" + s + gap + "caf\xE9" + gap + s);
        row("UTF-16 LE: added text in UTF-16 LE after the mark", "\xFF\xFE" + utf16("Hi", true),
            settings("Robot", true, false), {"T."},
            "\xFF\xFE" + utf16(s + gap + "Hi\r\n\r\n\r\nT.", true));
        row("UTF-16 BE: added text in UTF-16 BE", "\xFE\xFF" + utf16("Hi", false),
            settings("Robot", false), {}, "\xFE\xFF" + utf16("Hi" + gap + s, false));
        row("NUL bytes of a UTF-8 article survive, inserted text stays UTF-8",
            QByteArray("a\0b\0\xC3\xA9", 6), settings(""), {"\xE2\x9C\x93"},
            QByteArray("a\0b\0\xC3\xA9\r\n\r\n\r\n\xE2\x9C\x93", 15));
    }

    void writesExactBytes() {
        QFETCH(QByteArray, article);
        QFETCH(RecommendationSettings, options);
        QFETCH(QByteArrayList, snippets);
        QFETCH(int, number);
        QFETCH(bool, turnRound);
        BulkFolders f;
        const QString source = f.article("article.txt", article);
        BatchJob job = jobFor(f, {"article.txt"});
        job.recommendation = options;
        for (int i = 0; i < snippets.size(); ++i)
            job.tickedDisclaimers.append(
                {"", TestData::write(f.program(), QString("s%1.txt").arg(i), snippets[i])});
        job.sponsor = "Acme Ltd";
        ScriptedRandom random(number, turnRound);
        BatchRun run(job, random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        QCOMPARE(run.process(0).logLine, QString("Content Added to : article.txt---"));
        QTEST(f.output("article.txt"), "expected");
        QCOMPARE(TestData::read(source), article);
    }

    void everyArticleIsWrittenSkippedOrNamedAndTheRunGoesOn() {
        BulkFolders f;
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            f.article(name, QByteArray(name).left(1));
        f.article("empty.txt", "");
        f.article("mark-only.txt", "\xEF\xBB\xBF");
        f.article("rewritten_files/c.txt", "from the run before"); // replaced
        QDir(f.articles()).mkpath("rewritten_files/b.txt");        // b.txt cannot be written
        const QByteArray odd = QFile::encodeName(f.articles()) + "/d\xE9.txt"; // not UTF-8
        const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "Latin", 5) == 5 && ::close(fd) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(f.articles("fifo")).constData(), 0600) == 0);
        QVERIFY(QFile::link(f.articles("fifo"), f.articles("pipe.txt")));
        QVERIFY(QFile::link("/dev/zero", f.articles("zero.txt")));
        QVERIFY(QFile::link(f.articles("gone"), f.articles("gone.txt"))); // leads nowhere
        QDir(f.articles()).mkpath("sub");
        QVERIFY(QFile::link(f.articles("sub"), f.articles("folder.txt"))); // a folder: not listed
        // Links out of the folder are never read; one into a subfolder is.
        QTemporaryDir outside;
        const QString secret = TestData::write(outside.path(), "secret", "not for articles");
        QVERIFY(QFile::link(secret, f.articles("secret.txt")));
        QVERIFY(QFile::link("../" + QFileInfo(f.articles()).fileName() + "/sub/in.txt",
                            f.articles("inside.txt")));
        f.article("sub/in.txt", "In");
        // A private article stays private; an output name taken by a link is not written through.
        QFile::setPermissions(f.article("private.txt", "P"), QFile::ReadOwner | QFile::WriteOwner);
        f.article("utf32.txt", QByteArray("\xFF\xFE\0\0H\0\0\0", 8));
        QVERIFY(QFile::link(secret, f.articles("rewritten_files/linked.txt")));
        f.article("linked.txt", "L");

        BatchJob job = jobFor(f, {});
        job.fileNames = FolderListing::localNames(f.articles(), {"*.txt"});
        QCOMPARE(job.fileNames.size(), 14);
        ScriptedRandom random;
        auto [lines, failures] = runAll(job, random);
        lines[1] = lines[1].section(':', 0, 0); // the reason is the system's
        QCOMPARE(lines,
                 (QStringList{"Content Added to : a.txt---", "Could not write b.txt",
                              "Content Added to : c.txt---", "Content Added to : d\uFFFD.txt---",
                              "Could not read gone.txt: No such file or directory",
                              "Content Added to : inside.txt---",
                              "Could not write linked.txt: It is a link, not a file",
                              "Could not read pipe.txt: It is a pipe, not a file",
                              "Content Added to : private.txt---",
                              "Could not read secret.txt: It is a link to a file outside the "
                              "article folder",
                              "Could not process utf32.txt: it is saved as UTF-32, which the "
                              "program does not add text to. Save it as UTF-8 and run again",
                              "Could not read zero.txt: It is a link to a file outside the "
                              "article folder"}));
        QCOMPARE(BatchRun::finalMessage(failures),
                 QString("Done, but 7 articles could not be processed. The log names them."));
        QCOMPARE(f.output("c.txt"), QByteArray("c"));
        QCOMPARE(f.output("inside.txt"), QByteArray("In"));
        QCOMPARE(TestData::read(secret), QByteArray("not for articles"));
        struct stat made {};
        QCOMPARE(::stat(QFile::encodeName(f.articles("rewritten_files/private.txt")), &made), 0);
        QCOMPARE(made.st_mode & 0777, 0600u);
        // Written under the very bytes of its name; nothing for the empty articles, and no
        // temporary file left by the failed write.
        const QByteArray out = QFile::encodeName(f.articles()) + "/rewritten_files/d\xE9.txt";
        char buffer[16] = {};
        const int in = ::open(out.constData(), O_RDONLY);
        QCOMPARE(in >= 0 ? ::read(in, buffer, sizeof buffer) : -1, 5);
        ::close(in);
        QCOMPARE(QByteArray(buffer), QByteArray("Latin"));
        ::unlink(out.constData()); // names Qt cannot spell are removed by their bytes
        ::unlink(odd.constData());
        QCOMPARE(
            entries(f.articles("rewritten_files")),
            (QStringList{"a.txt", "b.txt", "c.txt", "inside.txt", "linked.txt", "private.txt"}));
    }

    void failedWritesKeepTheOldOutputAndLeaveNothing() {
        BulkFolders f;
        const QByteArray big(300, 'x');
        f.article("a-new-big.txt", big);       // no output yet: fails unnamed
        f.article("b-old-small.txt", "small"); // replaces its old output
        f.article("c-old-big.txt", big);       // fails through a temporary name
        f.article("rewritten_files/b-old-small.txt", "old b");
        f.article("rewritten_files/c-old-big.txt", "old c, edited by hand");
        ScriptedRandom random;
        std::pair<QStringList, int> result;
        {
            FileSizeLimit full(200);
            result =
                runAll(jobFor(f, {"a-new-big.txt", "b-old-small.txt", "c-old-big.txt"}), random);
        }
        QCOMPARE(result.first, (QStringList{"Could not write a-new-big.txt: File too large",
                                            "Content Added to : b-old-small.txt---",
                                            "Could not write c-old-big.txt: File too large"}));
        QCOMPARE(result.second, 2);
        QCOMPARE(f.output("b-old-small.txt"), QByteArray("small"));
        QCOMPARE(f.output("c-old-big.txt"), QByteArray("old c, edited by hand"));
        QCOMPARE(entries(f.articles("rewritten_files")),
                 (QStringList{"b-old-small.txt", "c-old-big.txt"}));
    }

    // On a folder that does not tell letter case apart, "up.txt" leads to the file just written
    // as "UP.TXT"; a hard link made between the two writes stands in for such a folder here.
    void namesTheFolderCannotTellApartAreNotWrittenOverEachOther() {
        BulkFolders f;
        f.article("UP.TXT", "first");
        f.article("up.txt", "second");
        ScriptedRandom random;
        BatchJob job = jobFor(f, {"UP.TXT", "up.txt"});
        job.tickedDisclaimers = {{"", TestData::write(f.program(), "s.txt", "S")}};
        BatchRun run(job, random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        QCOMPARE(run.process(0).result, BatchRun::Result::Written);
        QCOMPARE(::link(QFile::encodeName(f.articles("rewritten_files/UP.TXT")),
                        QFile::encodeName(f.articles("rewritten_files/up.txt"))),
                 0);
        QCOMPARE(run.process(1).logLine,
                 QString("Could not write up.txt: Its name and that of UP.TXT, written before it, "
                         "name one file here: this folder does not tell letter case apart"));
        QCOMPARE(f.output("UP.TXT"), QByteArray("first\r\n\r\n\r\nS"));
    }

    void staleTemporaryFilesOfOurOwnAreRemoved() {
        BulkFolders f;
        f.article("a.txt", "A");
        // A run cut off long ago, one of a process that still runs (pid 1), look-alikes, and two
        // of a live run whose number means nothing here (another process namespace): one it holds
        // locked, one it wrote a moment ago.
        const QStringList left{".a.txt.cw999999999-3.tmp",
                               ".a.txt.cw1-3.tmp",
                               ".keep.tmp",
                               "b.cw999999999-1.tmp",
                               ".a.txt.cw999999999-3.tmp.bak",
                               ".b.txt.cw999999998-1.tmp",
                               ".c.txt.cw999999998-2.tmp"};
        const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
        for (const QString &name : left) {
            QFile file(f.article("rewritten_files/" + name, "x"));
            if (name != ".c.txt.cw999999998-2.tmp")
                QVERIFY(file.open(QIODevice::ReadWrite) &&
                        file.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
        const int locked = ::open(QFile::encodeName(f.articles("rewritten_files/" + left[5])),
                                  O_RDONLY | O_CLOEXEC);
        QVERIFY(locked >= 0 && ::flock(locked, LOCK_EX) == 0);
        ScriptedRandom random;
        QCOMPARE(runAll(jobFor(f, {"a.txt"}), random).second, 0);
        ::close(locked);
        QCOMPARE(entries(f.articles("rewritten_files")),
                 (QStringList{".a.txt.cw1-3.tmp", ".a.txt.cw999999999-3.tmp.bak",
                              ".b.txt.cw999999998-1.tmp", ".c.txt.cw999999998-2.tmp", ".keep.tmp",
                              "a.txt", "b.cw999999999-1.tmp"}));
    }

    void anArticleTooLargeForMemoryFailsAlone() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer keeps memory of its own outside an address-space limit");
#endif
        BulkFolders f;
        f.article("a-huge.txt", "");
        QVERIFY(QFile::resize(f.articles("a-huge.txt"), qint64(3) << 30)); // sparse, 3 GB
        f.article("b.txt", "B");
        rlimit before{};
        getrlimit(RLIMIT_AS, &before);
        rlimit limit = before;
        limit.rlim_cur = rlim_t(2) << 30; // well above this test's own needs, below the article
        setrlimit(RLIMIT_AS, &limit);
        ScriptedRandom random;
        const auto [lines, failures] = runAll(jobFor(f, {"a-huge.txt", "b.txt"}), random);
        setrlimit(RLIMIT_AS, &before);
        QCOMPARE(lines, (QStringList{"Could not read a-huge.txt: There is not enough memory to "
                                     "read it",
                                     "Content Added to : b.txt---"}));
        QCOMPARE(failures, 1);
    }

    void everyArticleGetsPicksOfItsOwn() {
        SeededRandom random(3);
        QkTools tools(random);
        RecommendationBuilder builder({{"If a", "If b"}, {"Do a", "Do b"}, {"Then a:", "Then b:"}},
                                      settings("One,Two"), tools);
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i)
            seen.insert(builder.compose());
        // 2 openings x 2 closings x 2 link texts in each of the two forms.
        QCOMPARE(seen.size(), 16);
    }

    void driveRootFolderCollapsesDoubledSeparators() {
        BatchJob job;
        job.articleFolder = "/";
        QCOMPARE(job.outputFolder(), QString("/rewritten_files"));
    }

    void refusesBeforeAnythingIsWritten_data() {
        QTest::addColumn<QString>("linkText");
        QTest::addColumn<QString>("breakage"); // a program file to remove, or an output blocker
        QTest::addColumn<QString>("message");  // %P: program folder, %A: article folder
        QTest::newRow("missing phrase file refuses a run that needs it")
            << "Robot"
            << "templates/then.txt"
            << "The recommendation cannot be written: the sentence template file "
               "%P/templates/then.txt holds no templates.\n\nAdd at least one line to it, or "
               "empty the Link Text to run without a recommendation.";
        QTest::newRow("missing phrase file is no matter without a link text")
            << ""
            << "templates/then.txt"
            << "";
        QTest::newRow("unreadable ticked snippet")
            << ""
            << "templates/snippets/privacy-policy.txt"
            << "The disclaimer file %P/templates/snippets/privacy-policy.txt cannot be read (No "
               "such file or directory).\n\nNo article was written.";
        QTest::newRow("ticked snippet names the sponsor, none given")
            << ""
            << "sponsor"
            << "The disclaimer \"Privacy Policy\" names the sponsor, but no sponsor was given."
               "\n\nGive the sponsor's name, or untick the disclaimer. No article was written.";
        QTest::newRow("output folder that cannot be made")
            << ""
            << "rewritten_files"
            << "The output folder %A/rewritten_files cannot be made (A file of that name is in "
               "the way).\n\nNo article was written.";
        QTest::newRow("output folder that leads back to the article folder")
            << ""
            << "link"
            << "The output folder %A/rewritten_files leads back to the article folder %A, so "
               "writing there would overwrite the articles.\n\nRemove or rename "
               "%A/rewritten_files and try again. No article was written.";
        QTest::newRow("a folder path too long is named with its cause")
            << ""
            << "too long"
            << "The folder /%1 cannot be opened (File name too long).\n\nPlease select a folder "
               "with .txt articles.";
        QTest::newRow("output folder that leads back through a second mount")
            << ""
            << "bind mount"
            << "The output folder %A/rewritten_files leads back to the article folder %A, so "
               "writing there would overwrite the articles.\n\nRemove or rename "
               "%A/rewritten_files and try again. No article was written.";
        const QString nothing = "Missing Info: Nothing to add. Please tick at least 1 disclaimer, "
                                "or fill in the Link Text of a product recommendation.";
        QTest::newRow("nothing ticked and no recommendation") << ""
                                                              << "untick" << nothing;
        const QString address = "Please enter the full address of your link, starting with "
                                "http:// or https:// and a host name (such as "
                                "https://shop.example/product).";
        for (const char *url : {"http://", "javascript:alert(1)", "shop.example/p", "ftp://a.b/"})
            QTest::newRow(qPrintable(QString("address %1 refused").arg(url)))
                << "Robot" << QString("url=") + url << address;
        QTest::newRow("an empty benefit is not published")
            << "Robot"
            << "benefit=  "
            << "Missing Info: 'This product is for people who need to' Field is Empty.";
        QTest::newRow("all in order passes") << "Robot"
                                             << ""
                                             << "";
    }

    void refusesBeforeAnythingIsWritten() {
        QFETCH(QString, linkText);
        QFETCH(QString, breakage);
        QFETCH(QString, message);
        BulkFolders f;
        f.article("a.txt", "A");
        if (breakage == "rewritten_files")
            f.article(breakage, "a file in the way");
        else if (breakage == "link")
            QVERIFY(QFile::link(".", f.articles("rewritten_files")));
        else if (breakage == "sponsor")
            TestData::write(f.program(), "templates/snippets/privacy-policy.txt", "By [sponsor].");
        else if (breakage == "bind mount" &&
                 !bindMount(f.articles(), f.articles("rewritten_files")))
            QSKIP("This test needs to mount a folder (root, outside a container)");
        else if (breakage == "bind mount")
            ; // unmounted by the guard below
        else if (!breakage.isEmpty() && !breakage.contains('=') && breakage != "untick" &&
                 breakage != "too long" && breakage != "sponsor")
            QVERIFY(QFile::remove(f.program(breakage)));
        const auto unmount = qScopeGuard([&] {
            if (breakage == "bind mount")
                QProcess::execute("umount", {f.articles("rewritten_files")});
        });
        BatchJob job = jobFor(f, {"a.txt"}, linkText);
        if (breakage != "untick")
            job.tickedDisclaimers = {
                {"Privacy Policy", f.program("templates/snippets/privacy-policy.txt")}};
        if (breakage == "too long") {
            job.articleFolder = "/" + QString(5000, 'x');
            job.fileNames.clear();
            message = message.arg(QString(5000, 'x'));
        }
        if (breakage.startsWith("url="))
            job.recommendation.url = breakage.mid(4);
        if (breakage.startsWith("benefit="))
            job.recommendation.benefit = breakage.mid(8);
        ScriptedRandom random;
        BatchRun run(job, random);
        BatchMessage refused;
        if (const auto refusal = job.refusal())
            refused = *refusal;
        else if (!run.prepare(&refused))
            QCOMPARE(run.outputFolder(), QString());
        QCOMPARE(refused.text, message.replace("%P", f.program()).replace("%A", f.articles()));
        QCOMPARE(refused.title, message.isEmpty()                     ? QString()
                                : message.startsWith("Missing Info:") ? QString("Missing Info")
                                                                      : QString("Error"));
        QCOMPARE(TestData::read(f.articles("a.txt")), QByteArray("A"));
        if (breakage != "link" && breakage != "bind mount")
            QCOMPARE(QFileInfo(f.articles("rewritten_files")).isDir(), message.isEmpty());
    }
};

QTEST_APPLESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
