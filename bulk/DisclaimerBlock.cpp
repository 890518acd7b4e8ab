#include "bulk/DisclaimerBlock.h"

#include "controllib/QkFile.h"

bool DisclaimerBlock::build(const QList<CatalogueEntry> &ticked, QString &block,
                            QString *failedPath, QString *error) {
    QString result;
    for (const CatalogueEntry &entry : ticked) {
        QString txtDisclaimer;
        if (!QkFile::LoadTextFromFile(txtDisclaimer, entry.filePath, error)) {
            if (failedPath)
                *failedPath = entry.filePath;
            return false;
        }
        result += QStringLiteral("\r\n\r\n") + txtDisclaimer;
    }
    block = result;
    return true;
}
