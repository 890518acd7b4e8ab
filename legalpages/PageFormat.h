#pragma once

#include "legalpages/SiteFacts.h"

#include <QDate>
#include <QString>

// How a legal page is filled in. The HTML page template gets, in this order: every "#TITLE#" the
// page title, every "#CONTENT#" the catalogue text, every "[sitename]", "[siteurl]" and "[email]"
// the site's facts, and last every "[date]" the day the page was made. Each step works on the
// result of the one before, so site placeholders inside the catalogue text are filled too, while
// a "#TITLE#" inside it stays as it is. Nothing else changes: no escaping, no change of line
// breaks.
namespace PageFormat {

// "December 6, 2026", in English whatever the user's locale.
QString dateText(const QDate &date);

QString compose(const QString &htmlTemplate, const QString &title, const QString &content,
                const SiteFacts &site, const QDate &date);

} // namespace PageFormat
