#pragma once

#include "core/Catalogue.h"
#include "site/Facts.h"
#include "site/SiteEditor.h"

#include <QString>
#include <QStringList>

// What goes into the site's own pages, for the window and the command line alike: the links to the
// legal pages in every page and the consent banner (the facts' place.links and place.consent),
// and their removal. The legal pages' look (place.layout) is the page generator's.
namespace SitePlacement {

struct Request {
    QString siteFolder;
    QList<CatalogueEntry> catalogue; // the legal pages the program knows
    QStringList coming;              // page files this run writes (or would), linked already
    bool links = false;
    bool consent = false;
    Facts facts;        // the services that wait for consent
    QString dataFolder; // holds templates/services and consent/
    bool dryRun = false;
};

struct Outcome {
    SiteEditor::Summary summary;
    QStringList said;  // one line per page named (refused, failed or, in a dry run, changed)
    QString refusal;   // nothing was done, and why
    QString failure;   // the banner's files could not be written or removed
    QStringList files; // the banner's files written or removed (or that would be)
    bool failed() const { return !refusal.isEmpty() || !failure.isEmpty() || summary.failed > 0; }
};

Outcome place(const Request &request);
Outcome remove(const QString &siteFolder, bool dryRun);

// The facts with place.* as asked; the banner the program installs is the site's consent tool
// while it is there.
Facts withPlacement(Facts facts, bool links, const QString &layout, bool consent);

} // namespace SitePlacement
