#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

// The files of one folder, as the file pickers and the runs see them: every entry directly inside
// the folder whose name matches one of the wildcard patterns without regard to letter case, other
// than folders (a link to a folder counts as one) and hidden entries (a name that starts with
// "."). Links to files, links that lead nowhere and special files are listed: a run names them
// when it cannot read them, rather than leaving them out unseen. Sorted by shown name ignoring
// case, then by the name's bytes.
//
// Names are kept as the file system holds them, as bytes: on Linux a name need not be valid
// UTF-8, and such a file is listed, counted and processed like any other. shownName() gives the
// text to show, with a replacement character for each byte that is not UTF-8.
namespace FolderListing {

QByteArrayList localNames(const QString &folder, const QStringList &patterns);
QStringList files(const QString &folder, const QStringList &patterns);
// The folders directly inside folder (links to folders included, hidden ones not), as bytes, in
// the same order.
QByteArrayList folderNames(const QString &folder);

QString shownName(const QByteArray &localName);

} // namespace FolderListing
