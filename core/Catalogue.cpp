#include "core/Catalogue.h"

#include "controllib/QkParser.h"
#include "core/FolderListing.h"
#include "core/TitleCase.h"

#include <QDir>
#include <QFileInfo>

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
