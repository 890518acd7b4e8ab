#pragma once

#include "controllib/TextCodec.h"

#include <QString>
#include <QStringList>

// File operations of the control library.
//
// - Text files are read as bytes and decoded by TextCodec: UTF-8 when valid (a byte order mark is
//   dropped), otherwise Windows-1252.
// - Every operation reports failure to its caller: it returns false and, when asked, puts a plain
//   reason into *error ("No such file or directory", ...). A missing file is a failure, never an
//   empty text; on failure the caller's list or text is left as it was.
// - Only regular files are read, after following symbolic links: a folder, a pipe, a device or a
//   socket is refused with a reason, and nothing is ever opened in a way that can block. A file
//   too large for the memory left is a failure too, never a crash.
// - LoadListFromFile appends one entry per line, lines ending in CR LF or LF (a lone CR is text);
//   a final line break does not make an empty last entry. An empty file adds nothing. Given
//   maxLines, it stops reading once that many lines are taken: the rest of the file is never
//   read, and the encoding is decided on the lines taken alone (so a file whose later, unread
//   lines are not UTF-8 still gives its first lines as UTF-8). A file of no more lines than that
//   gives exactly what it gives without a limit.
// - writeBytes saves atomically and verifies the save: the data goes to a temporary file, is
//   checked to have reached it whole, and only then replaces the file. On any failure the old file
//   stays exactly as it was (or there is still none), the temporary file is removed, and the
//   reason is returned.
class QkFile {
public:
    // Set before an article is loaded; kept for callers that name the files they look for.
    QString FilePattern = QStringLiteral("*.*");

    // maxLines < 0: every line.
    static bool LoadListFromFile(QStringList &list, const QString &path, QString *error = nullptr,
                                 qsizetype maxLines = -1);
    static bool LoadTextFromFile(QString &text, const QString &path, QString *error = nullptr);
    // Like LoadTextFromFile, and also tells in which encoding the file was written.
    static bool LoadDecodedFromFile(DecodedText &decoded, const QString &path,
                                    QString *error = nullptr);

    // The raw bytes of a file, and a verified atomic save of raw bytes; the text operations use
    // these.
    static bool readBytes(QByteArray &bytes, const QString &path, QString *error = nullptr);
    static bool writeBytes(const QByteArray &bytes, const QString &path, QString *error = nullptr);
};
