#pragma once

#include <QString>

// What the user tells about the web site, as typed: no trimming. PagesJob checks the form of the
// address and e-mail; PageFormat escapes all three for HTML.
struct SiteFacts {
    QString name;
    QString url;
    QString email;
};
