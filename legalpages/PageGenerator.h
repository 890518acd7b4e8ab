#pragma once

#include "app/Catalogue.h"
#include "legalpages/PageNames.h"
#include "legalpages/SiteFacts.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Writes legal pages into a web site's folder: one page per catalogue entry it is given, filled
// into the HTML page template (pages folder + "/html/template.html") as PageFormat says.
//
// Each page is composed in memory and written atomically as UTF-8, so the site folder never holds
// an unfilled copy of the template or half a page. The template is read once, by loadTemplate(),
// before any page is made. A page whose catalogue file cannot be read, or that cannot be written,
// is left out and remembered with its reason; the other pages go on.
class PageGenerator {
public:
    struct Page {
        PageNames names;
        QString content; // the catalogue text, as read
        QString text;    // the finished page
        QString path;    // where it was (or should have been) written
    };

    struct Failure {
        QString fileName; // the page file name, "privacy-policy.html"
        QString reason;
    };

    PageGenerator(const QString &pagesFolder, const QString &siteFolder, const SiteFacts &site,
                  const QDate &date);

    static QString templatePath(const QString &pagesFolder);

    // Reads the HTML page template. On failure *error names it and tells why.
    bool loadTemplate(QString *error = nullptr);

    // Makes the page of one catalogue entry, named after its display name and filled with the text
    // of the file it was listed from. Returns false, and remembers why, when the page was not
    // written. *page receives what was made either way.
    bool makePage(const CatalogueEntry &entry, Page *page = nullptr);

    // The page file names written so far, in the order they were made.
    const QStringList &written() const { return m_written; }
    const QList<Failure> &failures() const { return m_failures; }
    // One text listing every page that failed and why, or an empty text when none failed.
    QString failureReport() const;

private:
    QString m_pagesFolder;
    QString m_siteFolder;
    SiteFacts m_site;
    QDate m_date;
    QString m_template;
    bool m_templateLoaded = false;
    QStringList m_written;
    QList<Failure> m_failures;
};
