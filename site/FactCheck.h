#pragma once

#include "site/Facts.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The site's facts against what the scan found in its files, and the scan's answers for the
// questions still open.
namespace FactCheck {

// A fact the site's files say is wrong, or a service the facts name that nobody describes.
struct Contradiction {
    QString key;     // the fact, "services.advertising"
    QString service; // the service's id
    QString file;    // one file where the scan found it (relative to the site), or ""
    int files = 0;   // in how many files the scan found it
    QString text;    // one sentence saying it all
};

QList<Contradiction> contradictions(const Facts &facts, const SiteScanResult &scan,
                                    const ServiceCatalogue &catalogue);

// facts with every open services.<category> answered from the scan (the services found of that
// category, in catalogue order; [] when none was found). Answers already given stay.
Facts prefilled(const Facts &facts, const SiteScanResult &scan, const ServiceCatalogue &catalogue);

// What the scan found, per services.<category> key, as lines for the facts file:
// "the scan found google-analytics in index.html and 36 other files".
QMap<QString, QStringList> scanNotes(const SiteScanResult &scan, const ServiceCatalogue &catalogue);

// "index.html", "index.html and 1 other file", "index.html and 36 other files".
QString where(const QStringList &files);

} // namespace FactCheck
