#include "app/Catalogue.h"

#include "app/TitleCase.h"
#include "controllib/QkParser.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Catalogue {

QString displayName(const QString &fileName) {
    QString name = QkParser::ReplaceText(fileName, QStringLiteral(".txt"), QString(), 0);
    name = QkParser::ReplaceText(name, QStringLiteral("-"), QStringLiteral(" "), 0);
    return TitleCase(name);
}

QString fileNameFor(const QString &displayName) {
    return (QkParser::ReplaceText(displayName, QStringLiteral(" "), QStringLiteral("-"), 0) +
            QStringLiteral(".txt"))
        .toLower();
}

bool list(const QString &folder, QList<CatalogueEntry> &entries, QString *error) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        if (error)
            *error = info.exists() ? QStringLiteral("It cannot be read")
                                   : QStringLiteral("It does not exist");
        return false;
    }
    const QDir dir(folder);
    for (const QString &name : FolderListing::files(folder, {QStringLiteral("*.txt")}))
        entries.append({displayName(name), dir.filePath(name)});
    return true;
}

} // namespace Catalogue

namespace FolderListing {

QStringList files(const QString &folder, const QStringList &patterns) {
    // Name filters match without regard to letter case unless QDir::CaseSensitive is given, as a
    // file system that ignores letter case would; hidden files are left out.
    QStringList names = QDir(folder).entryList(patterns, QDir::Files, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int byName = a.compare(b, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    return names;
}

} // namespace FolderListing
