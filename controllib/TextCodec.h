#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How the text files of this program are read and written.
//
// A file is read as bytes. When the bytes are valid UTF-8 they are decoded as UTF-8 (a leading
// byte order mark is dropped from the text and remembered); otherwise they are decoded as
// Windows-1252, where every byte maps to exactly one character. Encoding the decoded text again in
// the same encoding, with the same mark, gives back the very same bytes, NUL bytes included.
//
// Articles are not decoded at all: their bytes are passed through, and only the text added around
// them is encoded, in the encoding that sniff() finds for them.
enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
};

namespace TextCodec {

DecodedText decode(const QByteArray &bytes);

// Whether bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no sequence cut off.
bool isValidUtf8(QByteArrayView bytes);

// The encoding of an article, from its bytes: a UTF-8 byte order mark, or none and valid UTF-8,
// gives UTF-8; a UTF-16 mark gives UTF-16 in that byte order; anything else is Windows-1252.
// byteOrderMarkSize tells how many leading bytes the mark takes (0, 2 or 3).
struct Sniffed {
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype byteOrderMarkSize = 0;
};
Sniffed sniff(QByteArrayView bytes);
// Whether bytes start with a UTF-32 byte order mark (either order), which sniff() would take for
// UTF-16: such text is refused, never written to.
bool startsAsUtf32(QByteArrayView bytes);

// Encodes text, with the encoding's byte order mark first when asked. A character that
// Windows-1252 cannot hold is written as an HTML character reference such as "&#10003;", so
// inserted text never turns into question marks.
QByteArray encode(const QString &text, TextEncoding encoding, bool byteOrderMark = false);

} // namespace TextCodec
