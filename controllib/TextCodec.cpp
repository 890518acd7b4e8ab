#include "controllib/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstring>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeBom("\xFF\xFE", 2);
const QByteArray kUtf16BeBom("\xFE\xFF", 2);

// Characters of the bytes 0x80 to 0x9F in Windows-1252. The five bytes that the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control character of the same number, as
// Windows itself does, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHighControls[byte - 0x80]);
    return QChar(byte);
}

// The Windows-1252 byte for a character, or -1 when the code page has none.
int toWindows1252(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == ch)
            return int(0x80 + i);
    }
    return -1;
}

} // namespace

namespace TextCodec {

bool startsAsUtf32(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView("\xFF\xFE\0\0", 4)) ||
           bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4));
}

bool isValidUtf8(QByteArrayView bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        // Plain ASCII eight bytes at a time: most articles are mostly ASCII.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // The second byte's range depends on the lead byte (the well-formed sequences of UTF-8).
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += length;
    }
    return true;
}

Sniffed sniff(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Bom))
        return {TextEncoding::Utf8, kUtf8Bom.size()};
    if (bytes.startsWith(kUtf16LeBom))
        return {TextEncoding::Utf16LE, kUtf16LeBom.size()};
    if (bytes.startsWith(kUtf16BeBom))
        return {TextEncoding::Utf16BE, kUtf16BeBom.size()};
    return {isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252, 0};
}

DecodedText decode(const QByteArray &bytes) {
    DecodedText result;
    QByteArrayView body(bytes);
    if (bytes.startsWith(kUtf8Bom)) {
        result.byteOrderMark = true;
        body = body.sliced(kUtf8Bom.size());
    }
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        result.text = text;
        result.encoding = TextEncoding::Utf8;
        return result;
    }
    // Not UTF-8: every byte, a would-be mark included, is a Windows-1252 character.
    result.byteOrderMark = false;
    result.encoding = TextEncoding::Windows1252;
    result.text.resize(bytes.size());
    QChar *out = result.text.data();
    for (char byte : bytes)
        *out++ = fromWindows1252(static_cast<unsigned char>(byte));
    return result;
}

QByteArray encode(const QString &text, TextEncoding encoding, bool byteOrderMark) {
    switch (encoding) {
    case TextEncoding::Utf8: {
        QByteArray bytes = byteOrderMark ? kUtf8Bom : QByteArray();
        bytes += text.toUtf8();
        return bytes;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool little = encoding == TextEncoding::Utf16LE;
        QByteArray bytes = byteOrderMark ? (little ? kUtf16LeBom : kUtf16BeBom) : QByteArray();
        const qsizetype start = bytes.size();
        bytes.resize(start + 2 * text.size());
        char *out = bytes.data() + start;
        for (const QChar ch : text) {
            const char16_t unit = ch.unicode();
            *out++ = char(little ? unit & 0xFF : unit >> 8);
            *out++ = char(little ? unit >> 8 : unit & 0xFF);
        }
        return bytes;
    }
    case TextEncoding::Windows1252:
        break;
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        const int byte = toWindows1252(ch);
        if (byte >= 0) {
            bytes.append(char(byte));
            continue;
        }
        char32_t code = ch;
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            code = QChar::surrogateToUcs4(ch, text.at(i + 1).unicode());
            ++i;
        }
        bytes += "&#" + QByteArray::number(quint32(code)) + ';';
    }
    return bytes;
}

} // namespace TextCodec
