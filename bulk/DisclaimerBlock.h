#pragma once

#include "core/Catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

// The ticked disclaimers a run adds to every article, in the order of the catalogue. The block
// after the article is, for each snippet that goes there, CR LF CR LF and the snippet's text
// unchanged. The block at the top holds each snippet marked "[top]" (see SnippetMarks) followed
// by CR LF CR LF, so the article or the recommendation before it starts after a blank line.
// "[sponsor]" becomes the sponsor's name in either.
class DisclaimerBlock {
public:
    struct Blocks {
        QString top;
        QString after;
        QStringList namingSponsor; // display names of the snippets that name the sponsor
    };

    // Reads each snippet from the file its entry was listed from. Returns false, naming the
    // snippet's file in *failedPath and the reason in *error, when one cannot be read; a run must
    // not go on without a disclaimer the user ticked.
    static bool build(const QList<CatalogueEntry> &ticked, const QString &sponsor, Blocks &blocks,
                      QString *failedPath = nullptr, QString *error = nullptr);
};
