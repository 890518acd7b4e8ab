#pragma once

#include <QString>
#include <QStringList>

// The synonym preload of the bulk window, one pass per tick of its timer. The first tick loads
// the synonym file and starts the busy label; each later tick compares the tag with the number of
// loaded lines and ends the sequence on the first tick that sees the same number as the one
// before it (the first comparison is against "1", not against a count).
class SynonymPreload {
public:
    enum class Step { Started, Waiting, Finished };
    // The list's entry count is a 16-bit signed number: no more lines than this are kept.
    static constexpr int MaxEntries = 32767;

    explicit SynonymPreload(QString path) : m_path(std::move(path)) {}

    Step Timer1_Timer();
    void LoadSynonymRules();

    const QString &tag() const { return m_tag; }
    const QStringList &lstReglas() const { return m_lstReglas; }

private:
    QString m_path;
    QString m_tag;
    QStringList m_lstReglas;
};
