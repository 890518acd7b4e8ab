#include "bulk/ClaimWords.h"

#include "controllib/QkFile.h"

#include <QRegularExpression>

namespace ClaimWords {

namespace {

QString listed(const QStringList &found) {
    return QStringLiteral("\"") + found.join(QStringLiteral("\", \"")) + QStringLiteral("\"");
}

QString claim(const QStringList &found) {
    return QStringLiteral("The benefit makes a claim about the product (%1). A health or income "
                          "claim must be true, and you must be able to prove it.")
        .arg(listed(found));
}

} // namespace

QString fileIn(const QString &programFolder) {
    return programFolder + QStringLiteral("/templates/claim-words.txt");
}

QStringList load(const QString &programFolder) {
    QStringList lines, words;
    QkFile::LoadListFromFile(lines, fileIn(programFolder));
    for (const QString &line : std::as_const(lines)) {
        if (!line.trimmed().isEmpty())
            words.append(line.trimmed());
    }
    return words;
}

QStringList found(const QString &benefit, const QStringList &words) {
    QStringList hits;
    for (const QString &word : words) {
        const QRegularExpression pattern(QStringLiteral("\\b") + QRegularExpression::escape(word) +
                                             QStringLiteral("(s|es|d|ed|ing)?\\b"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
        if (pattern.match(benefit).hasMatch())
            hits.append(word);
    }
    return hits;
}

QString question(const QStringList &found) {
    return claim(found) + QStringLiteral("\n\nAdd the recommendation with this benefit anyway?");
}

QString warning(const QStringList &found) {
    return claim(found);
}

} // namespace ClaimWords
