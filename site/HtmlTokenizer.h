#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Splits a page's bytes into tokens as a browser's tokenizer does, for the states a scan and a
// splicer need: text, start and end tags with their attributes (quoted, unquoted, without value),
// comments (bogus ones too: "<!x>", "<?php ...>", "</ x>"), the doctype, the raw text of
// script (with its "<!--" escapes), style, xmp, iframe, noembed and noframes, the text of title
// and textarea, and plaintext. It builds no tree and reads no character references; every token
// knows where its bytes lie in the input, so a caller can splice new bytes at exact offsets.
//
// Not followed: foreign content (a <style> inside <svg> is read as HTML's) and the tree's own
// corrections (an implied end tag is no token). A tag cut off by the end of the input is no token,
// as in a browser; its bytes are then covered by no token.
class HtmlTokenizer {
public:
    enum class Kind {
        Text,     // data, or the text of title/textarea/plaintext
        RawText,  // the body of script, style, xmp, iframe, noembed, noframes
        StartTag, // "<name ...>"
        EndTag,   // "</name ...>"
        Comment,  // "<!-- ... -->" and the bogus ones
        Doctype,  // "<!DOCTYPE ...>"
    };

    struct Attribute {
        QByteArrayView name;  // as written; compare with is()
        QByteArrayView value; // raw bytes, character references unread; empty when none
        qsizetype nameBegin = 0;
        qsizetype valueBegin = 0; // the value's bytes, inside any quotes; begin == end when empty
        qsizetype valueEnd = 0;
        char quote = 0;        // '"' or '\'' around the value; 0 when unquoted or without one
        bool hasValue = false; // "name=..." rather than a bare "name"
        // True when the name is lowerName, letter case aside (lowerName in lower case).
        bool is(QByteArrayView lowerName) const;
    };

    struct Token {
        Kind kind = Kind::Text;
        QByteArray name; // tags: the name in lower case
        QList<Attribute> attributes;
        bool selfClosing = false;
        qsizetype begin = 0; // the token's bytes: [begin, end)
        qsizetype end = 0;
        // Comment: between "<!--" and "-->" (or what a bogus comment holds); Doctype: between
        // "<!DOCTYPE" and ">"; text tokens: [begin, end).
        qsizetype contentBegin = 0;
        qsizetype contentEnd = 0;
        // The first attribute of that name (lower case), or nullptr: a browser ignores the others.
        const Attribute *attribute(QByteArrayView lowerName) const;
    };

    // The input must outlive the tokenizer and its tokens: they point into it.
    explicit HtmlTokenizer(QByteArrayView input);

    // Reads the next token into token (its storage is reused); false at the end of the input.
    bool next(Token &token);
    // Where the next token begins.
    qsizetype position() const { return m_pos; }

private:
    enum class State { Data, RawText, Rcdata, ScriptData, Plaintext };

    bool text(Token &token, qsizetype end, Kind kind);
    bool markup(Token &token);
    bool tag(Token &token, bool endTag);
    bool comment(Token &token, qsizetype contentBegin, qsizetype end, qsizetype contentEnd);
    qsizetype rawTextEnd() const;
    qsizetype scriptDataEnd() const;
    bool endTagAt(qsizetype at, QByteArrayView lowerName) const;

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    State m_state = State::Data;
    QByteArray m_rawName; // the element whose end tag ends the raw text
};
