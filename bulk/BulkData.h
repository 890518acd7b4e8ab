#pragma once

#include "bulk/RecommendationBuilder.h"
#include "core/Catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

// The data files of the bulk window, read from beside the program: the three sentence-template
// files and the catalogue of disclaimer snippets. What is missing or unreadable is gathered, so
// the window can open anyway and say so once.
class BulkData {
public:
    // programFolder, then a path relative to it such as "templates/if.txt".
    static QString pathOf(const QString &programFolder, const QString &relative);

    void load(const QString &programFolder);

    PhraseLists phrases;
    // The files the three lists were read from, in the order lstIf, lstIfQuestion, lstThen.
    QStringList phraseFiles;
    QString SnippetsFolder;
    QList<CatalogueEntry> catalogue;
    // One line per missing or unreadable file or folder: its path and the reason.
    QStringList problems;

    // The one message that names every problem, or an empty text when there is none.
    QString problemMessage() const;
};
