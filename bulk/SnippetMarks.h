#pragma once

#include "core/Catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

// The two marks a disclaimer snippet may carry in its file. A first line that is exactly "[top]"
// puts the snippet at the top of each article instead of after it (the line itself is never
// written); "[sponsor]" anywhere in the text stands for the sponsor's name, which the user gives
// before the run. A snippet without marks is written exactly as its file holds it.
namespace SnippetMarks {

struct Snippet {
    bool top = false;
    QString text; // without the "[top]" line
};

Snippet parse(const QString &fileText);
bool namesSponsor(const QString &text);
QString withSponsor(const QString &text, const QString &sponsor);

// The display names of the ticked snippets that name the sponsor. A snippet that cannot be read
// is left out: the run itself refuses it, naming the file.
QStringList needingSponsor(const QList<CatalogueEntry> &ticked);

} // namespace SnippetMarks
