#include "core/TypedValue.h"

#include <QRegularExpression>
#include <QUrl>

namespace TypedValue {

bool isWebAddress(const QString &text) {
    const QUrl url(text.trimmed());
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool isEmailAddress(const QString &text) {
    static const QRegularExpression address(
        QStringLiteral(R"(^[^\s@<>"&;,()]+@[^\s@<>"'&;,()]+\.[^\s@<>"'&;,().]+$)"));
    return address.match(text.trimmed()).hasMatch();
}

QString htmlEscaped(const QString &text) {
    if (!text.contains(QLatin1Char('&')) && !text.contains(QLatin1Char('<')) &&
        !text.contains(QLatin1Char('>')) && !text.contains(QLatin1Char('"')))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace TypedValue
