#include "cli/ArticlesCommand.h"

#include "bulk/BatchJob.h"
#include "bulk/BatchRun.h"
#include "bulk/BulkData.h"
#include "bulk/ClaimWords.h"
#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "controllib/RandomSource.h"
#include "core/FolderListing.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <optional>

namespace ArticlesCommand {

namespace {

using CommandLine::usageError;

std::atomic_bool g_interrupted = false;

const QString kCommand = QStringLiteral("articles");

struct Options {
    QCommandLineOption benefit{QStringLiteral("benefit"),
                               QStringLiteral("What the product does for the reader: \"This "
                                              "product is for people who need to: TEXT\"."),
                               QStringLiteral("TEXT")};
    QCommandLineOption url{QStringLiteral("url"), QStringLiteral("The (affiliate) link address."),
                           QStringLiteral("URL")};
    QCommandLineOption linkText{QStringLiteral("link-text"),
                                QStringLiteral("The link text, or several separated by commas, "
                                               "one picked at random for each article. Adds a "
                                               "recommendation; needs --benefit and --url."),
                                QStringLiteral("TEXTS")};
    QCommandLineOption noBefore{QStringLiteral("no-before"),
                                QStringLiteral("No recommendation before the article.")};
    QCommandLineOption noAfter{QStringLiteral("no-after"),
                               QStringLiteral("No recommendation at the end of the article.")};
    QCommandLineOption centerBefore{QStringLiteral("center-before"),
                                    QStringLiteral("Centre the recommendation before the "
                                                   "article.")};
    QCommandLineOption centerAfter{QStringLiteral("center-after"),
                                   QStringLiteral("Centre the recommendation after the article.")};
    QCommandLineOption disclaimer{QStringLiteral("disclaimer"),
                                  QStringLiteral("Add this disclaimer to each article, by its "
                                                 "name (\"Affiliate Disclosure\") or file name "
                                                 "(\"affiliate-disclosure.txt\"). Repeat for "
                                                 "more; they keep the catalogue's order."),
                                  QStringLiteral("NAME")};
    QCommandLineOption sponsor{QStringLiteral("sponsor"),
                               QStringLiteral("The sponsor's name, for a disclaimer that names "
                                              "the sponsor (\"Sponsored Content\")."),
                               QStringLiteral("NAME")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Make the random picks repeatable: the same command "
                                           "writes the same bytes."),
                            QStringLiteral("N")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Say what would be written and replaced; write "
                                             "nothing.")};
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("Print the run's log lines.")};
    QCommandLineOption data{QStringLiteral("data"),
                            QStringLiteral("The folder holding templates/ and rwdb.txt (default: "
                                           "the program's own)."),
                            QStringLiteral("DIR")};
    QCommandLineOption list{QStringLiteral("list-disclaimers"),
                            QStringLiteral("List the disclaimers --disclaimer can name.")};
};

int dryRun(BatchRun &run) {
    BatchMessage refusal;
    if (!run.check(&refusal))
        return CommandLine::refused(refusal);
    const QString output = run.job().outputFolder();
    Console::say(QFileInfo(output).isDir()
                     ? QStringLiteral("dry run: would write into %1").arg(output)
                     : QStringLiteral("dry run: would make %1 and write into it").arg(output));
    int failures = 0;
    for (int i = 0; i < run.count(); ++i) {
        const BatchRun::Outcome planned = run.plan(i);
        switch (planned.result) {
        case BatchRun::Result::Written:
            Console::err(QStringLiteral("would write ") + Console::escaped(planned.logLine) +
                         QLatin1Char('\n'));
            break;
        case BatchRun::Result::Skipped:
            Console::err(QStringLiteral("would skip ") + Console::escaped(planned.logLine) +
                         QStringLiteral(" (empty)\n"));
            break;
        case BatchRun::Result::Failed:
            ++failures;
            Console::err(Console::escaped(planned.logLine) + QLatin1Char('\n'));
            break;
        }
    }
    return failures ? CommandLine::SomeFailed : CommandLine::Done;
}

int work(BatchRun &run, bool verbose) {
    BatchMessage refusal;
    if (!run.prepare(&refusal))
        return CommandLine::refused(refusal);
    if (verbose)
        Console::err(BatchRun::firstLogLine(run.job().filesFound) + QLatin1Char('\n'));
    g_interrupted = false;
    const auto previous = std::signal(SIGINT, [](int) { g_interrupted = true; });
    int written = 0, skipped = 0, failures = 0, done = 0;
    const int total = run.count();
    for (; done < total && !g_interrupted; ++done) {
        const BatchRun::Outcome outcome = run.process(done);
        written += outcome.result == BatchRun::Result::Written;
        skipped += outcome.result == BatchRun::Result::Skipped;
        failures += outcome.result == BatchRun::Result::Failed;
        if (outcome.result == BatchRun::Result::Failed || (verbose && !outcome.logLine.isEmpty()))
            Console::err(Console::escaped(outcome.logLine) + QLatin1Char('\n'));
        Console::progress(done + 1, total);
    }
    std::signal(SIGINT, previous);
    Console::clearProgress();
    const bool stopped = done < total;
    if (verbose)
        Console::err((stopped ? BatchRun::stoppedLogLine(done, total) : BatchRun::lastLogLine()) +
                     QLatin1Char('\n'));
    Console::say(BatchRun::summary(written, total, run.outputFolder(), skipped, failures,
                                   stopped ? done : -1));
    if (stopped)
        return CommandLine::Interrupted;
    return failures ? CommandLine::SomeFailed : CommandLine::Done;
}

} // namespace

int run(const QStringList &arguments) {
    Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Adds a product recommendation before and/or after every article (*.txt)\n"
                       "of FOLDER and the chosen disclaimers (after it, or at its top), and\n"
                       "writes the results under the same names into FOLDER/rewritten_files.\n"
                       "The articles themselves are never changed."));
    parser.addOptions({o.benefit, o.url, o.linkText, o.noBefore, o.noAfter, o.centerBefore,
                       o.centerAfter, o.disclaimer, o.sponsor, o.seed, o.dryRun, o.verbose, o.data,
                       o.list});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder of articles."));
    if (const auto ended = CommandLine::parse(
            parser, kCommand, arguments,
            QStringLiteral("Usage: clausewright articles [options] FOLDER\n"
                           "       clausewright articles --list-disclaimers [--data DIR]")))
        return *ended;

    BulkData data;
    data.load(CommandLine::dataFolder(parser.value(o.data)));
    for (const QString &problem : std::as_const(data.problems))
        Console::say(QStringLiteral("warning: ") + problem);
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(o.list)) {
        if (!positional.isEmpty())
            return usageError(kCommand, QStringLiteral("--list-disclaimers takes no folder"));
        return CommandLine::listCatalogue(data.catalogue);
    }
    if (const QString problem =
            CommandLine::folderProblem(positional, QStringLiteral("the folder of articles"));
        !problem.isEmpty())
        return usageError(kCommand, problem);
    const QFileInfo folder(CommandLine::folderPath(positional.first()));
    const bool recommendation = parser.isSet(o.linkText);
    if (recommendation && (!parser.isSet(o.benefit) || !parser.isSet(o.url)))
        return usageError(kCommand, QStringLiteral("--link-text needs --benefit and --url"));
    if (!recommendation && (parser.isSet(o.benefit) || parser.isSet(o.url)))
        return usageError(kCommand,
                          QStringLiteral("--benefit and --url go with --link-text, which adds "
                                         "the recommendation"));
    std::optional<quint32> seed;
    if (parser.isSet(o.seed)) {
        bool ok = false;
        seed = parser.value(o.seed).toUInt(&ok);
        if (!ok)
            return usageError(kCommand, QStringLiteral("--seed takes a whole number from 0 to "
                                                       "4294967295"));
    }

    BatchJob job;
    job.articleFolder = QDir::cleanPath(folder.absoluteFilePath());
    job.fileNames = FolderListing::localNames(job.articleFolder, {QStringLiteral("*.txt")});
    job.filesFound = QString::number(job.fileNames.size());
    job.recommendation.benefit = parser.value(o.benefit);
    job.recommendation.url = parser.value(o.url);
    job.recommendation.linkText = parser.value(o.linkText);
    job.recommendation.begins = !parser.isSet(o.noBefore);
    job.recommendation.ends = !parser.isSet(o.noAfter);
    job.recommendation.center1 = parser.isSet(o.centerBefore);
    job.recommendation.center2 = parser.isSet(o.centerAfter);
    job.phrases = data.phrases;
    job.phraseFiles = data.phraseFiles;
    if (const auto unknown =
            CommandLine::choose(data.catalogue, parser.values(o.disclaimer), job.tickedDisclaimers))
        return usageError(kCommand, QStringLiteral("there is no disclaimer '%1' (see "
                                                   "'clausewright articles --list-disclaimers')")
                                        .arg(*unknown));
    job.sponsor = parser.value(o.sponsor).trimmed();
    if (const auto refusal = job.refusal())
        return CommandLine::refused(*refusal);
    if (job.wantsRecommendation()) {
        const QStringList claims =
            ClaimWords::found(job.recommendation.benefit,
                              ClaimWords::load(CommandLine::dataFolder(parser.value(o.data))));
        if (!claims.isEmpty())
            Console::say(QStringLiteral("warning: ") + ClaimWords::warning(claims));
    }

    SeededRandom random;
    if (seed)
        random.seed(*seed);
    BatchRun run(std::move(job), random);
    return parser.isSet(o.dryRun) ? dryRun(run) : work(run, parser.isSet(o.verbose));
}

} // namespace ArticlesCommand
