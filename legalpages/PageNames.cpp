#include "legalpages/PageNames.h"

#include "controllib/QkParser.h"

PageNames PageNames::fromDisplayName(const QString &displayName) {
    PageNames names;
    names.title = displayName;
    names.stem = QkParser::ReplaceText(displayName, QStringLiteral(" "), QStringLiteral("-"), 0);
    names.fileName = (names.stem + QStringLiteral(".html")).toLower();
    names.linkTarget = names.fileName;
    names.linkText = names.stem;
    return names;
}
