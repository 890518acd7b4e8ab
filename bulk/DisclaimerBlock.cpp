#include "bulk/DisclaimerBlock.h"

#include "bulk/SnippetMarks.h"
#include "controllib/QkFile.h"

bool DisclaimerBlock::build(const QList<CatalogueEntry> &ticked, const QString &sponsor,
                            Blocks &blocks, QString *failedPath, QString *error) {
    Blocks result;
    for (const CatalogueEntry &entry : ticked) {
        QString txtDisclaimer;
        if (!QkFile::LoadTextFromFile(txtDisclaimer, entry.filePath, error)) {
            if (failedPath)
                *failedPath = entry.filePath;
            return false;
        }
        const SnippetMarks::Snippet snippet = SnippetMarks::parse(txtDisclaimer);
        if (SnippetMarks::namesSponsor(snippet.text))
            result.namingSponsor.append(entry.displayName);
        const QString text = SnippetMarks::withSponsor(snippet.text, sponsor);
        if (snippet.top)
            result.top += text + QStringLiteral("\r\n\r\n");
        else
            result.after += QStringLiteral("\r\n\r\n") + text;
    }
    blocks = result;
    return true;
}
