#pragma once

#include "site/Service.h"
#include "site/ServiceMatcher.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The catalogue of third-party services: one TOML file per service in a folder
// (templates/services/ beside the program), and the matcher that tells which service an address
// or an inline script belongs to.
class ServiceCatalogue {
public:
    // How a page uses an address: it loads it (script, iframe, img, form, link) or links to it (a).
    using Use = ServiceMatcher::Use;

    // analytics, advertising, affiliate, embed, newsletter, comments, fonts, payments, consent,
    // other: the order pages list them in.
    static const QStringList &categories();
    // DATA_FOLDER/templates/services
    static QString folderIn(const QString &dataFolder);

    // Reads every "*.toml" directly inside folder, in order of file name. A file that cannot be
    // read or holds a fault is left out and named in errors() as "FILE:LINE:COL: message" (FILE
    // as folder/name). A folder that cannot be read gives an empty catalogue and one error.
    static ServiceCatalogue load(const QString &folder);
    // One service from its file's text; nullopt with "FILE:LINE:COL: message" in error on a fault.
    static std::optional<Service> parse(const QByteArray &text, const QString &id,
                                        const QString &fileName, QString *error);

    ServiceCatalogue();
    // A catalogue of these services (as read, in this order); for tests and a user's own list.
    explicit ServiceCatalogue(QList<Service> services);

    const QList<Service> &services() const { return m_services; }
    const QStringList &errors() const { return m_errors; }
    bool isEmpty() const { return m_services.isEmpty(); }

    const Service *find(const QString &id) const;
    QList<const Service *> inCategory(const QString &category) const;

    // The service an address belongs to, or nullptr. The address is taken as an attribute holds
    // it (character references such as "&amp;" are read); the most specific rule wins (the longer
    // host, path and parameter), and of equals the first service in the catalogue.
    const Service *matchUrl(QByteArrayView url, Use use) const;
    // Every service an address reaches, in catalogue order: a library on a public CDN is both the
    // library's service and the CDN's. Of a service and its variants (variantOf) only the one
    // with the most specific rule counts (a no-cookie player, not also the ordinary one).
    QList<const Service *> matchUrlAll(QByteArrayView url, Use use) const;
    // The services whose inline texts appear in a script or style body, in catalogue order.
    QList<const Service *> matchInline(QByteArrayView text) const;

private:
    using Hit = ServiceMatcher::Hit;

    QList<Service> m_services;
    QStringList m_errors;
    std::shared_ptr<const ServiceMatcher> m_matcher;
};
