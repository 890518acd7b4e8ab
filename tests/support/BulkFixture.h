#pragma once

#include "controllib/RandomSource.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The folders the bulk window works on, both temporary: a program folder with the data files
// beside the program, and an article folder. The phrase files hold one template each
// ("If you want to", "Do you want to", "Take A Look:"), the snippets folder three snippets
// (affiliate-disclosure, "My Notice", privacy-policy: "Affiliate text", "Notice text",
// "Privacy text"), and rwdb.txt one line.
struct BulkFolders {
    BulkFolders();
    QString program(const QString &relative = QString()) const;
    QString articles(const QString &relative = QString()) const;
    // Writes an article (or anything else) into the article folder; returns its path.
    QString article(const QString &name, const QByteArray &bytes) const;
    // A file of the output folder, as bytes.
    QByteArray output(const QString &name) const;

    QTemporaryDir programDir;
    QTemporaryDir articleDir;
};

// RandomNumber(100) gives `number` (51: the statement form); every other pick takes the first
// entry of its list or, with turnRound, the last.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(int number = 51, bool turnRound = false)
        : m_number(number), m_turnRound(turnRound) {}
    quint32 below(quint32 bound) override {
        if (bound == 100)
            return quint32(m_number - 1);
        return m_turnRound ? bound - 1 : 0;
    }

private:
    int m_number;
    bool m_turnRound;
};
