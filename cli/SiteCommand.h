#pragma once

#include "core/Catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

// The part of "clausewright pages" that changes the site's own pages: links in every page, and
// their removal. Says what it did (or, in a dry run, would do) on standard error; returns the
// exit status.
namespace SiteCommand {

struct Placing {
    bool links = false;
    bool any() const { return links; }
};

// coming: the page files this run writes (or would write), linked even before they exist.
int place(const QString &siteFolder, const QList<CatalogueEntry> &catalogue,
          const QStringList &coming, const Placing &placing, bool dryRun);
int remove(const QString &siteFolder, bool dryRun);

} // namespace SiteCommand
