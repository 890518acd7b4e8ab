#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the program puts into one of the site's own pages, and how it takes it out again.
//
// A page is never rewritten: its bytes are read as they are and the program's text is spliced in
// at tag positions found by HtmlTokenizer, so every byte outside the insertion stays (encoding,
// byte order mark, line ends, letter case, comments). Every insertion is marked: a block between
// "<!-- clausewright:NAME -->" and "<!-- /clausewright:NAME -->", or a run of attributes after a
// tag's name that ends in "data-clausewright". strip() removes exactly these, giving back the page
// as it was before the program ever touched it; edit() strips first and then places afresh, so a
// second run gives the same bytes as the first.
namespace PageEdit {

struct LegalLink {
    QString fileName;        // in the site's top folder, "privacy-policy.html"
    QString title;           // "Privacy Policy"
    bool optOutIcon = false; // "Your Privacy Choices": shown with the California opt-out icon
};

// A third-party script or iframe held back until the reader consents to its category.
struct Held {
    QString category; // "analytics", "advertising", ...
    QString service;  // the service's id
};

// Decides whether a script or iframe belongs to a service: given the tag's name ("script" or
// "iframe"), its src (empty for an inline script) and an inline script's text.
using ServiceMatcher =
    std::function<std::optional<Held>(QByteArrayView tag, QByteArrayView src, QByteArrayView text)>;

struct Placement {
    QList<LegalLink> links; // the links of the footer block; none: no links
    bool consent = false;   // wire the consent banner
    QString consentFolder;  // where its files lie, from the site's top folder
    ServiceMatcher matcher; // which tags to hold back (consent only)
};

struct Result {
    enum Outcome { Unchanged, Changed, Refused };
    Outcome outcome = Unchanged;
    QByteArray bytes;    // the page's new bytes (Changed)
    QString reason;      // why the page is left alone (Refused)
    QStringList changes; // what changes, for a dry run: "links in <footer>", ...
};

// The page without anything the program put into it.
QByteArray strip(QByteArrayView page);

// The page with the program's insertions placed afresh. depth is the number of folders between
// the site's top folder and the page (0 for a page beside index.html), for relative links.
Result edit(QByteArrayView page, int depth, const Placement &placement);

} // namespace PageEdit
