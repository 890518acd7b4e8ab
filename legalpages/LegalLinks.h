#pragma once

#include "core/Catalogue.h"
#include "site/PageEdit.h"

#include <QList>
#include <QString>
#include <QStringList>

// The links that go into every page of a site: one per catalogue page that lies in the site's top
// folder as a regular file, or that this run writes (coming, as page file names), in catalogue
// order, titled by the page's display name; "Your Privacy Choices" carries the California opt-out
// icon.
namespace LegalLinks {

QList<PageEdit::LegalLink> inSite(const QList<CatalogueEntry> &catalogue, const QString &siteFolder,
                                  const QStringList &coming);

} // namespace LegalLinks
