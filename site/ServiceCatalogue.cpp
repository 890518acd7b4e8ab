#include "site/ServiceCatalogue.h"

#include "core/FolderListing.h"
#include "site/ServiceFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

const QStringList &ServiceCatalogue::categories() {
    static const QStringList names{QStringLiteral("analytics"),  QStringLiteral("advertising"),
                                   QStringLiteral("affiliate"),  QStringLiteral("embed"),
                                   QStringLiteral("newsletter"), QStringLiteral("comments"),
                                   QStringLiteral("fonts"),      QStringLiteral("payments"),
                                   QStringLiteral("consent"),    QStringLiteral("other")};
    return names;
}

QString ServiceCatalogue::folderIn(const QString &dataFolder) {
    return dataFolder + QStringLiteral("/templates/services");
}

ServiceCatalogue::ServiceCatalogue()
    : m_matcher(std::make_shared<const ServiceMatcher>(m_services)) {}

ServiceCatalogue::ServiceCatalogue(QList<Service> services)
    : m_services(std::move(services)),
      m_matcher(std::make_shared<const ServiceMatcher>(m_services)) {}

std::optional<Service> ServiceCatalogue::parse(const QByteArray &text, const QString &id,
                                               const QString &fileName, QString *error) {
    return ServiceFile::parse(text, id, fileName, error);
}

ServiceCatalogue ServiceCatalogue::load(const QString &folder) {
    QList<Service> services;
    QStringList errors;
    if (!QFileInfo(folder).isDir()) {
        ServiceCatalogue empty;
        empty.m_errors.append(QStringLiteral("%1: not a folder").arg(folder));
        return empty;
    }
    const QByteArrayList names = FolderListing::localNames(folder, {QStringLiteral("*.toml")});
    for (const QByteArray &local : names) {
        const QString shown = FolderListing::shownName(local);
        const QString path = folder + QLatin1Char('/') + shown;
        QFile file(QFile::decodeName(QFile::encodeName(folder) + '/' + local));
        if (!file.open(QIODevice::ReadOnly)) {
            errors.append(QStringLiteral("%1: %2").arg(path, file.errorString()));
            continue;
        }
        QString error;
        const QString id = shown.chopped(5);
        if (std::optional<Service> service = parse(file.readAll(), id, path, &error))
            services.append(std::move(*service));
        else
            errors.append(error);
    }
    ServiceCatalogue catalogue(std::move(services));
    catalogue.m_errors = errors;
    return catalogue;
}

const Service *ServiceCatalogue::find(const QString &id) const {
    for (const Service &s : m_services) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

QList<const Service *> ServiceCatalogue::inCategory(const QString &category) const {
    QList<const Service *> result;
    for (const Service &s : m_services) {
        if (s.category == category)
            result.append(&s);
    }
    return result;
}

const Service *ServiceCatalogue::matchUrl(QByteArrayView url, Use use) const {
    int best = -1;
    int bestWeight = -1;
    for (const Hit &h : m_matcher->hits(url, use)) {
        if (h.weight > bestWeight || (h.weight == bestWeight && h.service < best)) {
            best = h.service;
            bestWeight = h.weight;
        }
    }
    return best < 0 ? nullptr : &m_services.at(best);
}

QList<const Service *> ServiceCatalogue::matchUrlAll(QByteArrayView url, Use use) const {
    QList<const Service *> result;
    const QList<Hit> found = m_matcher->hits(url, use);
    if (found.isEmpty())
        return result;
    // A service and its variants form a family named by the ordinary one's id.
    auto family = [&](int s) {
        const Service &service = m_services.at(s);
        return service.variantOf.isEmpty() ? service.id : service.variantOf;
    };
    for (int s = 0; s < m_services.size(); ++s) {
        int weight = -1;
        for (const Hit &h : found) {
            if (h.service == s)
                weight = std::max(weight, h.weight);
        }
        if (weight < 0)
            continue;
        const bool beaten = std::any_of(found.begin(), found.end(), [&](const Hit &h) {
            return h.service != s && family(h.service) == family(s) &&
                   (h.weight > weight || (h.weight == weight && h.service < s));
        });
        if (!beaten)
            result.append(&m_services.at(s));
    }
    return result;
}

QList<const Service *> ServiceCatalogue::matchInline(QByteArrayView text) const {
    QList<const Service *> result;
    for (int s : m_matcher->inlineHits(text))
        result.append(&m_services.at(s));
    return result;
}
