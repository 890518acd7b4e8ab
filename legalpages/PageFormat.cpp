#include "legalpages/PageFormat.h"

#include "controllib/QkParser.h"
#include "core/TypedValue.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace PageFormat {

QString dateText(const QDate &date) {
    return QLocale(QLocale::English).toString(date, QStringLiteral("MMMM d, yyyy"));
}

QString compose(const QString &htmlTemplate, const QString &title, const QString &content,
                const SiteFacts &site, const QDate &date) {
    QString page = QkParser::ReplaceText(htmlTemplate, QStringLiteral("#TITLE#"), title, 0);
    page = QkParser::ReplaceText(page, QStringLiteral("#CONTENT#"), content, 0);
    // One pass: a value that holds a placeholder is not filled again.
    static const QRegularExpression placeholder(
        QStringLiteral("\\[(sitename|siteurl|email|date)\\]"));
    const QHash<QString, QString> values{
        {QStringLiteral("sitename"), TypedValue::htmlEscaped(site.name)},
        {QStringLiteral("siteurl"), TypedValue::htmlEscaped(site.url)},
        {QStringLiteral("email"), TypedValue::htmlEscaped(site.email)},
        {QStringLiteral("date"), dateText(date)}};
    QString filled;
    filled.reserve(page.size());
    qsizetype from = 0;
    for (auto it = placeholder.globalMatch(page); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        filled += QStringView(page).sliced(from, match.capturedStart() - from);
        filled += values.value(match.captured(1));
        from = match.capturedEnd();
    }
    filled += QStringView(page).sliced(from);
    return filled;
}

} // namespace PageFormat
