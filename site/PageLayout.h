#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A page of the site lending its look to the generated legal pages: everything outside the
// element that holds its own content (its <main>, or the element the user names: a tag name or
// "#id") stays byte for byte, with the <title> replaced and a canonical link of the layout page
// dropped; inside that element, between its own start and end tags, goes the legal page's content.
// The page is read with gumbo, as a browser would build its tree, and changed only by splicing
// at the tree's source positions.
class PageLayout {
public:
    // The layout page must lie in the site's top folder (its links are relative to it, as the
    // legal pages' are) as a regular file, and hold the element with an end tag of its own.
    static std::optional<PageLayout> load(const QString &siteFolder, const QString &page,
                                          const QString &element, QString *error);

    // The legal page in this look. composed is the legal page as the HTML page template makes it:
    // its <main> content (or, without one, its <body> content) goes in.
    QByteArray dress(const QString &title, const QString &composed) const;

    const QString &page() const { return m_page; }

private:
    QString m_page;
    QByteArray m_bytes;
    bool m_utf8 = true;
    qsizetype m_contentBegin = 0, m_contentEnd = 0; // inside the element's tags
    qsizetype m_titleBegin = -1, m_titleEnd = -1;   // the title's text
    qsizetype m_canonicalBegin = -1, m_canonicalEnd = -1;
};
