#pragma once

#include "site/Facts.h"
#include "site/PageEdit.h"
#include "site/ServiceCatalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The consent banner the program installs into a static site: the library (vanilla-cookieconsent,
// MIT, beside the program in consent/) copied into the site's "clausewright-consent" folder, with
// a settings file written from the site's facts. The banner offers one category per kind of
// service the site uses that can wait for consent; "Reject all" stands beside "Accept all" with
// the same weight; a browser's Global Privacy Control signal takes advertising off the table and
// is shown as honoured in the page's footer. The scripts and iframes of those services wait for
// their category (PageEdit's matcher holds them back).
namespace ConsentBanner {

struct Category {
    QString id; // the catalogue's category: "analytics", "advertising", ...
    QList<const Service *> services;
};

QString folderName();
// The library's id in the service catalogue: a scan of a wired page finds it.
QString serviceId();
// The files the program puts into the consent folder.
QStringList fileNames();

// The categories of the services the facts list that wait for consent, in the catalogue's order.
QList<Category> categories(const Facts &facts, const ServiceCatalogue &catalogue);
// The settings file, consent-config.js.
QByteArray settings(const QList<Category> &categories);
// Holds back a script or iframe of a catalogue service of one of these categories.
PageEdit::ServiceMatcher matcher(std::shared_ptr<const ServiceCatalogue> catalogue,
                                 const QList<Category> &categories);

// Copies the library from libraryFolder and writes the settings into the site's consent folder
// (made when missing; a link in its place is refused).
bool install(const QString &siteFolder, const QString &libraryFolder, const QByteArray &settings,
             QString *error);
// Removes the program's files from the consent folder, and the folder when nothing else is left
// in it. removed receives the names taken out (or, in a dry run, that would be).
bool remove(const QString &siteFolder, bool dryRun, QStringList *removed, QString *error);

} // namespace ConsentBanner
