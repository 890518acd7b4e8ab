#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// The tags and comments of an HTML page, in source order, with their byte offsets: just the
// tokenizing states that decide where a tag is (data, tags with quoted attribute values, comments,
// doctype and other markup declarations, CDATA sections, and the raw text of script, style,
// textarea, title and their kin), so that a "</body>" inside a comment or a script string is never
// taken for a tag. Works on the page's bytes as they are: every tag of an ASCII-compatible
// encoding (UTF-8, Windows-1252) is found at the same offsets.
namespace TagScan {

struct Attribute {
    QByteArrayView name;  // as written
    QByteArrayView value; // without its quotes; empty when there is none
    qsizetype start = 0;  // offset of the name
    qsizetype end = 0;    // offset after the value (and its closing quote)
};

struct Token {
    enum Kind { StartTag, EndTag, Comment };
    Kind kind = StartTag;
    QByteArray name;       // lower case; empty for a comment
    qsizetype start = 0;   // offset of "<"
    qsizetype end = 0;     // offset after ">"
    qsizetype nameEnd = 0; // offset after the tag name
    QByteArrayView text;   // the whole token's bytes
    bool selfClosing = false;

    // The attributes of a start tag, parsed on demand.
    void attributes(const std::function<void(const Attribute &)> &each) const;
    QByteArrayView attribute(QByteArrayView lowerName, bool *present = nullptr) const;
};

// Calls each for every token; stops early when it returns false.
void scan(QByteArrayView page, const std::function<bool(const Token &)> &each);

} // namespace TagScan
