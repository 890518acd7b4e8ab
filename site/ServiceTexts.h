#pragma once

#include "site/Facts.h"
#include "site/PageLanguage.h"
#include "site/ServiceCatalogue.h"

#include <QList>
#include <QString>

#include <optional>

// What the pages say about the services a site uses, from the catalogue's facts in our own words:
// the HTML of "[list CATEGORY]" and "[table processing]" / "[table cookies]". Only services the
// facts name and the catalogue describes are stated; a category without any gives no text, and a
// table without any row gives no table.
namespace ServiceTexts {

// The services of services.<category>, in the facts' order (ids the catalogue lacks left out).
QList<const Service *> used(const Facts &facts, const ServiceCatalogue &catalogue,
                            const QString &category);

QString list(const Facts &facts, const ServiceCatalogue &catalogue, const QString &category);
// Nothing when there is no table of that name.
std::optional<QString> table(const Facts &facts, const ServiceCatalogue &catalogue,
                             const QString &name);

// The catalogue's answers for the template language (categoryOf, sellsInCalifornia, list,
// table); the caller fills in world.facts, the pages and the draft flag. catalogue and facts must
// outlive the context.
PageLanguage::Context context(const ServiceCatalogue &catalogue, const Facts &facts);

} // namespace ServiceTexts
