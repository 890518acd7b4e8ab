#include "legalpages/PageFormat.h"

#include "controllib/QkParser.h"

#include <QLocale>

namespace PageFormat {

QString dateText(const QDate &date) {
    return QLocale(QLocale::English).toString(date, QStringLiteral("MMMM d, yyyy"));
}

QString compose(const QString &htmlTemplate, const QString &title, const QString &content,
                const SiteFacts &site, const QDate &date) {
    QString page = QkParser::ReplaceText(htmlTemplate, QStringLiteral("#TITLE#"), title, 0);
    page = QkParser::ReplaceText(page, QStringLiteral("#CONTENT#"), content, 0);
    page = QkParser::ReplaceText(page, QStringLiteral("[sitename]"), site.name, 0);
    page = QkParser::ReplaceText(page, QStringLiteral("[siteurl]"), site.url, 0);
    page = QkParser::ReplaceText(page, QStringLiteral("[email]"), site.email, 0);
    return QkParser::ReplaceText(page, QStringLiteral("[date]"), dateText(date), 0);
}

} // namespace PageFormat
