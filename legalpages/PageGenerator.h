#pragma once

#include "core/UserMessage.h"
#include "legalpages/PageCharset.h"
#include "legalpages/PageNames.h"
#include "legalpages/PagesJob.h"

#include <QList>
#include <QString>
#include <QStringList>

// The legal pages job: writes one page per catalogue entry of a PagesJob into the site's folder,
// filled into the HTML page template (pages folder + "/html/template.html") as PageFormat says,
// and builds the home-page link code of the pages written. The window and the command line both
// run it: prepare() makes every check, then the pages are made one at a time (makePage) or all
// at once (makeAll).
//
// Each page is composed in memory and saved atomically with a verified save, in the encoding
// PageCharset chooses for the template, so the site folder never holds an unfilled copy of the
// template, half a page or a page whose bytes disagree with its declared charset. A page whose
// catalogue file cannot be read, or that cannot be written, is left out of the link code and
// remembered with its reason; the other pages go on. A file it would have replaced stays as it
// was.
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

    struct PlannedPage {
        PageNames names;
        QString path;
        bool replaces = false; // a file of that name is already in the site folder
    };

    explicit PageGenerator(PagesJob job);

    static QString templatePath(const QString &pagesFolder);
    const PagesJob &job() const { return m_job; }

    // Every check made before a page is written, in this order: the inputs (PagesJob::refusal),
    // the HTML page template (it can be read, is not empty and holds "#CONTENT#"), and the page
    // names (no two pages of the job may be written to one file). Returns false with the message
    // to show when one fails; nothing has been written then.
    bool prepare(UserMessage *refusal);

    // What a run writes, in order, and which files already there it replaces; nothing is written.
    QList<PlannedPage> plan() const;
    int count() const { return int(m_job.pages.size()); }

    // Makes the page of the job's entry at index, named after its display name and filled with the
    // text of the file it was listed from. Returns false, and remembers why, when the page was not
    // written. *page receives what was made either way. prepare() must have passed; an index
    // outside the job makes nothing.
    bool makePage(int index, Page *page = nullptr);
    // Makes every page, in order.
    void makeAll();

    // The page file names written so far, in the order they were made.
    const QStringList &written() const { return m_written; }
    const QList<Failure> &failures() const { return m_failures; }
    // One text listing every page that failed and why, or an empty text when none failed.
    QString failureReport() const;
    // The link code of the pages written so far, not yet closed; empty while none was written.
    const QString &links() const { return m_links; }
    // The finished link code, or an empty text when no page was written.
    QString linkCode() const;

private:
    std::optional<UserMessage> checkTemplate();
    std::optional<UserMessage> checkNames() const;

    PagesJob m_job;
    PageCharset m_charset;
    bool m_prepared = false;
    QStringList m_written;
    QList<Failure> m_failures;
    QString m_links;
};
