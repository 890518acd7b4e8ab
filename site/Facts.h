#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The answers the publisher gave about a site, by dotted key ("operator.legal_name"). A value is
// a text (QString), a yes or no (bool) or a list of service ids (QStringList). A key that is
// absent, or whose text is empty, is an open question; an empty list is an answer ("none of
// these").
class Facts {
public:
    enum class Kind { Text, Bool, List };

    bool known(const QString &key) const;
    QVariant value(const QString &key) const { return m_values.value(key); }
    QString text(const QString &key) const;
    bool flag(const QString &key) const { return m_values.value(key).toBool(); }
    QStringList list(const QString &key) const { return m_values.value(key).toStringList(); }
    // The fact's value as one line of text: a list joined with ", ", a yes or no as "true"/"false".
    QString display(const QString &key) const;

    void set(const QString &key, const QVariant &value) { m_values.insert(key, value); }
    void clear(const QString &key) { m_values.remove(key); }
    QStringList keys() const { return m_values.keys(); }

    bool operator==(const Facts &other) const = default;

private:
    QMap<QString, QVariant> m_values;
};
