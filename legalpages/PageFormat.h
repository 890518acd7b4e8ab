#pragma once

#include "legalpages/SiteFacts.h"

#include <QDate>
#include <QString>

// How a legal page is filled in. The HTML page template gets, in this order: every "#TITLE#" the
// page title, every "#CONTENT#" the catalogue text, then, in one pass, every "[sitename]",
// "[siteurl]" and "[email]" the site's facts and every "[date]" the day the page was made. Site
// placeholders inside the catalogue text are filled too, while a "#TITLE#" inside it stays as it
// is, and a placeholder inside a fact is not filled again. The facts the user typed go in as text,
// escaped for HTML ("&", "<", ">" and '"'); nothing else changes, no line break either.
namespace PageFormat {

// "December 6, 2026", in English whatever the user's locale.
QString dateText(const QDate &date);

QString compose(const QString &htmlTemplate, const QString &title, const QString &content,
                const SiteFacts &site, const QDate &date);

} // namespace PageFormat
