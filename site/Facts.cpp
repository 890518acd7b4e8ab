#include "site/Facts.h"

bool Facts::known(const QString &key) const {
    const auto found = m_values.constFind(key);
    if (found == m_values.constEnd())
        return false;
    return found->typeId() != QMetaType::QString || !found->toString().isEmpty();
}

QString Facts::text(const QString &key) const {
    const QVariant v = m_values.value(key);
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

QString Facts::display(const QString &key) const {
    const QVariant v = m_values.value(key);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QStringList:
        return v.toStringList().join(QStringLiteral(", "));
    default:
        return v.toString();
    }
}
