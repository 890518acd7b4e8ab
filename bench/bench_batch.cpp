// Times a batch run against copying the same folder with `cp -r`.
//
//   cw_bench [N] [folder] [rounds]   N articles (default 10000) made inside folder (default: the
//                                    system's temporary folder); rounds timed (default 5)
//   cw_bench --large MB [folder]     the peak memory of a run over one article of MB megabytes
//
// The articles are about 4 KB (every 50th empty, every 20th about 40 KB). After one warming round,
// each round times, in alternating order: `cp -r` of the article folder into a new folder; the
// batch run's core (listing the folder, then writing every article with a recommendation before
// and after and three disclaimers) into a new output folder; and the same run again over the
// outputs it just wrote; and, for comparison, a bare loop that reads and writes each article. It
// prints the ratio of each run to the copy of the same round, the
// smallest and the median over the rounds, and the peak memory.

#include "bulk/BatchJob.h"
#include "bulk/BatchRun.h"
#include "controllib/RandomSource.h"
#include "core/Catalogue.h"
#include "core/FolderListing.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QByteArray article(int i, qsizetype size = 0) {
    if (size == 0 && i % 50 == 7)
        return QByteArray();
    const QByteArray paragraph =
        "Trading currencies takes patience. Article " + QByteArray::number(i) +
        " explains how a small account grows with careful risk management, a written plan and "
        "honest records of every trade.\r\n\r\n";
    if (size == 0)
        size = i % 20 == 3 ? 40000 : 4000;
    return paragraph.repeated(size / paragraph.size() + 1).left(size);
}

// `cp -r from to`, timed from start to exit.
double timeCp(const QString &from, const QString &to) {
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        execlp("cp", "cp", "-r", QFile::encodeName(from).constData(),
               QFile::encodeName(to).constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "cp -r failed\n");
        std::exit(1);
    }
    return timer.nsecsElapsed() / 1e9;
}

// A bare loop: each article read whole and written under the same name into a new folder.
double timeLoop(const QString &from, const QString &to) {
    QElapsedTimer timer;
    timer.start();
    QDir().mkdir(to);
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (const QByteArray &name : FolderListing::localNames(from, {QStringLiteral("*.txt")})) {
        const int in = ::open((source + '/' + name).constData(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = in >= 0 ? ::read(in, buffer.data(), size_t(buffer.size())) : -1;
        ::close(in);
        const int out = ::open((target + '/' + name).constData(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (got < 0 || out < 0 || ::write(out, buffer.constData(), size_t(got)) != got ||
            ::close(out) != 0) {
            std::fprintf(stderr, "copy failed: %s\n", name.constData());
            std::exit(1);
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

// The batch run's core as the window drives it: the folder is listed, then every article written.
double timeBatch(BatchJob job, RandomSource &random) {
    QElapsedTimer timer;
    timer.start();
    job.fileNames = FolderListing::localNames(job.articleFolder, {QStringLiteral("*.txt")});
    job.filesFound = QString::number(job.fileNames.size());
    BatchRun run(std::move(job), random);
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

BatchJob jobFor(const QString &articles, const QString &snippets) {
    BatchJob job;
    job.articleFolder = articles;
    job.recommendation = {QStringLiteral("Make Money with Forex"),
                          QStringLiteral("https://shop.example/robot?ref=42"),
                          QStringLiteral("Awesome Trading Robot,Recommended Trading Robot"),
                          true,
                          true,
                          true,
                          false};
    job.phrases = {{"If you want to", "If you are ready to", "If you have always wanted to"},
                   {"Do you want to", "Are you ready to", "Would you like to"},
                   {"Take a look at this tool:", "See the details here:", "Have a look:"}};
    QDir().mkpath(snippets);
    for (const char *name : {"affiliate-disclosure", "not-professional-advice", "earnings"}) {
        const QString path = snippets + '/' + QString::fromLatin1(name) + ".txt";
        writeFile(path, QByteArray("Disclaimer: ")
                            .append(name)
                            .append(". Results vary; nothing here is advice.")
                            .repeated(4));
        job.tickedDisclaimers.append({Catalogue::displayName(QFileInfo(path).fileName()), path});
    }
    return job;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int large(int megabytes, const QString &folder) {
    QTemporaryDir root(folder + "/cw_bench-XXXXXX");
    const QString articles = root.filePath("articles");
    QDir().mkpath(articles);
    // Written a megabyte at a time, so that the memory measured is the run's.
    const qsizetype size = qsizetype(megabytes) << 20;
    {
        QFile file(articles + "/large.txt");
        const QByteArray chunk = article(1, 1 << 20);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < megabytes; ++i)
            file.write(chunk);
    }
    SeededRandom random(1);
    const long before = peakKilobytes();
    const double seconds = timeBatch(jobFor(articles, root.filePath("snippets")), random);
    const long peak = peakKilobytes();
    std::printf("one article of %d MB: %.3f s, peak memory %ld KB (%ld KB before the run): "
                "%.2f times the article's size\n",
                megabytes, seconds, peak, before, double(peak - before) * 1024 / double(size));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 2 && QByteArray(argv[1]) == "--large")
        return large(std::atoi(argv[2]),
                     argc > 3 ? QString::fromLocal8Bit(argv[3]) : QDir::tempPath());
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    if (count < 1 || rounds < 1) {
        std::fprintf(stderr, "usage: cw_bench [N] [folder] [rounds] | cw_bench --large MB "
                             "[folder]\n");
        return 2;
    }
    QTemporaryDir root(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/cw_bench-XXXXXX"
                                : QDir::tempPath() + "/cw_bench-XXXXXX");
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const QString articles = root.filePath("articles");
    QDir().mkpath(articles);
    for (int i = 0; i < count; ++i)
        writeFile(articles + QStringLiteral("/article-%1.txt").arg(i, 6, 10, QLatin1Char('0')),
                  article(i));
    const BatchJob job = jobFor(articles, root.filePath("snippets"));
    const QString output = job.outputFolder();

    SeededRandom random(1);
    std::vector<double> copies, loops, fresh, reruns;
    // Round 0 warms the caches and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        const QString copy = root.filePath(QStringLiteral("copy-%1").arg(round));
        const QString moved = root.filePath(QStringLiteral("batch-%1").arg(round));
        const QString looped = root.filePath(QStringLiteral("loop-%1").arg(round));
        double c = 0, l = 0, n = 0, r = 0;
        const auto runCopy = [&] {
            c = timeCp(articles, copy);
            l = timeLoop(articles, looped);
        };
        const auto runBatch = [&] {
            n = timeBatch(job, random);
            r = timeBatch(job, random);
            QDir().rename(output, moved); // the next round writes a new output folder again
        };
        if (round % 2 == 0) {
            runCopy();
            runBatch();
        } else {
            runBatch();
            runCopy();
        }
        QDir(copy).removeRecursively();
        QDir(looped).removeRecursively();
        QDir(moved).removeRecursively();
        if (round == 0)
            continue;
        copies.push_back(c);
        loops.push_back(l / c);
        fresh.push_back(n / c);
        reruns.push_back(r / c);
    }
    std::printf("articles:                     %d, %d rounds\n", count, rounds);
    std::printf("cp -r:                        %.3f s (median)\n", median(copies));
    std::printf("bare read+write loop / cp -r:  min %.2f, median %.2f\n",
                *std::min_element(loops.begin(), loops.end()), median(loops));
    std::printf("run into a new folder / cp -r: min %.2f, median %.2f\n",
                *std::min_element(fresh.begin(), fresh.end()), median(fresh));
    std::printf("run over its outputs / cp -r:  min %.2f, median %.2f\n",
                *std::min_element(reruns.begin(), reruns.end()), median(reruns));
    std::printf("peak memory:                  %ld KB\n", peakKilobytes());
    return 0;
}
