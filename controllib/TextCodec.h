#pragma once

#include <QByteArray>
#include <QString>

// How the text files of this program are read and written.
//
// A file is read as bytes. When the bytes are valid UTF-8 they are decoded as UTF-8 (a leading
// byte order mark is dropped from the text and remembered); otherwise they are decoded as
// Windows-1252, where every byte maps to exactly one character. Encoding the decoded text again in
// the same encoding, with the same mark, gives back the very same bytes, NUL bytes included.
enum class TextEncoding { Utf8, Windows1252 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
};

namespace TextCodec {

DecodedText decode(const QByteArray &bytes);

// Encodes text. A character that Windows-1252 cannot hold is written as an HTML character
// reference such as "&#10003;", so inserted text never turns into question marks.
QByteArray encode(const QString &text, TextEncoding encoding, bool byteOrderMark = false);

} // namespace TextCodec
