#include "site/HtmlText.h"

#include <QString>

namespace HtmlText {

namespace {

struct Named {
    const char *name;
    char value;
};
constexpr Named kNamed[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};

// The length of the reference at text[at] ("&...;") and its value appended to out; 0 if none.
qsizetype numeric(QByteArrayView text, qsizetype at, QByteArray &out) {
    qsizetype i = at + 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex)
        ++i;
    const qsizetype digits = i;
    char32_t code = 0;
    while (i < text.size() && i - digits < 8) {
        const char c = text[i];
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0)
            break;
        code = code * (hex ? 16 : 10) + char32_t(d);
        ++i;
    }
    if (i == digits || i >= text.size() || text[i] != ';' || code == 0 || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    out += QString::fromUcs4(&code, 1).toUtf8();
    return i + 1 - at;
}

} // namespace

QByteArray decode(QByteArrayView text) {
    if (!text.contains('&'))
        return text.toByteArray();
    QByteArray out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        qsizetype used = 0;
        if (i + 1 < text.size() && text[i + 1] == '#') {
            used = numeric(text, i, out);
        } else {
            for (const Named &n : kNamed) {
                if (text.sliced(i + 1).startsWith(QByteArrayView(n.name))) {
                    out += n.value;
                    used = 1 + qsizetype(qstrlen(n.name));
                    break;
                }
            }
        }
        if (used == 0)
            out += text[i++];
        else
            i += used;
    }
    return out;
}

} // namespace HtmlText
