// Times a batch run against plain copying of the same articles.
//
//   cw_bench [N] [folder]
//
// Makes N articles of about 4 KB (default 10000; every 50th empty, every 20th about 40 KB) in a
// temporary folder (inside `folder` when given), reads them once to warm the cache, then times
// (a) copying the files one by one into another folder and (b) the batch run's core writing them
// with a recommendation before and after and three disclaimers. Each is timed three times, in
// alternating order and each time into a fresh folder, and the fastest time of each is kept. Prints
// both times, their ratio and the peak memory.

#include "app/Catalogue.h"
#include "bulk/BatchJob.h"
#include "bulk/BatchRun.h"
#include "controllib/RandomSource.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QByteArray article(int i) {
    if (i % 50 == 7)
        return QByteArray();
    const QByteArray paragraph =
        "Trading currencies takes patience. Article " + QByteArray::number(i) +
        " explains how a small account grows with careful risk management, a written plan and "
        "honest records of every trade.\r\n\r\n";
    const int size = i % 20 == 3 ? 40000 : 4000;
    return paragraph.repeated(size / paragraph.size() + 1).left(size);
}

// A plain copy: read the whole file, write it under the same name.
bool copyFile(const QByteArray &from, const QByteArray &to, QByteArray &buffer) {
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    qsizetype used = 0;
    for (;;) {
        if (buffer.size() - used < 65536)
            buffer.resize(buffer.size() + 65536);
        const ssize_t got = ::read(in, buffer.data() + used, size_t(buffer.size() - used));
        if (got <= 0)
            break;
        used += got;
    }
    ::close(in);
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    const bool ok = ::write(out, buffer.constData(), size_t(used)) == ssize_t(used);
    return ::close(out) == 0 && ok;
}

double timeCopy(const QString &from, const QString &to, const QStringList &names) {
    QDir().mkpath(to);
    QByteArray buffer;
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names) {
        if (!copyFile(QFile::encodeName(from + '/' + name), QFile::encodeName(to + '/' + name),
                      buffer)) {
            std::fprintf(stderr, "copy failed: %s\n", qPrintable(name));
            std::exit(1);
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

double timeBatch(const BatchJob &job, RandomSource &random) {
    QElapsedTimer timer;
    timer.start();
    BatchRun run(job, random);
    BatchMessage refusal;
    if (!run.prepare(&refusal)) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal.text));
        std::exit(1);
    }
    int failures = 0;
    for (int i = 0; i < run.count(); ++i)
        failures += run.process(i).result == BatchRun::Result::Failed;
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (failures) {
        std::fprintf(stderr, "%d articles failed\n", failures);
        std::exit(1);
    }
    return seconds;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (count < 1) {
        std::fprintf(stderr, "usage: cw_bench [N] [folder]\n");
        return 2;
    }
    QTemporaryDir root(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/cw_bench-XXXXXX"
                                : QDir::tempPath() + "/cw_bench-XXXXXX");
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const QString articles = root.filePath("articles");
    const QString snippets = root.filePath("snippets");
    QDir().mkpath(articles);
    QDir().mkpath(snippets);
    // The names are made in list order (zero-padded numbers), as the window's file list would
    // list them; the run holds the names only.
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        names.append(QStringLiteral("article-%1.txt").arg(i, 6, 10, QLatin1Char('0')));
        writeFile(articles + '/' + names.last(), article(i));
    }

    BatchJob job;
    job.articleFolder = articles;
    for (const QString &name : std::as_const(names))
        job.fileNames.append(QFile::encodeName(name));
    job.filesFound = QString::number(job.fileNames.size());
    job.recommendation = {QStringLiteral("Make Money with Forex"),
                          QStringLiteral("https://shop.example/robot?ref=42"),
                          QStringLiteral("Awesome Trading Robot,Recommended Trading Robot"),
                          true,
                          true,
                          true,
                          false};
    job.phrases = {{"If you want to", "If you are ready to", "If you have always wanted to"},
                   {"Do you want to", "Are you ready to", "Would you like to"},
                   {"Take a look at the tool I use:", "See what I recommend:", "Have a look:"}};
    for (const char *name : {"affiliate-disclosure", "not-professional-advice", "earnings"}) {
        const QString path = snippets + '/' + QString::fromLatin1(name) + ".txt";
        writeFile(path, QByteArray("Disclaimer: ")
                            .append(name)
                            .append(". Results vary; nothing here is advice.")
                            .repeated(4));
        job.tickedDisclaimers.append({Catalogue::displayName(QFileInfo(path).fileName()), path});
    }

    // Warm the cache: read every article once.
    QByteArray sink;
    for (const QString &name : std::as_const(names)) {
        QFile file(articles + '/' + name);
        if (file.open(QIODevice::ReadOnly))
            sink = file.readAll();
    }

    SeededRandom random(1);
    const long before = peakKilobytes();
    double copy = 1e9;
    double batch = 1e9;
    // Three rounds, the order of (a) and (b) alternating; each writes into folders of its own
    // each round, so that neither pays for replacing (deleting) the files of the round before.
    for (int round = 0; round < 3; ++round) {
        const auto runCopy = [&] {
            const QString folder = root.filePath(QStringLiteral("copy-%1").arg(round));
            copy = std::min(copy, timeCopy(articles, folder, names));
        };
        const auto runBatch = [&] {
            const QString output = job.outputFolder();
            if (QFileInfo::exists(output))
                QDir().rename(output, root.filePath(QStringLiteral("batch-%1").arg(round)));
            batch = std::min(batch, timeBatch(job, random));
        };
        if (round % 2 == 0) {
            runCopy();
            runBatch();
        } else {
            runBatch();
            runCopy();
        }
    }
    std::printf("articles:            %d (%d listed)\n", count, int(job.fileNames.size()));
    std::printf("(a) plain copy:      %.3f s\n", copy);
    std::printf("(b) batch run core:  %.3f s\n", batch);
    std::printf("ratio (b)/(a):       %.2f\n", batch / copy);
    std::printf("peak memory:         %ld KB (%ld KB before the timed runs)\n", peakKilobytes(),
                before);
    return 0;
}
