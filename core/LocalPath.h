#pragma once

#include <QByteArray>
#include <QString>

// Paths as the file system holds them, as bytes. On Linux a folder's name need not be valid
// UTF-8, and Qt's paths, which are text, cannot name such a folder. openable() gives a path Qt
// can work on all the same: the folder is opened by its bytes and named /proc/self/fd/N, which
// stays valid for the life of the process (a run, or a message naming its output folder, may hold
// it after the folder in use has changed). local() and shown() turn such a path back into the
// folder's bytes and into text to show, with a replacement character for each byte that is not
// UTF-8; a path below it ("/proc/self/fd/N/rewritten_files") keeps what follows.
namespace LocalPath {

// The path as text when its bytes survive the round trip; else the opened folder's
// /proc/self/fd/N; an empty text when it cannot be opened.
QString openable(const QByteArray &local);
QByteArray local(const QString &path);
QString shown(const QString &path);

} // namespace LocalPath
