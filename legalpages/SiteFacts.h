#pragma once

#include <QString>

// What the user tells about the web site, used exactly as typed: no trimming, no check of form.
struct SiteFacts {
    QString name;
    QString url;
    QString email;
};
