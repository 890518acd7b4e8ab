#include "bulk/BatchJob.h"
#include "bulk/BatchRun.h"
#include "bulk/BatchWorker.h"
#include "bulk/DisclaimerBlock.h"
#include "controllib/RandomSource.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// RandomNumber(100) gives `number`; shuffles keep every list as it is.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(int number = 51) : m_number(number) {}
    quint32 below(quint32 bound) override {
        return bound == 100 ? quint32(m_number - 1) : bound - 1;
    }

private:
    int m_number;
};

QString write(const QString &dir, const QString &name, const QByteArray &bytes) {
    const QString path = QDir(dir).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

BatchJob jobFor(const QString &folder, const QStringList &names) {
    BatchJob job;
    job.articleFolder = folder;
    job.fileNames = names;
    job.filesFound = QString::number(names.size());
    job.recommendation = {QStringLiteral("Make Money"),
                          QStringLiteral("http://x.example/"),
                          QString(),
                          true,
                          true,
                          false,
                          false};
    job.phrases = {{"If you want to"}, {"Do you want to"}, {"Take A Look:"}};
    job.phraseFiles = {"/data/templates/if.txt", "/data/templates/if-question.txt",
                       "/data/templates/then.txt"};
    return job;
}

// Every article of a prepared run, as the worker goes through them.
QStringList runAll(BatchRun &run, int *failures = nullptr) {
    QStringList lines;
    int failed = 0;
    for (int i = 0; i < run.count(); ++i) {
        const BatchRun::Outcome outcome = run.process(i);
        if (outcome.result == BatchRun::Result::Failed)
            ++failed;
        if (!outcome.logLine.isEmpty())
            lines.append(outcome.logLine);
    }
    if (failures)
        *failures = failed;
    return lines;
}

QByteArray allBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

const QByteArray kStatement("If you want to Make Money then take a look:<br> <a "
                            "href=\"http://x.example/\">Robot</a><br><br>");

} // namespace

class BatchRunTest : public QObject {
    Q_OBJECT

private slots:
    void writesExactBytes_data() {
        QTest::addColumn<QByteArray>("article");
        QTest::addColumn<QString>("linkText");
        QTest::addColumn<QString>("benefit");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QByteArray>("snippet");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("nothing asked for: copied unchanged")
            << QByteArray("Hello\r\nWorld\n") << ""
            << "Make Money" << false << QByteArray() << QByteArray("Hello\r\nWorld\n");
        QTest::newRow("disclaimers only: three line breaks before the first")
            << QByteArray("Hello") << ""
            << "Make Money" << true << QByteArray("Terms.")
            << QByteArray("Hello\r\n\r\n\r\nTerms.");
        QTest::newRow("an empty snippet adds just CR LF CR LF")
            << QByteArray("Hello") << ""
            << "Make Money" << true << QByteArray() << QByteArray("Hello\r\n\r\n\r\n");
        QTest::newRow("recommendation before and after, then the block")
            << QByteArray("Hello") << "Robot"
            << "Make Money" << true << QByteArray("Terms.")
            << kStatement + "\r\n\r\nHello\r\n\r\n" + kStatement + "\r\n\r\n\r\nTerms.";
        QTest::newRow("UTF-8 byte order mark stays first, before a recommendation")
            << QByteArray("\xEF\xBB\xBFH\xC3\xA9llo") << "Robot"
            << "Make Money" << false << QByteArray()
            << "\xEF\xBB\xBF" + kStatement + "\r\n\r\nH\xC3\xA9llo\r\n\r\n" + kStatement;
        QTest::newRow("UTF-8 article gets inserted text in UTF-8")
            << QByteArray("Gr\xC3\xBC\xC3\x9F") << ""
            << "Make Money" << true << QByteArray("\xE2\x9C\x93 \xC2\xA9")
            << QByteArray("Gr\xC3\xBC\xC3\x9F\r\n\r\n\r\n"
                          "\xE2\x9C\x93 \xC2\xA9");
        QTest::newRow("every byte of a Windows-1252 article survives, inserted text matches")
            << allBytes() << "Robot" << QString::fromUtf8("Caf\xC3\xA9 \xE2\x9C\x93") << true
            << QByteArray("\xC2\xA9 \xE2\x80\x94 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x9C\x93")
            << "If you want to Caf\xE9 &#10003; then take a look:<br> <a "
               "href=\"http://x.example/\">Robot</a><br><br>\r\n\r\n" +
                   allBytes() +
                   "\r\n\r\nIf you want to Caf\xE9 &#10003; then take a look:<br> <a "
                   "href=\"http://x.example/\">Robot</a><br><br>\r\n\r\n\r\n\xA9 \x97 \x93q\x94 "
                   "&#10003;";
        QTest::newRow("NUL bytes of a UTF-8 article survive")
            << QByteArray("a\0b\0\xC3\xA9", 6) << ""
            << "Make Money" << true << QByteArray("T")
            << QByteArray("a\0b\0\xC3\xA9\r\n\r\n\r\nT", 13);
    }

    void writesExactBytes() {
        QFETCH(QByteArray, article);
        QFETCH(QString, linkText);
        QFETCH(QString, benefit);
        QFETCH(bool, ticked);
        QFETCH(QByteArray, snippet);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString source = write(dir.path(), "article.txt", article);
        BatchJob job = jobFor(dir.path(), {"article.txt"});
        job.recommendation.linkText = linkText;
        job.recommendation.benefit = benefit;
        if (ticked)
            job.tickedDisclaimers = {
                {"Terms", write(dir.filePath("snippets"), "terms.txt", snippet)}};
        ScriptedRandom random;
        BatchRun run(job, random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        QCOMPARE(runAll(run), QStringList{"Content Added to : article.txt---"});
        QCOMPARE(read(dir.filePath("rewritten_files/article.txt")), expected);
        QCOMPARE(read(source), article);
    }

    void disclaimerBlock_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArrayList>("texts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none ticked gives an empty block")
            << QStringList() << QByteArrayList() << QString();
        QTest::newRow("two, in the order given")
            << QStringList{"a.txt", "b.txt"} << QByteArrayList{"A text", "B text\r\n"}
            << QString("\r\n\r\nA text\r\n\r\nB text\r\n");
        QTest::newRow("empty snippet adds just CR LF CR LF")
            << QStringList{"a.txt", "empty.txt"} << QByteArrayList{"A", ""}
            << QString("\r\n\r\nA\r\n\r\n");
        QTest::newRow("a file named with blanks and capitals is read from that file")
            << QStringList{"My Notice.TXT"} << QByteArrayList{"mine"} << QString("\r\n\r\nmine");
    }

    void disclaimerBlock() {
        QFETCH(QStringList, names);
        QFETCH(QByteArrayList, texts);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QList<CatalogueEntry> ticked;
        for (int i = 0; i < names.size(); ++i)
            ticked.append({names[i], write(dir.path(), names[i], texts[i])});
        QString block = "stale";
        QVERIFY(DisclaimerBlock::build(ticked, block));
        QCOMPARE(block, expected);
    }

    void emptyArticlesAreSkippedSilently() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "A");
        write(dir.path(), "empty.txt", "");
        write(dir.path(), "mark-only.txt", "\xEF\xBB\xBF");
        write(dir.path(), "z.txt", "Z");
        ScriptedRandom random;
        BatchRun run(jobFor(dir.path(), {"a.txt", "empty.txt", "mark-only.txt", "z.txt"}), random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        int failures = -1;
        QCOMPARE(runAll(run, &failures),
                 (QStringList{"Content Added to : a.txt---", "Content Added to : z.txt---"}));
        QCOMPARE(failures, 0);
        // Nothing else in the output folder: no empty articles, no temporary files.
        QCOMPARE(QDir(dir.filePath("rewritten_files"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a.txt", "z.txt"}));
    }

    void pathsCollapseDoubledSeparators_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("drive root gives rewritten_files right under it") << "/"
                                                                         << "rewritten_files"
                                                                         << "/rewritten_files";
        QTest::newRow("folder ending in a separator") << "/data/"
                                                      << "a.txt"
                                                      << "/data/a.txt";
        QTest::newRow("plain folder") << "/data/articles"
                                      << "a.txt"
                                      << "/data/articles/a.txt";
    }

    void pathsCollapseDoubledSeparators() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(BatchJob::joinPath(folder, name), joined);
        BatchJob job;
        job.articleFolder = folder;
        QCOMPARE(job.outputFolder(), BatchJob::joinPath(folder, "rewritten_files"));
    }

    void secondRunReusesTheOutputFolder() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "new A");
        write(dir.path(), "rewritten_files/a.txt", "old A");
        write(dir.path(), "rewritten_files/keep.txt", "kept");
        ScriptedRandom random;
        BatchRun run(jobFor(dir.path(), {"a.txt"}), random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        QCOMPARE(run.outputFolder(), dir.filePath("rewritten_files"));
        runAll(run);
        QCOMPARE(read(dir.filePath("rewritten_files/a.txt")), QByteArray("new A"));
        QCOMPARE(read(dir.filePath("rewritten_files/keep.txt")), QByteArray("kept"));
    }

    void refusesBeforeAnythingChanges_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("linkText");
        QTest::addColumn<bool>("places");
        QTest::addColumn<int>("emptyList");
        QTest::addColumn<QString>("message");
        const QString noArticles = "Please select a folder with .txt articles.";
        const QString noPlace = "Please select at least 1 place where you want to insert the ads.";
        const QString noThen = "The recommendation cannot be written: the sentence template file "
                               "/data/templates/then.txt holds no templates.\n\nAdd at least one "
                               "line to it, or empty the Link Text to run without a "
                               "recommendation.";
        QTest::newRow("no articles comes first")
            << QStringList() << "Robot" << false << 2 << noArticles;
        QTest::newRow("link text without a place")
            << QStringList{"a.txt"} << "Robot" << false << -1 << noPlace;
        QTest::newRow("a lone blank is a link text")
            << QStringList{"a.txt"} << " " << false << -1 << noPlace;
        QTest::newRow("no link text needs no place")
            << QStringList{"a.txt"} << "" << false << 2 << "";
        QTest::newRow("empty phrase list named when a recommendation is wanted")
            << QStringList{"a.txt"} << "Robot" << true << 2 << noThen;
        QTest::newRow("all in order passes") << QStringList{"a.txt"} << "Robot" << true << -1 << "";
    }

    void refusesBeforeAnythingChanges() {
        QFETCH(QStringList, names);
        QFETCH(QString, linkText);
        QFETCH(bool, places);
        QFETCH(int, emptyList);
        QFETCH(QString, message);
        BatchJob job = jobFor("/data", names);
        job.recommendation.linkText = linkText;
        job.recommendation.begins = job.recommendation.ends = places;
        if (emptyList == 2)
            job.phrases.lstThen.clear();
        const auto refusal = job.refusal();
        QCOMPARE(refusal ? refusal->text : QString(), message);
        if (refusal)
            QCOMPARE(refusal->title, QString("Error"));
    }

    void unreadableTickedSnippetRefusesTheRun() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "A");
        BatchJob job = jobFor(dir.path(), {"a.txt"});
        const QString missing = dir.filePath("snippets/gone.txt");
        job.tickedDisclaimers = {{"Gone", missing}};
        ScriptedRandom random;
        BatchRun run(job, random);
        BatchMessage refusal;
        QVERIFY(!run.prepare(&refusal));
        QCOMPARE(refusal.title, QString("Error"));
        QVERIFY2(refusal.text.startsWith("The disclaimer file " + missing + " cannot be read ("),
                 qPrintable(refusal.text));
        QVERIFY(!QFileInfo::exists(dir.filePath("rewritten_files")));
    }

    void outputFolderThatCannotBeMadeRefusesTheRun() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "A");
        write(dir.path(), "rewritten_files", "a file in the way");
        ScriptedRandom random;
        BatchRun run(jobFor(dir.path(), {"a.txt"}), random);
        BatchMessage refusal;
        QVERIFY(!run.prepare(&refusal));
        QCOMPARE(refusal.text, "The output folder " + dir.filePath("rewritten_files") +
                                   " cannot be made (A file of that name is in the way).\n\nNo "
                                   "article was written.");
        QCOMPARE(refusal.title, QString("Error"));
        QCOMPARE(run.outputFolder(), QString());
        QCOMPARE(read(dir.filePath("rewritten_files")), QByteArray("a file in the way"));
    }

    void articleThatFailsIsLoggedAndTheRunGoesOn() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "A");
        write(dir.path(), "b.txt", "B");
        write(dir.path(), "c.txt", "C");
        // b.txt cannot be written: a folder of that name stands in the output folder.
        QDir(dir.path()).mkpath("rewritten_files/b.txt");
        ScriptedRandom random;
        // gone.txt was listed, then removed before the run reached it.
        BatchRun run(jobFor(dir.path(), {"a.txt", "b.txt", "gone.txt", "c.txt"}), random);
        BatchMessage refusal;
        QVERIFY(run.prepare(&refusal));
        int failures = 0;
        const QStringList lines = runAll(run, &failures);
        QCOMPARE(failures, 2);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString("Content Added to : a.txt---"));
        QVERIFY2(lines[1].startsWith("Could not write b.txt: "), qPrintable(lines[1]));
        QCOMPARE(lines[2], QString("Could not read gone.txt: No such file or directory"));
        QCOMPARE(lines[3], QString("Content Added to : c.txt---"));
        QCOMPARE(read(dir.filePath("rewritten_files/c.txt")), QByteArray("C"));
        QCOMPARE(read(dir.filePath("b.txt")), QByteArray("B"));
        // The failed write leaves no temporary file behind.
        QCOMPARE(QDir(dir.filePath("rewritten_files"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a.txt", "b.txt", "c.txt"}));
    }

    void finalMessageCountsFailures_data() {
        QTest::addColumn<int>("failures");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << 0 << "Done";
        QTest::newRow("one") << 1
                             << "Done, but 1 article could not be processed. The log names it.";
        QTest::newRow("several")
            << 3 << "Done, but 3 articles could not be processed. The log names them.";
    }

    void finalMessageCountsFailures() {
        QFETCH(int, failures);
        QFETCH(QString, message);
        QCOMPARE(BatchRun::finalMessage(failures), message);
        QCOMPARE(BatchRun::firstLogLine("12"), QString("Executing Actions... 12 Files..."));
    }

    void workerReportsEachArticleThenTheEnd() {
        QTemporaryDir dir;
        write(dir.path(), "a.txt", "A");
        write(dir.path(), "empty.txt", "");
        ScriptedRandom random;
        auto run =
            std::make_unique<BatchRun>(jobFor(dir.path(), {"a.txt", "empty.txt", "x.txt"}), random);
        BatchMessage refusal;
        QVERIFY(run->prepare(&refusal));
        BatchWorker worker(std::move(run));
        QSignalSpy progress(&worker, &BatchWorker::progress);
        QSignalSpy finished(&worker, &BatchWorker::finished);
        worker.work();
        QVERIFY(progress.count() >= 1);
        QStringList lines;
        for (const QList<QVariant> &report : std::as_const(progress))
            lines += report[2].toStringList();
        QCOMPARE(lines, (QStringList{"Content Added to : a.txt---",
                                     "Could not read x.txt: No such file or directory"}));
        const QList<QVariant> last = progress.last();
        QCOMPARE(last[0].toInt(), 3);
        QCOMPARE(last[1].toInt(), 3);
        QCOMPARE(last[3].toInt(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toInt(), 1);
    }
};

QTEST_APPLESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
