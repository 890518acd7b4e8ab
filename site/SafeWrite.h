#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Reading and replacing a file of the site inside an open folder, so that nothing outside the
// site is ever written: the name must be a regular file of its own (not a symbolic link, not a
// special file, no other hard link to it), it is read without blocking, and it is replaced
// atomically by a temporary file in the same folder (".NAME.cwPID-N.tmp") that takes the old
// file's permissions (and owner, where allowed) and is renamed over it only once every byte is
// written and the name still holds the file that was read. On failure the file stays as it was
// and no temporary file is left.
//
// The one place where the site's own files are written; a shared safe-writing routine can take
// its place without touching the callers.
namespace SafeWrite {

// Why the entry is not a file to edit (link, folder, special file, hard link), or empty.
QString refusal(const struct stat &info);

bool read(int folderFd, const QByteArray &name, QByteArray &bytes, struct stat *info,
          QString *error);
bool replace(int folderFd, const QByteArray &name, const QByteArray &bytes,
             const struct stat &before, QString *error);
// Writes a new file, or replaces one that passes refusal(); permissions 0644 for a new file.
bool write(int folderFd, const QByteArray &name, const QByteArray &bytes, QString *error);

} // namespace SafeWrite
