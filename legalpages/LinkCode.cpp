#include "legalpages/LinkCode.h"

namespace {

QString escaped(const QString &text) {
    return text.toHtmlEscaped(); // & < > and "
}

QString address(const QString &fileName) {
    QString target = fileName;
    target.replace(QLatin1Char('%'), QStringLiteral("%25"));
    target.replace(QLatin1Char('#'), QStringLiteral("%23"));
    target.replace(QLatin1Char('?'), QStringLiteral("%3F"));
    return escaped(target);
}

} // namespace

namespace LinkCode {

QString withLink(const QString &links, const PageNames &page) {
    const QString link = QStringLiteral("<a href=\"") + address(page.linkTarget) +
                         QStringLiteral("\">") + escaped(page.linkText) + QStringLiteral("</a>");
    if (links.isEmpty())
        return QStringLiteral("<center>") + link;
    return links + QStringLiteral(" - ") + link;
}

QString finished(const QString &links) {
    return links + QStringLiteral("</center>");
}

} // namespace LinkCode
