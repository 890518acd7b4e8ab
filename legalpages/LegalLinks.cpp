#include "legalpages/LegalLinks.h"

#include "legalpages/PageNames.h"

#include <QFile>

#include <sys/stat.h>

namespace LegalLinks {

QList<PageEdit::LegalLink> inSite(const QList<CatalogueEntry> &catalogue, const QString &siteFolder,
                                  const QStringList &coming) {
    QList<PageEdit::LegalLink> links;
    for (const CatalogueEntry &entry : catalogue) {
        const PageNames names = PageNames::fromDisplayName(entry.displayName);
        struct stat info {};
        const bool there =
            ::lstat(QFile::encodeName(siteFolder + QLatin1Char('/') + names.fileName).constData(),
                    &info) == 0 &&
            S_ISREG(info.st_mode);
        if (there || coming.contains(names.fileName))
            links.append({names.fileName, names.title,
                          names.fileName == QLatin1String("your-privacy-choices.html")});
    }
    return links;
}

} // namespace LegalLinks
