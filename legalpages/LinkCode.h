#pragma once

#include "legalpages/PageNames.h"

#include <QString>

// The line of HTML that links a site's home page to its new legal pages, built one page at a time:
// <center><a href="privacy-policy.html">Privacy-Policy</a> - <a href="...">...</a></center>
// The link target and text are escaped for HTML ("&", "<", ">" and '"'); in the target "%", "#"
// and "?" are also percent-encoded, as they are part of the page's file name, not of an address.
// Ordinary names hold none of these and come out as they are.
namespace LinkCode {

// The link code so far with one more link: the first one opens the centred line, every further
// one follows " - ".
QString withLink(const QString &links, const PageNames &page);
// The link code so far, closed with "</center>".
QString finished(const QString &links);

} // namespace LinkCode
