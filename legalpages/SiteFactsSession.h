#pragma once

#include "core/Catalogue.h"
#include "legalpages/PageGenerator.h"
#include "legalpages/SiteFacts.h"
#include "site/FactCheck.h"
#include "site/Facts.h"
#include "site/ServiceCatalogue.h"
#include "site/SiteScan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// What the Site Facts window and "Add Pages" know about one site, without a window: its facts
// file (by default beside the site folder, FactsFile::defaultPath), the scan of its pages against
// the service catalogue, and what the ticked pages need and ask the publisher to check.
class SiteFactsSession {
public:
    // dataFolder holds templates/ (templates/services, templates/pages).
    SiteFactsSession(const QString &siteFolder, const QString &dataFolder);

    const QString &siteFolder() const { return m_siteFolder; }
    const ServiceCatalogue &catalogue() const { return m_catalogue; }
    const SiteScanResult &scan() const { return m_scan; }

    // The facts file and its answers. load() reads path (a missing file is no fault: no answers
    // yet); the facts are then prefilled from the scan. False with "FILE:LINE:COL: message" when
    // the file is faulty; the facts are the scan's then.
    const QString &factsPath() const { return m_factsPath; }
    bool load(const QString &path, QString *error);
    const Facts &facts() const { return m_facts; }
    void setFacts(const Facts &facts) { m_facts = facts; }
    // Writes the complete facts file to path (which becomes factsPath()).
    bool save(const QString &path, QString *error);
    // True when path lies inside the site folder, which is published as it is.
    bool insideSite(const QString &path) const;

    QList<FactCheck::Contradiction> contradictions() const;

    // The page of the site whose look the legal pages take (place.layout), or none; a page that
    // cannot lend its look gives none and the reason in *problem.
    std::shared_ptr<const PageLayout> layout(QString *problem) const;

    // A run of the legal pages job on these facts, for the ticked pages and the site fields, in
    // the look of the layout page when there is one.
    PageGenerator generator(const QString &pagesFolder, const QList<CatalogueEntry> &pages,
                            const ::SiteFacts &site, bool draft = false) const;

    // The answer typed for a question, as the facts hold it: nothing stored when empty (open); a
    // list from ids between commas or blanks; "true"/"yes" and "false"/"no" for yes-or-no facts.
    // False when the text is no answer of the question's kind.
    static bool setAnswer(Facts &facts, const QString &key, const QString &typed);
    // The answer as the window shows it for typing: lists joined with ", ".
    static QString answerText(const Facts &facts, const QString &key);

private:
    QString m_siteFolder;
    QString m_factsPath;
    ServiceCatalogue m_catalogue;
    SiteScanResult m_scan;
    Facts m_facts;
};
