#pragma once

#include "core/Catalogue.h"

#include <QList>
#include <QString>

// The block of ticked disclaimers that a run appends to every article: for each ticked snippet,
// in the order of the catalogue, CR LF CR LF and the snippet's text, unchanged.
class DisclaimerBlock {
public:
    // Reads each snippet from the file its entry was listed from. Returns false, naming the
    // snippet's file in *failedPath and the reason in *error, when one cannot be read; a run must
    // not go on without a disclaimer the user ticked.
    static bool build(const QList<CatalogueEntry> &ticked, QString &block,
                      QString *failedPath = nullptr, QString *error = nullptr);
};
