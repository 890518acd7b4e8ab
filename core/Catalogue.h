#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A catalogue of text files (disclaimer snippets, page templates) shown under display names.
// Each entry remembers the file it was listed from, so its text is read from that very file
// whatever blanks or capitals its name holds.
struct CatalogueEntry {
    QString displayName;
    QString filePath;
};

namespace Catalogue {

// "terms-of-use.txt" -> "Terms Of Use": every ".txt" removed, every "-" a blank, then TitleCase.
QString displayName(const QString &fileName);
// "Terms Of Use" -> "terms-of-use.txt": every blank a "-", ".txt" appended, all in lower case.
QString fileNameFor(const QString &displayName);

// The "*.txt" files directly inside folder, in alphabetical order of file name ignoring case.
// Returns false, with a reason, when the folder cannot be read.
bool list(const QString &folder, QList<CatalogueEntry> &entries, QString *error = nullptr);

} // namespace Catalogue
