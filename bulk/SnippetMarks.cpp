#include "bulk/SnippetMarks.h"

#include "controllib/QkFile.h"

namespace SnippetMarks {

namespace {

const QString kTop = QStringLiteral("[top]");
const QString kSponsor = QStringLiteral("[sponsor]");

} // namespace

Snippet parse(const QString &fileText) {
    for (const QString &lineEnd : {QStringLiteral("\r\n"), QStringLiteral("\n")}) {
        if (fileText.startsWith(kTop + lineEnd))
            return {true, fileText.sliced(kTop.size() + lineEnd.size())};
    }
    return {false, fileText};
}

bool namesSponsor(const QString &text) {
    return text.contains(kSponsor);
}

QString withSponsor(const QString &text, const QString &sponsor) {
    QString result = text;
    return result.replace(kSponsor, sponsor);
}

QStringList needingSponsor(const QList<CatalogueEntry> &ticked) {
    QStringList names;
    for (const CatalogueEntry &entry : ticked) {
        QString text;
        if (QkFile::LoadTextFromFile(text, entry.filePath) && namesSponsor(text))
            names.append(entry.displayName);
    }
    return names;
}

} // namespace SnippetMarks
