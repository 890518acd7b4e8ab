#pragma once

#include <QString>

// The names a legal page takes from its catalogue entry's display name, "Privacy Policy":
// the page title is the display name itself; the stem turns every blank into "-"
// ("Privacy-Policy"); the page file is the stem with ".html", all in lower case
// ("privacy-policy.html"); the home-page link points at that bare file name and reads as the stem.
struct PageNames {
    QString title;
    QString stem;
    QString fileName;
    QString linkTarget;
    QString linkText;

    static PageNames fromDisplayName(const QString &displayName);
};
