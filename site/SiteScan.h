#pragma once

#include "site/ServiceCatalogue.h"

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Which services a static site's files load or link to. Read: every page (*.html, *.htm, ...),
// every HTML-like template of a site generator's source tree (*.njk, *.liquid, *.hbs, ...) and
// every style sheet (*.css, *.scss, *.sass, *.less) in the folder and the folders under it, but
// not hidden ones (".git") nor node_modules, and not through a link that leads out of the folder.
//
// Within a file only what a browser would load or follow counts: the addresses in src, srcset,
// href, action, data, poster, suppressedsrc (a held-back frame) and data-* attributes of script,
// iframe, frame, link, img, source, form, embed, object, video, audio, track and input; the href of
// a and area, matched against the link shapes (affiliate links); the inline texts of script and
// style bodies (not JSON or template scripts); and the url() and @import addresses of style
// bodies, style attributes and style sheets. Prose, comments and text areas never count.
struct SiteScanResult {
    struct Problem {
        QString path; // relative to the site folder, "/" between folders
        QString reason;
    };
    // Per service id, the files where it was found: relative paths, sorted.
    QMap<QString, QStringList> found;
    QList<Problem> unreadable;
    int filesRead = 0;
};

namespace SiteScan {

// The file name patterns read (letter case aside).
const QStringList &patterns();

SiteScanResult scan(const QString &siteFolder, const ServiceCatalogue &catalogue);

// The services one file's bytes load or link to, each once, in catalogue order.
QList<const Service *> scanPage(QByteArrayView page, const ServiceCatalogue &catalogue);

// Where in a page a service was found, for a caller that changes the page around it.
struct Finding {
    enum class How { Loads, LinksTo, Inline };
    const Service *service = nullptr;
    How how = How::Loads;
    qsizetype tagBegin = 0; // the element's start tag: [tagBegin, tagEnd)
    qsizetype tagEnd = 0;
    // The address (an attribute's value, or one candidate of a srcset), or the inline body.
    qsizetype begin = 0;
    qsizetype end = 0;
};
// Every place of page where a service was found, in the page's order (an address that reaches
// two services gives two findings).
QList<Finding> findings(QByteArrayView page, const ServiceCatalogue &catalogue);

} // namespace SiteScan
