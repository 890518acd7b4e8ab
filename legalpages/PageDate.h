#pragma once

#include <QByteArray>
#include <QString>

// A page keeps the date of its last real change: a page already in the site that differs from the
// one about to be written only where the new one shows its date (each date written as
// PageFormat::dateText writes one, "December 6, 2026") is left as it is, so a rerun changes
// nothing.
namespace PageDate {

// True when onDisk is fresh with every occurrence of dateText replaced by some date of the same
// form (the same bytes count too). Both are a page's bytes as written.
bool differsOnlyInDate(const QByteArray &onDisk, const QByteArray &fresh, const QString &dateText);

} // namespace PageDate
