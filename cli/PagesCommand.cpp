#include "cli/PagesCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/FactsCommand.h"
#include "core/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"
#include "site/FactCheck.h"
#include "site/FactQuestions.h"
#include "site/SiteScan.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace PagesCommand {

namespace {

using CommandLine::usageError;

const QString kCommand = QStringLiteral("pages");

struct Options {
    QCommandLineOption page{QStringLiteral("page"),
                            QStringLiteral("Write this page, by its name (\"Privacy Policy\") or "
                                           "file name (\"privacy-policy.txt\"). Repeat for more; "
                                           "they keep the catalogue's order."),
                            QStringLiteral("NAME")};
    QCommandLineOption all{QStringLiteral("all"), QStringLiteral("Write every page.")};
    QCommandLineOption siteName{QStringLiteral("site-name"), QStringLiteral("The site's name."),
                                QStringLiteral("TEXT")};
    QCommandLineOption siteUrl{QStringLiteral("site-url"), QStringLiteral("The site's address."),
                               QStringLiteral("URL")};
    QCommandLineOption email{QStringLiteral("email"),
                             QStringLiteral("The e-mail address the pages give."),
                             QStringLiteral("ADDRESS")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Say what would be written and replaced, print the "
                                             "link code; write nothing.")};
    QCommandLineOption replaceEdited{QStringLiteral("replace-edited"),
                                     QStringLiteral("Also replace pages edited since they were "
                                                    "written, and pages this program did not "
                                                    "write. Without it they are kept and named.")};
    QCommandLineOption data{QStringLiteral("data"),
                            QStringLiteral("The folder holding templates/ (default: the "
                                           "program's own)."),
                            QStringLiteral("DIR")};
    QCommandLineOption list{QStringLiteral("list-pages"),
                            QStringLiteral("List the pages --page can name.")};
    QCommandLineOption facts{QStringLiteral("facts"),
                             QStringLiteral("The site facts file the pages state (see "
                                            "'clausewright facts'); it gives the site's name, "
                                            "address and e-mail too, which the options above "
                                            "override."),
                             QStringLiteral("FILE")};
    QCommandLineOption draft{QStringLiteral("draft"),
                             QStringLiteral("Write the pages even where a fact is open, showing "
                                            "\"[CHECK: question]\" there; for review only.")};
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("Also say each page's review notes, and each page "
                                              "kept because only its date would change.")};
};

// Each open fact the pages need, "KEY: question", on standard error.
void sayMissing(const PageGenerator &generator, const QString &lead) {
    Console::say(lead);
    for (const QString &key : generator.missingFacts())
        Console::err(FactQuestions::named(key) + QLatin1Char('\n'));
}

QString planned(const PageGenerator::PlannedPage &page, bool replaceEdited) {
    using Decision = PageReplacement::Decision;
    const QString path = Console::escaped(page.path);
    if (!page.refusal.isEmpty())
        return QStringLiteral("would not write %1: %2").arg(path, page.refusal);
    switch (page.decision) {
    case Decision::Write:
        break;
    case Decision::Untouched:
        return QStringLiteral("would leave %1 as it is (the same page)").arg(path);
    case Decision::Replace:
        return QStringLiteral("would replace ") + path;
    case Decision::Edited:
    case Decision::Foreign:
        return (replaceEdited ? QStringLiteral("would replace %1 (%2)")
                              : QStringLiteral("would keep %1: %2 (--replace-edited replaces it)"))
            .arg(path, PageGenerator::keptReason(page.decision));
    }
    return QStringLiteral("would write ") + path;
}

int dryRun(const PageGenerator &generator, bool replaceEdited) {
    QString links;
    bool trouble = false;
    for (const PageGenerator::PlannedPage &page : generator.plan()) {
        Console::err(planned(page, replaceEdited) + QLatin1Char('\n'));
        trouble = trouble || !page.refusal.isEmpty() ||
                  (!replaceEdited && PageReplacement::needsConsent(page.decision));
        if (page.refusal.isEmpty())
            links = LinkCode::withLink(links, page.names);
    }
    if (!links.isEmpty())
        Console::out(LinkCode::finished(links) + QLatin1Char('\n'));
    return trouble ? CommandLine::SomeFailed : CommandLine::Done;
}

int work(PageGenerator &generator, bool replaceEdited, bool verbose) {
    generator.setReplaceQuestion(
        [replaceEdited](const QString &, PageReplacement::Decision, int) { return replaceEdited; });
    if (!generator.missingFacts().isEmpty())
        sayMissing(generator, QStringLiteral("drafts: these facts are open, the pages show "
                                             "\"[CHECK: question]\" for them:"));
    for (int index = 0; index < generator.count(); ++index) {
        PageGenerator::Page page;
        if (!generator.makePage(index, &page))
            continue;
        if (!page.applies) {
            Console::say(QStringLiteral("%1 not written: it does not apply to this site's facts.")
                             .arg(page.names.fileName));
            continue;
        }
        if (!verbose)
            continue;
        if (page.unchanged)
            Console::say(
                QStringLiteral("%1 kept: only its date would change.").arg(page.names.fileName));
        for (const QString &note : std::as_const(page.review))
            Console::err(page.names.fileName + QStringLiteral(": review: ") + note +
                         QLatin1Char('\n'));
    }
    for (const PageGenerator::Failure &failure : generator.failures())
        Console::say(
            QStringLiteral("%1 could not be made: %2.")
                .arg(Console::escaped(failure.fileName), Console::escaped(failure.reason)));
    for (const PageGenerator::Failure &kept : generator.kept())
        Console::say(QStringLiteral("%1 was kept as it is: %2. --replace-edited replaces it.")
                         .arg(Console::escaped(kept.fileName), kept.reason));
    if (!generator.linkCode().isEmpty())
        Console::out(generator.linkCode() + QLatin1Char('\n'));
    Console::say(QStringLiteral("%1 of %2 pages written into %3.")
                     .arg(generator.written().size())
                     .arg(generator.count())
                     .arg(Console::escaped(generator.job().siteFolder)));
    return generator.failures().isEmpty() && generator.kept().isEmpty() ? CommandLine::Done
                                                                        : CommandLine::SomeFailed;
}

} // namespace

int run(const QStringList &arguments) {
    Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes one filled HTML page per chosen legal page into SITE_FOLDER and\n"
                       "prints the line of link code for the site's home page on standard\n"
                       "output. A page of the same name there is replaced when this program wrote\n"
                       "it and it was not edited since; otherwise it is kept and named, unless\n"
                       "--replace-edited is given. A link in a page's place is never written\n"
                       "through."));
    parser.addOptions({o.page, o.all, o.siteName, o.siteUrl, o.email, o.replaceEdited, o.dryRun,
                       o.data, o.list, o.facts, o.draft, o.verbose});
    parser.addPositionalArgument(QStringLiteral("SITE_FOLDER"),
                                 QStringLiteral("The folder of the web site."));
    if (const auto ended = CommandLine::parse(
            parser, kCommand, arguments,
            QStringLiteral("Usage: clausewright pages [options] SITE_FOLDER (--page NAME... | "
                           "--all)\n"
                           "       clausewright pages --list-pages [--data DIR]")))
        return *ended;

    const QString pagesFolder =
        CommandLine::dataFolder(parser.value(o.data)) + QStringLiteral("/templates/pages");
    QList<CatalogueEntry> catalogue;
    QString reason;
    if (!Catalogue::list(pagesFolder, catalogue, &reason)) {
        Console::say(QStringLiteral("the folder of legal page templates %1 cannot be read (%2).")
                         .arg(pagesFolder, reason));
        return CommandLine::Refused;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(o.list)) {
        if (!positional.isEmpty())
            return usageError(kCommand, QStringLiteral("--list-pages takes no folder"));
        return CommandLine::listCatalogue(catalogue);
    }
    if (const QString problem =
            CommandLine::folderProblem(positional, QStringLiteral("the site's folder"));
        !problem.isEmpty())
        return usageError(kCommand, problem);
    const QFileInfo site(CommandLine::folderPath(positional.first()));
    if (parser.isSet(o.all) && parser.isSet(o.page))
        return usageError(kCommand, QStringLiteral("--page and --all do not go together"));

    QList<CatalogueEntry> pages;
    if (parser.isSet(o.all))
        pages = catalogue;
    else if (const auto unknown = CommandLine::choose(catalogue, parser.values(o.page), pages))
        return usageError(kCommand, QStringLiteral("there is no page '%1' (see 'clausewright pages "
                                                   "--list-pages')")
                                        .arg(*unknown));
    Facts facts;
    if (parser.isSet(o.facts) && !FactsCommand::load(parser.value(o.facts), facts))
        return CommandLine::Refused;
    // An option given overrides the facts file; the facts file fills what is not given.
    const auto given = [&](const QCommandLineOption &option, const char *key) {
        return parser.isSet(option) ? parser.value(option) : facts.text(QString::fromLatin1(key));
    };
    const ServiceCatalogue services = ServiceCatalogue::load(
        ServiceCatalogue::folderIn(CommandLine::dataFolder(parser.value(o.data))));
    if (parser.isSet(o.facts)) {
        for (const QString &error : services.errors())
            Console::say(QStringLiteral("warning: ") + error);
        const SiteScanResult scan = SiteScan::scan(site.absoluteFilePath(), services);
        const QList<FactCheck::Contradiction> contradictions =
            FactCheck::contradictions(facts, scan, services);
        for (const FactCheck::Contradiction &c : contradictions)
            Console::say(c.text + QLatin1Char('.'));
        if (!contradictions.isEmpty()) {
            Console::say(QStringLiteral("the facts contradict the site, so no page was written."));
            return CommandLine::Refused;
        }
    }
    PageGenerator generator({pagesFolder,
                             QDir::cleanPath(site.absoluteFilePath()),
                             pages,
                             {given(o.siteName, "site.name"), given(o.siteUrl, "site.url"),
                              given(o.email, "site.email")},
                             QDate::currentDate()});
    generator.useFacts(facts, parser.isSet(o.draft));
    if (parser.isSet(o.facts))
        generator.treatSiteFieldsAsFacts();
    generator.useCatalogue(services);
    UserMessage refusal;
    if (!generator.prepare(&refusal)) {
        if (generator.templateFaults().isEmpty() && !generator.missingFacts().isEmpty()) {
            sayMissing(generator, QStringLiteral("these facts are open, so no page was written "
                                                 "(answer them in the facts file, or write "
                                                 "--draft pages):"));
            return CommandLine::Refused;
        }
        return CommandLine::refused(refusal);
    }
    const bool replaceEdited = parser.isSet(o.replaceEdited);
    return parser.isSet(o.dryRun) ? dryRun(generator, replaceEdited)
                                  : work(generator, replaceEdited, parser.isSet(o.verbose));
}

} // namespace PagesCommand
