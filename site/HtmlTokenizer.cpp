#include "site/HtmlTokenizer.h"

#include <cstring>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool sameNoCase(QByteArrayView written, QByteArrayView lowerName) {
    if (written.size() != lowerName.size())
        return false;
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (lower(written[i]) != lowerName[i])
            return false;
    }
    return true;
}

} // namespace

bool HtmlTokenizer::Attribute::is(QByteArrayView lowerName) const {
    return sameNoCase(name, lowerName);
}

const HtmlTokenizer::Attribute *HtmlTokenizer::Token::attribute(QByteArrayView lowerName) const {
    for (const Attribute &a : attributes) {
        if (a.is(lowerName))
            return &a;
    }
    return nullptr;
}

HtmlTokenizer::HtmlTokenizer(QByteArrayView input) : m_in(input) {}

bool HtmlTokenizer::next(Token &token) {
    if (m_pos >= m_in.size())
        return false;
    switch (m_state) {
    case State::Data:
        break;
    case State::Plaintext:
        return text(token, m_in.size(), Kind::Text);
    case State::RawText:
    case State::Rcdata:
    case State::ScriptData: {
        const qsizetype end = m_state == State::ScriptData ? scriptDataEnd() : rawTextEnd();
        const Kind kind = m_state == State::Rcdata ? Kind::Text : Kind::RawText;
        m_state = State::Data;
        if (end > m_pos)
            return text(token, end, kind);
        break;
    }
    }
    if (m_in[m_pos] == '<' && markup(token))
        return true;
    if (m_pos >= m_in.size()) // a tag cut off by the end of the input
        return false;
    // Text up to the next "<" (a "<" that opens no markup is text, and starts the run).
    const void *lt =
        std::memchr(m_in.data() + m_pos + 1, '<', std::size_t(m_in.size() - m_pos - 1));
    const qsizetype end = lt ? static_cast<const char *>(lt) - m_in.data() : m_in.size();
    return text(token, end, Kind::Text);
}

bool HtmlTokenizer::text(Token &token, qsizetype end, Kind kind) {
    token.kind = kind;
    token.name.resize(0);
    token.attributes.resize(0);
    token.selfClosing = false;
    token.begin = token.contentBegin = m_pos;
    token.end = token.contentEnd = end;
    m_pos = end;
    return true;
}

bool HtmlTokenizer::markup(Token &token) {
    const qsizetype n = m_in.size();
    const qsizetype at = m_pos;
    if (at + 1 >= n)
        return false;
    const char c = m_in[at + 1];
    if (isLetter(c))
        return tag(token, false);
    if (c == '/') {
        if (at + 2 >= n)
            return false;
        if (isLetter(m_in[at + 2]))
            return tag(token, true);
        if (m_in[at + 2] == '>') // "</>" is dropped by a browser: an empty comment here
            return comment(token, at + 2, at + 3, at + 2);
        const void *gt = std::memchr(m_in.data() + at + 2, '>', std::size_t(n - at - 2));
        const qsizetype close = gt ? static_cast<const char *>(gt) - m_in.data() : n;
        return comment(token, at + 2, gt ? close + 1 : n, close);
    }
    if (c == '?' || c == '!') {
        const QByteArrayView rest = m_in.sliced(at + 2);
        if (c == '!' && rest.startsWith("--")) {
            const qsizetype begin = at + 4;
            if (begin < n && m_in[begin] == '>')
                return comment(token, begin, begin + 1, begin);
            if (begin + 1 < n && m_in[begin] == '-' && m_in[begin + 1] == '>')
                return comment(token, begin, begin + 2, begin);
            for (qsizetype j = begin; j + 1 < n; ++j) {
                const void *dash = std::memchr(m_in.data() + j, '-', std::size_t(n - j));
                if (!dash)
                    break;
                j = static_cast<const char *>(dash) - m_in.data();
                if (j + 1 >= n || m_in[j + 1] != '-')
                    continue;
                if (j + 2 < n && m_in[j + 2] == '>')
                    return comment(token, begin, j + 3, j);
                if (j + 3 < n && m_in[j + 2] == '!' && m_in[j + 3] == '>')
                    return comment(token, begin, j + 4, j);
            }
            return comment(token, begin, n, n);
        }
        const qsizetype begin = c == '!' ? at + 2 : at + 1; // "<?x>" keeps its "?"
        const void *gt = std::memchr(m_in.data() + begin, '>', std::size_t(n - begin));
        const qsizetype close = gt ? static_cast<const char *>(gt) - m_in.data() : n;
        if (c == '!' && rest.size() >= 7 && sameNoCase(rest.first(7), "doctype")) {
            comment(token, at + 9, gt ? close + 1 : n, close);
            token.kind = Kind::Doctype;
            return true;
        }
        return comment(token, begin, gt ? close + 1 : n, close);
    }
    return false;
}

bool HtmlTokenizer::comment(Token &token, qsizetype contentBegin, qsizetype end,
                            qsizetype contentEnd) {
    token.kind = Kind::Comment;
    token.name.resize(0);
    token.attributes.resize(0);
    token.selfClosing = false;
    token.begin = m_pos;
    token.end = end;
    token.contentBegin = contentBegin;
    token.contentEnd = contentEnd;
    m_pos = end;
    return true;
}

bool HtmlTokenizer::tag(Token &token, bool endTag) {
    const qsizetype n = m_in.size();
    const char *in = m_in.data();
    qsizetype i = m_pos + (endTag ? 2 : 1);
    const qsizetype nameBegin = i;
    while (i < n && !isSpace(in[i]) && in[i] != '/' && in[i] != '>')
        ++i;
    token.name.resize(i - nameBegin);
    char *name = token.name.data();
    for (qsizetype k = nameBegin; k < i; ++k)
        *name++ = lower(in[k]);
    token.attributes.resize(0);
    token.selfClosing = false;

    while (true) {
        while (i < n && isSpace(in[i]))
            ++i;
        if (i >= n)
            break;
        if (in[i] == '>') {
            ++i;
            token.kind = endTag ? Kind::EndTag : Kind::StartTag;
            token.begin = token.contentBegin = m_pos;
            token.end = token.contentEnd = i;
            m_pos = i;
            if (!endTag) {
                const QByteArrayView t = token.name;
                if (t == "script")
                    m_state = State::ScriptData;
                else if (t == "style" || t == "xmp" || t == "iframe" || t == "noembed" ||
                         t == "noframes")
                    m_state = State::RawText;
                else if (t == "title" || t == "textarea")
                    m_state = State::Rcdata;
                else if (t == "plaintext")
                    m_state = State::Plaintext;
                if (m_state == State::RawText || m_state == State::Rcdata)
                    m_rawName = token.name;
            }
            return true;
        }
        if (in[i] == '/') {
            ++i;
            if (i < n && in[i] == '>')
                token.selfClosing = true;
            continue;
        }
        // An attribute's name: a first "=" belongs to it, as any character but the ends.
        Attribute a;
        a.nameBegin = i;
        ++i;
        while (i < n && !isSpace(in[i]) && in[i] != '/' && in[i] != '>' && in[i] != '=')
            ++i;
        a.name = m_in.sliced(a.nameBegin, i - a.nameBegin);
        qsizetype j = i;
        while (j < n && isSpace(in[j]))
            ++j;
        if (j < n && in[j] == '=') {
            ++j;
            while (j < n && isSpace(in[j]))
                ++j;
            a.hasValue = true;
            if (j < n && (in[j] == '"' || in[j] == '\'')) {
                a.quote = in[j];
                a.valueBegin = j + 1;
                const void *close =
                    std::memchr(in + a.valueBegin, a.quote, std::size_t(n - a.valueBegin));
                if (!close)
                    break; // the end of the input inside a value: no tag
                a.valueEnd = static_cast<const char *>(close) - in;
                i = a.valueEnd + 1;
            } else {
                a.valueBegin = j;
                while (j < n && !isSpace(in[j]) && in[j] != '>')
                    ++j;
                a.valueEnd = j;
                i = j;
            }
        } else {
            a.valueBegin = a.valueEnd = i;
        }
        a.value = m_in.sliced(a.valueBegin, a.valueEnd - a.valueBegin);
        token.attributes.append(a);
    }
    // The input ended inside the tag: a browser drops it.
    m_pos = n;
    return false;
}

bool HtmlTokenizer::endTagAt(qsizetype at, QByteArrayView lowerName) const {
    const qsizetype after = at + 2 + lowerName.size();
    if (after > m_in.size() || m_in[at] != '<' || m_in[at + 1] != '/')
        return false;
    if (!sameNoCase(m_in.sliced(at + 2, lowerName.size()), lowerName))
        return false;
    return after == m_in.size() || isSpace(m_in[after]) || m_in[after] == '/' || m_in[after] == '>';
}

qsizetype HtmlTokenizer::rawTextEnd() const {
    const qsizetype n = m_in.size();
    for (qsizetype j = m_pos; j < n; ++j) {
        const void *lt = std::memchr(m_in.data() + j, '<', std::size_t(n - j));
        if (!lt)
            break;
        j = static_cast<const char *>(lt) - m_in.data();
        if (endTagAt(j, m_rawName))
            return j;
    }
    return n;
}

// The script data states: "<!--" escapes the body, and inside an escape "<script" starts a
// double escape in which "</script>" does not end the element.
qsizetype HtmlTokenizer::scriptDataEnd() const {
    const qsizetype n = m_in.size();
    const char *in = m_in.data();
    auto startTagAt = [&](qsizetype at) {
        const qsizetype after = at + 7;
        return after < n && in[at] == '<' && sameNoCase(m_in.sliced(at + 1, 6), "script") &&
               (isSpace(in[after]) || in[after] == '/' || in[after] == '>');
    };
    enum { Plain, Escaped, DoubleEscaped } state = Plain;
    qsizetype j = m_pos;
    while (j < n) {
        if (state == Plain) {
            const void *lt = std::memchr(in + j, '<', std::size_t(n - j));
            if (!lt)
                return n;
            j = static_cast<const char *>(lt) - in;
            if (endTagAt(j, "script"))
                return j;
            if (m_in.sliced(j).startsWith("<!--")) {
                state = Escaped;
                j += 2; // the "--" may close at once: "<!-->"
                continue;
            }
            ++j;
            continue;
        }
        const char c = in[j];
        if (c == '-' && j + 2 < n && in[j + 1] == '-' && in[j + 2] == '>') {
            state = Plain;
            j += 3;
            continue;
        }
        if (c == '<') {
            if (endTagAt(j, "script")) {
                if (state == Escaped)
                    return j;
                state = Escaped;
                j += 8;
                continue;
            }
            if (state == Escaped && startTagAt(j)) {
                state = DoubleEscaped;
                j += 7;
                continue;
            }
        }
        ++j;
    }
    return n;
}
