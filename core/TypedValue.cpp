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
    return text.toHtmlEscaped(); // & < > and ", nothing else
}

} // namespace TypedValue
