#include "legalpages/LinkCode.h"

namespace LinkCode {

QString withLink(const QString &links, const PageNames &page) {
    const QString link = QStringLiteral("<a href=\"") + page.linkTarget + QStringLiteral("\">") +
                         page.linkText + QStringLiteral("</a>");
    if (links.isEmpty())
        return QStringLiteral("<center>") + link;
    return links + QStringLiteral(" - ") + link;
}

QString finished(const QString &links) {
    return links + QStringLiteral("</center>");
}

} // namespace LinkCode
