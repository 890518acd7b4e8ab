#include "legalpages/SitePlacement.h"

#include "legalpages/LegalLinks.h"
#include "site/ConsentBanner.h"

#include <memory>

namespace SitePlacement {

namespace {

void edit(const QString &siteFolder, const PageEdit::Placement &placement, bool dryRun,
          Outcome &outcome) {
    outcome.summary =
        SiteEditor::run(siteFolder, placement, dryRun, [&](const SiteEditor::Page &page) {
            if (page.failed)
                outcome.said
                    << QStringLiteral("%1 could not be changed: %2.").arg(page.path, page.reason);
            else if (page.outcome == PageEdit::Result::Refused)
                outcome.said << QStringLiteral("%1 is left alone: %2.").arg(page.path, page.reason);
            else if (dryRun && page.outcome == PageEdit::Result::Changed)
                outcome.said << QStringLiteral("would change %1: %2")
                                    .arg(page.path, page.changes.join(QStringLiteral(", ")));
        });
}

} // namespace

Outcome place(const Request &request) {
    Outcome outcome;
    PageEdit::Placement placement;
    placement.consentFolder = ConsentBanner::folderName();
    if (request.links) {
        placement.links = LegalLinks::inSite(request.catalogue, request.siteFolder, request.coming);
        if (placement.links.isEmpty()) {
            outcome.refusal = QStringLiteral("The site %1 has no legal pages to link to yet: "
                                             "write them first.")
                                  .arg(request.siteFolder);
            return outcome;
        }
    }
    if (request.consent) {
        auto services = std::make_shared<ServiceCatalogue>(
            ServiceCatalogue::load(ServiceCatalogue::folderIn(request.dataFolder)));
        const QList<ConsentBanner::Category> categories =
            ConsentBanner::categories(request.facts, *services);
        for (const QString &name : ConsentBanner::fileNames())
            outcome.files << ConsentBanner::folderName() + QLatin1Char('/') + name;
        QString why;
        if (!request.dryRun &&
            !ConsentBanner::install(request.siteFolder,
                                    request.dataFolder + QStringLiteral("/consent"),
                                    ConsentBanner::settings(categories), &why)) {
            outcome.failure =
                QStringLiteral("The consent banner cannot be installed: %1.").arg(why);
            return outcome;
        }
        placement.consent = true;
        placement.matcher = ConsentBanner::matcher(services, categories);
    }
    edit(request.siteFolder, placement, request.dryRun, outcome);
    return outcome;
}

Outcome remove(const QString &siteFolder, bool dryRun) {
    Outcome outcome;
    PageEdit::Placement nothing;
    nothing.consentFolder = ConsentBanner::folderName();
    edit(siteFolder, nothing, dryRun, outcome);
    QString why;
    if (!ConsentBanner::remove(siteFolder, dryRun, &outcome.files, &why))
        outcome.failure = why + QLatin1Char('.');
    return outcome;
}

Facts withPlacement(Facts facts, bool links, const QString &layout, bool consent) {
    facts.set(QStringLiteral("place.links"), links);
    facts.set(QStringLiteral("place.layout"), layout);
    facts.set(QStringLiteral("place.consent"), consent);
    // The banner's library is a service of the site's pages while it is there, as a scan finds.
    const QString consentServices = QStringLiteral("services.consent");
    const QString library = ConsentBanner::serviceId();
    QStringList services = facts.list(consentServices);
    if (consent) {
        facts.set(QStringLiteral("consent.tool"), QStringLiteral("clausewright"));
        facts.set(QStringLiteral("consent.honours_gpc"), true);
        if (!services.contains(library))
            facts.set(consentServices, services << library);
    } else if (facts.text(QStringLiteral("consent.tool")) == QLatin1String("clausewright")) {
        facts.set(QStringLiteral("consent.tool"), QStringLiteral("none"));
        facts.set(QStringLiteral("consent.honours_gpc"), false);
        services.removeAll(library);
        facts.set(consentServices, services);
    }
    return facts;
}

} // namespace SitePlacement
