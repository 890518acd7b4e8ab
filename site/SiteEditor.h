#pragma once

#include "site/PageEdit.h"

#include <QString>

#include <functional>

// One pass over the HTML pages of a site (*.html and *.htm, in every folder below the top one,
// hidden names and the consent banner's own folder left out), placing what PageEdit places, or
// taking it out, page by page: a page is read, edited in memory and written back before the next
// one is read, so memory does not grow with the number of pages. Symbolic links (to pages or to
// folders) are never followed and pages of other shapes (a frameset, no body, a page with other
// hard links) are named and left alone. Pages are written through SafeWrite.
class SiteEditor {
public:
    struct Page {
        QString path; // from the site's top folder, "blog/first-post.html"
        PageEdit::Result::Outcome outcome = PageEdit::Result::Unchanged;
        bool failed = false; // could not be read or written (reason says why)
        QString reason;
        QStringList changes;
    };

    struct Summary {
        int changed = 0;
        int unchanged = 0;
        int refused = 0;
        int failed = 0;
    };

    using Report = std::function<void(const Page &)>;

    // Walks siteFolder; with dryRun nothing is written and each page says what would change.
    static Summary run(const QString &siteFolder, const PageEdit::Placement &placement, bool dryRun,
                       const Report &report);
};
