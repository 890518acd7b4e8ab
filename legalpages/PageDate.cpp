#include "legalpages/PageDate.h"

#include <QRegularExpression>

namespace PageDate {

bool differsOnlyInDate(const QByteArray &onDisk, const QByteArray &fresh, const QString &dateText) {
    if (onDisk == fresh)
        return true;
    const QByteArray date = dateText.toLatin1();
    if (date.isEmpty() || !fresh.contains(date))
        return false;
    // Bytes as Latin-1 characters, one for one, so the comparison is exact whatever the encoding.
    QString pattern = QStringLiteral("\\A");
    const QString anyDate = QStringLiteral(
        "(?:January|February|March|April|May|June|July|August|September|October|November|"
        "December) [1-9][0-9]?, [0-9]{4}");
    qsizetype from = 0;
    for (qsizetype at = fresh.indexOf(date); at >= 0; at = fresh.indexOf(date, from)) {
        pattern +=
            QRegularExpression::escape(QString::fromLatin1(fresh.mid(from, at - from))) + anyDate;
        from = at + date.size();
    }
    pattern +=
        QRegularExpression::escape(QString::fromLatin1(fresh.mid(from))) + QStringLiteral("\\z");
    return QRegularExpression(pattern).match(QString::fromLatin1(onDisk)).hasMatch();
}

} // namespace PageDate
