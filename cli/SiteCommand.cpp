#include "cli/SiteCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "controllib/QkFile.h"
#include "legalpages/LegalLinks.h"
#include "site/ConsentBanner.h"
#include "site/FactsFile.h"
#include "site/SiteEditor.h"

namespace SiteCommand {

namespace {

const QString kConsentFolder = ConsentBanner::folderName();

int edit(const QString &siteFolder, const PageEdit::Placement &placement, bool dryRun,
         const QString &done) {
    const SiteEditor::Summary summary =
        SiteEditor::run(siteFolder, placement, dryRun, [&](const SiteEditor::Page &page) {
            if (page.failed)
                Console::say(
                    QStringLiteral("%1 could not be changed: %2.").arg(page.path, page.reason));
            else if (page.outcome == PageEdit::Result::Refused)
                Console::say(QStringLiteral("%1 is left alone: %2.").arg(page.path, page.reason));
            else if (dryRun && page.outcome == PageEdit::Result::Changed)
                Console::err(QStringLiteral("would change %1: %2\n")
                                 .arg(page.path, page.changes.join(QStringLiteral(", "))));
        });
    Console::say(QStringLiteral("%1 of %2 pages of %3 %4 (%5 unchanged, %6 left alone, %7 "
                                "failed).")
                     .arg(summary.changed)
                     .arg(summary.changed + summary.unchanged + summary.refused + summary.failed)
                     .arg(siteFolder, dryRun ? QStringLiteral("would change") : done)
                     .arg(summary.unchanged)
                     .arg(summary.refused)
                     .arg(summary.failed));
    return summary.failed ? CommandLine::SomeFailed : CommandLine::Done;
}

} // namespace

Placing Placing::from(const Facts &facts) {
    Placing placing;
    placing.links = facts.flag(QStringLiteral("place.links"));
    placing.layout = facts.text(QStringLiteral("place.layout"));
    placing.consent = facts.flag(QStringLiteral("place.consent"));
    return placing;
}

bool record(const QString &path, Facts facts, const Placing &placing) {
    facts.set(QStringLiteral("place.links"), placing.links);
    facts.set(QStringLiteral("place.layout"), placing.layout);
    facts.set(QStringLiteral("place.consent"), placing.consent);
    // The banner the program installs is the site's consent tool while it is there.
    if (placing.consent) {
        facts.set(QStringLiteral("consent.tool"), QStringLiteral("clausewright"));
        facts.set(QStringLiteral("consent.honours_gpc"), true);
    } else if (facts.text(QStringLiteral("consent.tool")) == QLatin1String("clausewright")) {
        facts.set(QStringLiteral("consent.tool"), QStringLiteral("none"));
        facts.set(QStringLiteral("consent.honours_gpc"), false);
    }
    QString reason;
    if (QkFile::writeBytes(FactsFile::write(facts).toUtf8(), path, &reason))
        return true;
    Console::say(QStringLiteral("the facts file %1 cannot be written (%2).").arg(path, reason));
    return false;
}

int place(const QString &siteFolder, const QList<CatalogueEntry> &catalogue,
          const QStringList &coming, const Placing &placing, bool dryRun, const Facts &facts,
          const QString &dataFolder) {
    PageEdit::Placement placement;
    placement.consentFolder = kConsentFolder;
    if (placing.links) {
        placement.links = LegalLinks::inSite(catalogue, siteFolder, coming);
        if (placement.links.isEmpty()) {
            Console::say(QStringLiteral("the site %1 has no legal pages to link to yet: write "
                                        "them with --page or --all.")
                             .arg(siteFolder));
            return CommandLine::Refused;
        }
    }
    if (placing.consent) {
        auto services = std::make_shared<ServiceCatalogue>(
            ServiceCatalogue::load(ServiceCatalogue::folderIn(dataFolder)));
        const QList<ConsentBanner::Category> categories =
            ConsentBanner::categories(facts, *services);
        QString why;
        if (dryRun)
            Console::err(QStringLiteral("would write %1/: %2\n")
                             .arg(kConsentFolder, ConsentBanner::fileNames().join(", ")));
        else if (!ConsentBanner::install(siteFolder, dataFolder + QStringLiteral("/consent"),
                                         ConsentBanner::settings(categories), &why)) {
            Console::say(QStringLiteral("the consent banner cannot be installed: %1.").arg(why));
            return CommandLine::SomeFailed;
        }
        placement.consent = true;
        placement.matcher = ConsentBanner::matcher(services, categories);
    }
    return edit(siteFolder, placement, dryRun,
                placing.consent ? QStringLiteral("now wait for consent")
                                : QStringLiteral("now link to the legal pages"));
}

int remove(const QString &siteFolder, bool dryRun) {
    PageEdit::Placement nothing;
    nothing.consentFolder = kConsentFolder;
    const int status = edit(siteFolder, nothing, dryRun, QStringLiteral("are back as they were"));
    QStringList removed;
    QString why;
    const bool ok = ConsentBanner::remove(siteFolder, dryRun, &removed, &why);
    for (const QString &name : std::as_const(removed))
        Console::err((dryRun ? QStringLiteral("would remove ") : QStringLiteral("removed ")) +
                     name + QLatin1Char('\n'));
    if (!ok) {
        Console::say(why + QLatin1Char('.'));
        return CommandLine::SomeFailed;
    }
    return status;
}

} // namespace SiteCommand
