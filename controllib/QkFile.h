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
// - LoadListFromFile appends one entry per line, lines ending in CR LF or LF (a lone CR is text);
//   a final line break does not make an empty last entry. An empty file adds nothing.
// - SaveTextToFile writes atomically (QSaveFile): the file is replaced only once every byte has
//   been written, so a failed or interrupted save leaves the old file, or none, but never half a
//   file. Text is written as UTF-8 without a byte order mark unless another encoding is asked for.
class QkFile {
public:
    // Set before an article is loaded; kept for callers that name the files they look for.
    QString FilePattern = QStringLiteral("*.*");

    static bool LoadListFromFile(QStringList &list, const QString &path, QString *error = nullptr);
    static bool LoadTextFromFile(QString &text, const QString &path, QString *error = nullptr);
    // Like LoadTextFromFile, and also tells in which encoding the file was written.
    static bool LoadDecodedFromFile(DecodedText &decoded, const QString &path,
                                    QString *error = nullptr);
    static bool SaveTextToFile(const QString &text, const QString &path, QString *error = nullptr,
                               TextEncoding encoding = TextEncoding::Utf8,
                               bool byteOrderMark = false);

    // The raw bytes of a file, and an atomic save of raw bytes; the text operations use these.
    static bool readBytes(QByteArray &bytes, const QString &path, QString *error = nullptr);
    static bool writeBytes(const QByteArray &bytes, const QString &path, QString *error = nullptr);
};
