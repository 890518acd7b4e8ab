#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One thing a service keeps on a visitor's device: a cookie, a local storage entry, a pixel's id.
struct ServiceStorage {
    QString name;
    QString duration;
    QString purpose;
};

// How a service shows itself in a page. A URL rule is "HOST[/PATH][?PARAM]":
// - HOST matches that host and every host under it ("youtube.com" matches "www.youtube.com");
//   "NAME.*" matches NAME under any top-level domain ("amazon.*": amazon.com, amazon.co.uk);
//   "*" matches any host and a relative address, and then PATH may stand anywhere in the path;
// - PATH, when given, must begin the address's path (letter case aside);
// - ?PARAM, when given, must begin one of the query's parameters ("?tag=", "?id=G-").
struct ServiceDetection {
    QStringList loads;   // addresses a page loads: src, srcset, data-*, link href, form action
    QStringList links;   // addresses a page links to (a and area href): affiliate link shapes
    QStringList inlines; // exact texts in an inline script or style body
};

// A third-party service as the catalogue describes it (templates/services/ID.toml).
struct Service {
    QString id; // the file name without ".toml"
    QString name;
    QString company;
    QString companyCountry; // two-letter ISO code
    QString category;       // one of ServiceCatalogue::categories()
    QString purpose;        // what the site uses it for, as a sentence part
    QString data;           // what it receives about a visitor
    bool setsCookies = false;
    // Sharing a visitor's data with it is a "sale" or "sharing" in California terms.
    bool californiaSale = false;
    QStringList dataCountries;
    QString transferBasis; // what lawfully carries the data out of the EU/UK
    QString privacyUrl;
    QString optOutUrl; // may be empty
    QList<ServiceStorage> stores;
    // A variant that keeps no identifier (a no-cookie video host); variantOf names the other.
    bool privacyEnhanced = false;
    QString variantOf;
    ServiceDetection detection;
    QDate checked; // when its facts were last checked against its own documentation
};
