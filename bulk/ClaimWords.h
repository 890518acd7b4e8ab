#pragma once

#include <QString>
#include <QStringList>

// The benefit of a recommendation is a claim about the product. Words that make it a health or
// income claim (kept as data, one word or phrase a line, in templates/claim-words.txt) call for a
// warning before the run; the run still goes ahead once the user confirms.
namespace ClaimWords {

QString fileIn(const QString &programFolder);
// The words of the file, or none when it is missing or unreadable (no warning is then given).
QStringList load(const QString &programFolder);

// The listed words the benefit uses, in the list's order: whole words, any letter case, also with
// an ending "s", "es", "d", "ed" or "ing" ("cures", "earning").
QStringList found(const QString &benefit, const QStringList &words);

// The warning for the words found, for a window (ending in a question) or the command line.
QString question(const QStringList &found);
QString warning(const QStringList &found);

} // namespace ClaimWords
