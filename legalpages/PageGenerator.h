#pragma once

#include "core/UserMessage.h"
#include "legalpages/PageCharset.h"
#include "legalpages/PageNames.h"
#include "legalpages/PageReplacement.h"
#include "legalpages/PagesJob.h"
#include "site/Facts.h"
#include "site/PageLanguage.h"
#include "site/ServiceCatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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
//
// Pages are written through FolderWriter: never through a link, never over anything that is not a
// regular file. Each page carries a fingerprint (PageReplacement), and a file already there is
// replaced only as PageReplacement decides: one identical to the new page is left untouched (and
// counts as written); our own unchanged page is replaced; an edited or foreign one only when the
// replacement question says yes (no question: it is kept).
//
// Each catalogue text is first worked out in the pages' template language (site/PageLanguage.h)
// on the site's facts (none unless useFacts() gives them), so a text without its marks is used as
// it is. prepare() refuses the run when a page needs a fact that is still open (unless drafts are
// asked for) or a page template is faulty; the review notes of each page are kept for the caller
// and never written. A page already in the site that differs from the new one only in its date is
// left untouched (PageDate), when it is our own unchanged page.
class PageGenerator {
public:
    struct Page {
        PageNames names;
        QString content;        // the catalogue text, as read
        QString text;           // the finished page
        QString path;           // where it was (or should have been) written
        QStringList review;     // the notes for the publisher, taken out of the page
        bool unchanged = false; // the page there differed only in its date and was kept
        bool applies = true;    // false: the facts leave its text empty, so it is not written
    };

    struct Review {
        QString fileName; // "privacy-policy.html"
        QString title;    // "Privacy Policy"
        QStringList notes;
    };

    struct Failure {
        QString fileName; // the page file name, "privacy-policy.html"
        QString reason;
    };

    struct PlannedPage {
        PageNames names;
        QString path;
        bool replaces = false; // a file of that name is already in the site folder
        PageReplacement::Decision decision = PageReplacement::Decision::Write;
        QString refusal; // why the page cannot be written at all, or empty
    };

    // Asked before an edited or foreign page is replaced: the page file name, what was found, and
    // how many pages of the job come after this one. True replaces it.
    using ReplaceQuestion =
        std::function<bool(const QString &fileName, PageReplacement::Decision found, int after)>;

    explicit PageGenerator(PagesJob job);

    // The site's facts the pages state, and whether an open fact may show as "[CHECK: question]"
    // instead of refusing the run. The job's site name, address and e-mail, where given, are the
    // facts site.name, site.url and site.email. Call before prepare().
    void useFacts(const Facts &facts, bool draft);
    // With facts from a facts file (the command line), an empty site name, address or e-mail is
    // an open fact like any other (site.name, site.url, site.email) instead of the window's
    // "Missing Info" refusal; a draft shows its question in its place.
    void treatSiteFieldsAsFacts() { m_siteFieldsAreFacts = true; }
    // The catalogue of services the pages' lists and tables describe the used services from.
    void useCatalogue(const ServiceCatalogue &catalogue) { m_catalogue = catalogue; }

    static QString templatePath(const QString &pagesFolder);
    const PagesJob &job() const { return m_job; }

    // Every check made before a page is written, in this order: the inputs (PagesJob::refusal),
    // the HTML page template (it can be read, is not empty and holds "#CONTENT#"), and the page
    // names (no two pages of the job may be written to one file). Returns false with the message
    // to show when one fails; nothing has been written then.
    bool prepare(UserMessage *refusal);

    void setReplaceQuestion(ReplaceQuestion question) { m_question = std::move(question); }
    // After prepare(): the open facts the pages need (keys, in order of first use), the faults of
    // the page templates ("privacy-policy.txt: line 3: ..."), and each page's review notes.
    const QStringList &missingFacts() const { return m_missing; }
    const QStringList &templateFaults() const { return m_faults; }
    const QList<Review> &reviews() const { return m_reviews; }

    // The pages (file names) that do not apply to this site: a template whose whole text is
    // conditional ("[if shop.products != none]" ... "[end]") renders empty on facts that do not
    // meet its condition. Such a page is not written, not linked and not present for "page:NAME".
    const QStringList &notApplicable() const { return m_notApplicable; }

    // What a run writes, in order, and which files already there it replaces; nothing is written.
    QList<PlannedPage> plan() const;
    int count() const { return int(m_job.pages.size()); }

    // Makes the page of the job's entry at index, named after its display name and filled with the
    // text of the file it was listed from. Returns false, and remembers why, when the page could
    // not be written; a page kept as it was (see kept()) is no failure. *page receives what was
    // made either way. prepare() must have passed; an index outside the job makes nothing.
    bool makePage(int index, Page *page = nullptr);
    // Makes every page, in order.
    void makeAll();

    // The page file names written so far, in the order they were made.
    const QStringList &written() const { return m_written; }
    const QList<Failure> &failures() const { return m_failures; }
    // The pages kept as they were (edited or not ours), with why; linked like the written ones.
    const QList<Failure> &kept() const { return m_kept; }
    // Why a kept page was kept, for a decision that needs consent.
    static QString keptReason(PageReplacement::Decision found);
    // One text listing every page that failed and why, or an empty text when none failed.
    QString failureReport() const;
    // The link code of the pages written so far, not yet closed; empty while none was written.
    const QString &links() const { return m_links; }
    // The finished link code, or an empty text when no page was written.
    QString linkCode() const;

private:
    std::optional<UserMessage> checkTemplate();
    std::optional<UserMessage> checkNames() const;
    // The bytes of the page at index, fingerprinted; false with the reason when its catalogue file
    // cannot be read.
    bool compose(int index, Page &made, QByteArray &bytes, QString *reason) const;
    // What stands at the page's place: nothing, the bytes of a regular file (without what the
    // program placed into it later), or a reason it cannot be written.
    std::optional<QByteArray> existing(const QString &fileName, QString *refusal) const;
    std::optional<UserMessage> checkFacts();
    PageLanguage::Context context() const;
    std::optional<PageLanguage::PageLink> pageLink(const QString &name) const;

    PagesJob m_job;
    PageCharset m_charset;
    bool m_prepared = false;
    QStringList m_written;
    QList<Failure> m_failures;
    QList<Failure> m_kept;
    QString m_links;
    ReplaceQuestion m_question;
    Facts m_facts;
    bool m_draft = false;
    bool m_siteFieldsAreFacts = false;
    std::optional<ServiceCatalogue> m_catalogue;
    QStringList m_missing;
    QStringList m_faults;
    QList<Review> m_reviews;
    QStringList m_notApplicable;
};
