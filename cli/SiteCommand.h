#pragma once

#include "core/Catalogue.h"
#include "site/Facts.h"

#include <QList>
#include <QString>
#include <QStringList>

// The part of "clausewright pages" that changes the site's own pages: links in every page, and
// their removal. Says what it did (or, in a dry run, would do) on standard error; returns the
// exit status.
namespace SiteCommand {

// What goes into the site's pages: the facts file's place.* keys.
struct Placing {
    bool links = false;
    QString layout; // the page whose look the legal pages take; empty for none
    bool consent = false;
    // Whether the site's own pages change (the layout only changes the legal pages).
    bool any() const { return links || consent; }
    static Placing from(const Facts &facts);
};

// Writes placing into the facts file at path (facts as read from it), so that the next run with
// that file alone (a site's CI) does the same. Says why on standard error when it cannot.
bool record(const QString &path, Facts facts, const Placing &placing);

// coming: the page files this run writes (or would write), linked even before they exist.
// The consent banner takes its categories from facts and its files from dataFolder.
int place(const QString &siteFolder, const QList<CatalogueEntry> &catalogue,
          const QStringList &coming, const Placing &placing, bool dryRun, const Facts &facts,
          const QString &dataFolder);
// Takes the program's insertions out of every page, and the consent banner's files away.
int remove(const QString &siteFolder, bool dryRun);

} // namespace SiteCommand
