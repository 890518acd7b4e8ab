#include "controllib/QkParser.h"

QString QkParser::ReplaceText(const QString &text, const QString &find, const QString &replacement,
                              int compare) {
    if (find.isEmpty())
        return text;
    const Qt::CaseSensitivity cs = compare == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString result = text;
    return result.replace(find, replacement, cs);
}
