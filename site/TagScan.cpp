#include "site/TagScan.h"

#include <cstring>

namespace TagScan {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

qsizetype find(QByteArrayView page, QByteArrayView what, qsizetype from) {
    if (from >= page.size())
        return -1;
    return page.indexOf(what, from);
}

// The element whose content is text up to its own end tag, or nothing.
bool isRawText(const QByteArray &name) {
    static const char *const names[] = {"script", "style",   "textarea", "title",   "xmp",
                                        "iframe", "noembed", "noframes", "noscript"};
    for (const char *raw : names) {
        if (name == raw)
            return true;
    }
    return false;
}

// Offset of "</name" that ends a raw-text element opened before from, or the page's size.
qsizetype rawTextEnd(QByteArrayView page, const QByteArray &name, qsizetype from) {
    const qsizetype n = name.size();
    for (qsizetype at = from; (at = find(page, "</", at)) >= 0; at += 2) {
        if (at + 2 + n > page.size())
            break;
        bool same = true;
        for (qsizetype i = 0; i < n && same; ++i)
            same = lower(page[at + 2 + i]) == name[i];
        if (!same)
            continue;
        const qsizetype after = at + 2 + n;
        if (after == page.size() || isSpace(page[after]) || page[after] == '/' ||
            page[after] == '>')
            return at;
    }
    return page.size();
}

// Walks a tag's attributes from its name's end; returns the offset after ">", or -1 when the
// page ends first.
qsizetype walkTag(QByteArrayView page, qsizetype at, bool *selfClosing,
                  const std::function<void(const Attribute &)> *each) {
    const qsizetype size = page.size();
    while (at < size) {
        const char c = page[at];
        if (isSpace(c)) {
            ++at;
            continue;
        }
        if (c == '>')
            return at + 1;
        if (c == '/') {
            if (at + 1 < size && page[at + 1] == '>') {
                if (selfClosing)
                    *selfClosing = true;
                return at + 2;
            }
            ++at;
            continue;
        }
        Attribute attribute;
        attribute.start = at;
        ++at; // a first "=" belongs to the name
        while (at < size && !isSpace(page[at]) && page[at] != '/' && page[at] != '>' &&
               page[at] != '=')
            ++at;
        attribute.name = page.sliced(attribute.start, at - attribute.start);
        qsizetype look = at;
        while (look < size && isSpace(page[look]))
            ++look;
        if (look < size && page[look] == '=') {
            at = look + 1;
            while (at < size && isSpace(page[at]))
                ++at;
            if (at < size && (page[at] == '"' || page[at] == '\'')) {
                const qsizetype close = page.indexOf(page[at], at + 1);
                if (close < 0)
                    return -1;
                attribute.value = page.sliced(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const qsizetype from = at;
                while (at < size && !isSpace(page[at]) && page[at] != '>')
                    ++at;
                attribute.value = page.sliced(from, at - from);
            }
        }
        attribute.end = at;
        if (each)
            (*each)(attribute);
    }
    return -1;
}

} // namespace

void Token::attributes(const std::function<void(const Attribute &)> &each) const {
    if (kind != StartTag)
        return;
    walkTag(text, nameEnd - start, nullptr, &each);
}

QByteArrayView Token::attribute(QByteArrayView lowerName, bool *present) const {
    QByteArrayView found;
    bool seen = false;
    attributes([&](const Attribute &a) {
        if (seen || a.name.size() != lowerName.size())
            return;
        for (qsizetype i = 0; i < a.name.size(); ++i) {
            if (lower(a.name[i]) != lowerName[i])
                return;
        }
        seen = true; // the first of two attributes of one name counts, as in a browser
        found = a.value;
    });
    if (present)
        *present = seen;
    return found;
}

void scan(QByteArrayView page, const std::function<bool(const Token &)> &each) {
    const qsizetype size = page.size();
    qsizetype at = 0;
    Token token;
    while (at < size) {
        const char *hit = static_cast<const char *>(std::memchr(page.data() + at, '<', size - at));
        if (!hit)
            return;
        const qsizetype open = hit - page.data();
        at = open + 1;
        if (at >= size)
            return;
        const char c = page[at];
        if (c == '!') {
            qsizetype close;
            if (page.sliced(open).startsWith("<!--")) {
                // "<!-->" and "<!--->" end at once, as in a browser.
                close = open + 4;
                if (close < size && page[close] == '>')
                    close += 1;
                else if (close + 1 < size && page[close] == '-' && page[close + 1] == '>')
                    close += 2;
                else {
                    const qsizetype dashes = find(page, "-->", open + 4);
                    close = dashes < 0 ? size : dashes + 3;
                }
                token.kind = Token::Comment;
                token.name.clear();
                token.start = open;
                token.end = close;
                token.nameEnd = open;
                token.text = page.sliced(open, close - open);
                token.selfClosing = false;
                if (!each(token))
                    return;
            } else if (page.sliced(open).startsWith("<![CDATA[")) {
                const qsizetype end = find(page, "]]>", open + 9);
                close = end < 0 ? size : end + 3;
            } else {
                const qsizetype end = find(page, ">", open);
                close = end < 0 ? size : end + 1;
            }
            at = close;
            continue;
        }
        if (c == '?') {
            const qsizetype end = find(page, ">", open);
            at = end < 0 ? size : end + 1;
            continue;
        }
        const bool endTag = c == '/';
        qsizetype nameStart = endTag ? at + 1 : at;
        if (nameStart >= size || !isAlpha(page[nameStart])) {
            if (endTag && nameStart < size && page[nameStart] == '>')
                at = nameStart + 1; // "</>" is dropped
            else if (endTag && nameStart < size) {
                const qsizetype end = find(page, ">", nameStart); // a bogus comment
                at = end < 0 ? size : end + 1;
            }
            continue;
        }
        qsizetype nameEnd = nameStart;
        while (nameEnd < size && !isSpace(page[nameEnd]) && page[nameEnd] != '/' &&
               page[nameEnd] != '>')
            ++nameEnd;
        token.kind = endTag ? Token::EndTag : Token::StartTag;
        token.name.resize(nameEnd - nameStart);
        for (qsizetype i = nameStart; i < nameEnd; ++i)
            token.name[i - nameStart] = lower(page[i]);
        token.start = open;
        token.nameEnd = nameEnd;
        token.selfClosing = false;
        const qsizetype close = walkTag(page, nameEnd, &token.selfClosing, nullptr);
        if (close < 0)
            return; // the page ends inside a tag: no tag
        token.end = close;
        token.text = page.sliced(open, close - open);
        if (!each(token))
            return;
        at = close;
        if (!endTag && token.name == "plaintext")
            return;
        if (!endTag && isRawText(token.name))
            at = rawTextEnd(page, token.name, at);
    }
}

} // namespace TagScan
