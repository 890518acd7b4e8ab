#include "cli/PagesCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/FactsCommand.h"
#include "cli/SiteCommand.h"
#include "core/Catalogue.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageGenerator.h"
#include "legalpages/SitePlacement.h"
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
                                            "override, and what goes into the site's pages "
                                            "(place.*), which the options below set."),
                             QStringLiteral("FILE")};
    QCommandLineOption draft{QStringLiteral("draft"),
                             QStringLiteral("Write the pages even where a fact is open, showing "
                                            "\"[CHECK: question]\" there; for review only.")};
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("Also say each page's review notes, and each page "
                                              "kept because only its date would change.")};
    QCommandLineOption placeLinks{QStringLiteral("place-links"),
                                  QStringLiteral("Put links to the site's legal pages into every "
                                                 "HTML page of the site (in its <footer>, else "
                                                 "before </body>).")};
    QCommandLineOption layout{QStringLiteral("layout"),
                              QStringLiteral("Give the pages the look of this page of the site "
                                             "(in its top folder, e.g. index.html): everything "
                                             "outside its <main> stays, the page's text goes in."),
                              QStringLiteral("PAGE")};
    QCommandLineOption layoutElement{QStringLiteral("layout-element"),
                                     QStringLiteral("With --layout: the element of that page that "
                                                    "holds its own text, by tag name or #id "
                                                    "(default: main)."),
                                     QStringLiteral("ELEMENT")};
    QCommandLineOption consent{QStringLiteral("consent"),
                               QStringLiteral("Install a consent banner into the site, with the "
                                              "services of the facts file (--facts) waiting for "
                                              "consent, and a \"Cookie settings\" link in every "
                                              "page.")};
    QCommandLineOption remove{QStringLiteral("remove"),
                              QStringLiteral("Take out of the site's pages everything the program "
                                             "put there; the legal pages stay.")};
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

// What a run would write; coming receives the pages that would be in the site after it.
int dryRun(const PageGenerator &generator, bool replaceEdited, QStringList *coming) {
    QString links;
    bool trouble = false;
    for (const PageGenerator::PlannedPage &page : generator.plan()) {
        Console::err(planned(page, replaceEdited) + QLatin1Char('\n'));
        trouble = trouble || !page.refusal.isEmpty() ||
                  (!replaceEdited && PageReplacement::needsConsent(page.decision));
        if (page.refusal.isEmpty()) {
            coming->append(page.names.fileName);
            links = LinkCode::withLink(links, page.names);
        }
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
    parser.addOptions({o.page, o.all, o.siteName, o.siteUrl, o.email, o.replaceEdited, o.placeLinks,
                       o.layout, o.layoutElement, o.consent, o.remove, o.dryRun, o.data, o.list,
                       o.facts, o.draft, o.verbose});
    parser.addPositionalArgument(QStringLiteral("SITE_FOLDER"),
                                 QStringLiteral("The folder of the web site."));
    if (const auto ended = CommandLine::parse(
            parser, kCommand, arguments,
            QStringLiteral("Usage: clausewright pages [options] SITE_FOLDER (--page NAME... | "
                           "--all)\n"
                           "       clausewright pages [--facts FILE] SITE_FOLDER (--place-links | "
                           "--consent | --remove)\n"
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
    const QString siteFolder = QDir::cleanPath(site.absoluteFilePath());
    const bool dry = parser.isSet(o.dryRun);
    Facts facts;
    if (parser.isSet(o.facts) && !FactsCommand::load(parser.value(o.facts), facts))
        return CommandLine::Refused;
    const bool writesPages = parser.isSet(o.all) || parser.isSet(o.page);
    if (parser.isSet(o.remove)) {
        if (writesPages || parser.isSet(o.placeLinks) || parser.isSet(o.layout) ||
            parser.isSet(o.consent))
            return usageError(kCommand,
                              QStringLiteral("--remove goes alone (with --dry-run if you like)"));
        // The facts file no longer asks for links or a banner; the pages' look stays.
        SiteCommand::Placing none = SiteCommand::Placing::from(facts);
        none.links = none.consent = false;
        if (parser.isSet(o.facts) && !dry &&
            !SiteCommand::record(parser.value(o.facts), facts, none))
            return CommandLine::Refused;
        return SiteCommand::remove(siteFolder, dry);
    }
    // What the command line says, else what the facts file recorded.
    SiteCommand::Placing placing = SiteCommand::Placing::from(facts);
    if (parser.isSet(o.placeLinks))
        placing.links = true;
    if (parser.isSet(o.layout))
        placing.layout = parser.value(o.layout);
    if (parser.isSet(o.consent))
        placing.consent = true;
    if (parser.isSet(o.consent) && !parser.isSet(o.facts))
        return usageError(kCommand, QStringLiteral("--consent needs the site's facts (--facts "
                                                   "FILE): they say which services wait"));
    if (parser.isSet(o.layout) && !writesPages)
        return usageError(kCommand, QStringLiteral("--layout needs the pages to write (--page or "
                                                   "--all)"));
    if (parser.isSet(o.layoutElement) && !parser.isSet(o.layout))
        return usageError(kCommand, QStringLiteral("--layout-element needs --layout"));
    if (parser.isSet(o.facts) && !dry &&
        (parser.isSet(o.placeLinks) || parser.isSet(o.layout) || placing.consent) &&
        !SiteCommand::record(parser.value(o.facts), facts, placing))
        return CommandLine::Refused;
    // The pages of this run state the facts as they will be once the banner is in place.
    if (parser.isSet(o.facts))
        facts = SitePlacement::withPlacement(facts, placing.links, placing.layout, placing.consent);
    if (!writesPages && placing.any())
        return SiteCommand::place(siteFolder, catalogue, {}, placing, dry, facts,
                                  CommandLine::dataFolder(parser.value(o.data)));

    QList<CatalogueEntry> pages;
    if (parser.isSet(o.all))
        pages = catalogue;
    else if (const auto unknown = CommandLine::choose(catalogue, parser.values(o.page), pages))
        return usageError(kCommand, QStringLiteral("there is no page '%1' (see 'clausewright pages "
                                                   "--list-pages')")
                                        .arg(*unknown));
    std::shared_ptr<const PageLayout> layout;
    if (!placing.layout.isEmpty()) {
        QString why;
        std::optional<PageLayout> loaded =
            PageLayout::load(siteFolder, placing.layout, parser.value(o.layoutElement), &why);
        if (!loaded) {
            Console::say(why + QLatin1Char('.'));
            return CommandLine::Refused;
        }
        layout = std::make_shared<const PageLayout>(std::move(*loaded));
    }
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
                             QDate::currentDate(),
                             layout});
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
    QStringList coming;
    const bool replaceEdited = parser.isSet(o.replaceEdited);
    const int status = dry ? dryRun(generator, replaceEdited, &coming)
                           : work(generator, replaceEdited, parser.isSet(o.verbose));
    if (!dry)
        coming = generator.written();
    if (!placing.any())
        return status;
    return std::max(status, SiteCommand::place(siteFolder, catalogue, coming, placing, dry, facts,
                                               CommandLine::dataFolder(parser.value(o.data))));
}

} // namespace PagesCommand
