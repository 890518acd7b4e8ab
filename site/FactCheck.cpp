#include "site/FactCheck.h"

#include "site/FactQuestions.h"

namespace FactCheck {

namespace {

QString key(const QString &category) {
    return QStringLiteral("services.") + category;
}

// The found services of the catalogue, in catalogue order.
QList<const Service *> found(const SiteScanResult &scan, const ServiceCatalogue &catalogue) {
    QList<const Service *> services;
    for (const Service &s : catalogue.services()) {
        if (!scan.found.value(s.id).isEmpty())
            services.append(&s);
    }
    return services;
}

} // namespace

QString where(const QStringList &files) {
    if (files.isEmpty())
        return QString();
    if (files.size() == 1)
        return files.first();
    return QStringLiteral("%1 and %2 other file%3")
        .arg(files.first())
        .arg(files.size() - 1)
        .arg(files.size() == 2 ? QString() : QStringLiteral("s"));
}

QList<Contradiction> contradictions(const Facts &facts, const SiteScanResult &scan,
                                    const ServiceCatalogue &catalogue) {
    QList<Contradiction> out;
    for (const Service *s : found(scan, catalogue)) {
        const QString k = key(s->category);
        if (!facts.known(k) || facts.list(k).contains(s->id))
            continue;
        const QStringList files = scan.found.value(s->id);
        out.append({k, s->id, files.first(), int(files.size()),
                    QStringLiteral("%1 (%2, %3) is on the site's pages (%4), but %5 does not name "
                                   "it")
                        .arg(s->name, s->id, s->category, where(files), k)});
    }
    if (facts.known(QStringLiteral("consent.tool")) &&
        facts.text(QStringLiteral("consent.tool")) == QLatin1String("none")) {
        for (const Service *s : found(scan, catalogue)) {
            if (s->category != QLatin1String("consent"))
                continue;
            const QStringList files = scan.found.value(s->id);
            out.append({QStringLiteral("consent.tool"), s->id, files.first(), int(files.size()),
                        QStringLiteral("%1 (%2), a consent tool, is on the site's pages (%3), but "
                                       "consent.tool says \"none\"")
                            .arg(s->name, s->id, where(files))});
        }
    }
    for (const QString &category : FactQuestions::categories()) {
        for (const QString &id : facts.list(key(category))) {
            if (!catalogue.find(id))
                out.append({key(category), id, QString(), 0,
                            QStringLiteral("%1 names \"%2\", which no file of the service "
                                           "catalogue describes (templates/services/%2.toml)")
                                .arg(key(category), id)});
        }
    }
    return out;
}

Facts prefilled(const Facts &facts, const SiteScanResult &scan, const ServiceCatalogue &catalogue) {
    Facts out = facts;
    const QList<const Service *> services = found(scan, catalogue);
    for (const QString &category : FactQuestions::categories()) {
        if (facts.known(key(category)))
            continue;
        QStringList ids;
        for (const Service *s : services) {
            if (s->category == category)
                ids.append(s->id);
        }
        out.set(key(category), ids);
    }
    return out;
}

QMap<QString, QStringList> scanNotes(const SiteScanResult &scan,
                                     const ServiceCatalogue &catalogue) {
    QMap<QString, QStringList> notes;
    for (const Service *s : found(scan, catalogue))
        notes[key(s->category)].append(
            QStringLiteral("the scan found %1 in %2").arg(s->id, where(scan.found.value(s->id))));
    return notes;
}

} // namespace FactCheck
