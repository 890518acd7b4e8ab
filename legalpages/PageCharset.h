#pragma once

#include "controllib/TextCodec.h"

#include <QString>

// The encoding a legal page is written in, chosen so that the page's bytes always agree with the
// charset its HTML declares. Pages are written in the encoding the HTML page template stands for:
//
// 1. A template that starts with a UTF-8 byte order mark gives UTF-8 pages with the mark, since
//    browsers follow the mark before any declaration.
// 2. Otherwise the template's first charset declaration in a <meta> tag (comments left out)
//    decides: a name browsers take for Windows-1252 ("windows-1252", "iso-8859-1", "latin1",
//    "us-ascii", ...) gives Windows-1252 pages, with "&#N;" for every character that code page
//    lacks; a name of UTF-8 gives UTF-8 pages.
// 3. A template that declares any other encoding, or declares one other than UTF-8 while it
//    starts with the mark, has every such declaration changed to "utf-8" in its pages, which are
//    then written in UTF-8: the program writes no other encodings.
// 4. A template without a declaration gives pages in its own encoding, as it was read (UTF-8, or
//    Windows-1252 when it is no valid UTF-8).
struct PageCharset {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    // The template's text to fill in, its declarations changed where rule 3 says so.
    QString htmlTemplate;

    static PageCharset forTemplate(const DecodedText &htmlTemplate);

    QByteArray encode(const QString &page) const;
};
