#include "site/ServiceTexts.h"

#include "site/FactQuestions.h"

#include <QLocale>

namespace ServiceTexts {

namespace {

QString html(const QString &text) {
    return text.toHtmlEscaped();
}

// "US" -> "United States"; the catalogue's "EU" and "global" in words.
QString countryName(const QString &code) {
    if (code == QLatin1String("EU"))
        return QStringLiteral("the European Union");
    if (code.compare(QLatin1String("global"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("other countries worldwide");
    const QLocale::Territory t = QLocale::codeToTerritory(code);
    return t == QLocale::AnyTerritory ? code : QLocale::territoryToString(t);
}

QString countries(const QStringList &codes) {
    QStringList names;
    for (const QString &code : codes)
        names.append(countryName(code));
    return names.join(QStringLiteral(", "));
}

QList<const Service *> allUsed(const Facts &facts, const ServiceCatalogue &catalogue) {
    QList<const Service *> services;
    for (const QString &category : FactQuestions::categories())
        services += used(facts, catalogue, category);
    return services;
}

QString row(const QStringList &cells) {
    QString r = QStringLiteral("<tr>");
    for (const QString &cell : cells)
        r += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
    return r + QStringLiteral("</tr>\n");
}

QString table(const QStringList &heads, const QString &rows) {
    if (rows.isEmpty())
        return QString();
    QString t = QStringLiteral("<table>\n<thead><tr>");
    for (const QString &head : heads)
        t += QStringLiteral("<th>") + head + QStringLiteral("</th>");
    return t + QStringLiteral("</tr></thead>\n<tbody>\n") + rows +
           QStringLiteral("</tbody>\n</table>\n");
}

QString processing(const Facts &facts, const ServiceCatalogue &catalogue) {
    QString rows;
    for (const Service *s : allUsed(facts, catalogue)) {
        QStringList kept;
        for (const ServiceStorage &store : s->stores) {
            if (!store.duration.isEmpty() && !kept.contains(store.duration))
                kept.append(store.duration);
        }
        QString receives = html(s->company);
        if (!s->dataCountries.isEmpty())
            receives += QStringLiteral(", in ") + html(countries(s->dataCountries));
        if (!s->transferBasis.isEmpty() && s->transferBasis != QLatin1String("unknown"))
            receives += QStringLiteral(" (") + html(s->transferBasis) + QLatin1Char(')');
        // Consent is claimed only where a consent tool asks for it.
        const bool asked = facts.text(QStringLiteral("consent.tool")) != QLatin1String("none");
        rows += row({html(s->name), html(s->purpose), html(s->data),
                     !s->setsCookies ? QStringLiteral("Our legitimate interest in running the site")
                     : asked         ? QStringLiteral("Your consent")
                                     : QStringLiteral("Our legitimate interest in running the "
                                                              "site; no consent is asked before it loads"),
                     kept.isEmpty() ? QStringLiteral("As the service's privacy notice says")
                                    : html(kept.join(QStringLiteral("; "))),
                     receives});
    }
    return table({QStringLiteral("Service"), QStringLiteral("Purpose"), QStringLiteral("Data"),
                  QStringLiteral("Legal basis"), QStringLiteral("How long it is kept"),
                  QStringLiteral("Who receives it")},
                 rows);
}

QString cookies(const Facts &facts, const ServiceCatalogue &catalogue) {
    QString rows;
    for (const Service *s : allUsed(facts, catalogue)) {
        for (const ServiceStorage &store : s->stores)
            rows +=
                row({html(s->name), html(store.name), html(store.duration), html(store.purpose)});
    }
    return table({QStringLiteral("Service"), QStringLiteral("What it stores"),
                  QStringLiteral("How long"), QStringLiteral("Why")},
                 rows);
}

} // namespace

QList<const Service *> used(const Facts &facts, const ServiceCatalogue &catalogue,
                            const QString &category) {
    QList<const Service *> services;
    for (const QString &id : facts.list(QStringLiteral("services.") + category)) {
        if (const Service *s = catalogue.find(id))
            services.append(s);
    }
    return services;
}

QString list(const Facts &facts, const ServiceCatalogue &catalogue, const QString &category) {
    const QList<const Service *> services = used(facts, catalogue, category);
    if (services.isEmpty())
        return QString();
    QString out = QStringLiteral("<ul>\n");
    for (const Service *s : services) {
        out += QStringLiteral("<li>") + html(s->name) + QStringLiteral(", by ") + html(s->company);
        if (!s->companyCountry.isEmpty())
            out += QStringLiteral(" (") + html(countryName(s->companyCountry)) + QLatin1Char(')');
        if (!s->privacyUrl.isEmpty())
            out += QStringLiteral(": <a href=\"") + html(s->privacyUrl) +
                   QStringLiteral("\">its privacy notice</a>");
        out += QStringLiteral("</li>\n");
    }
    return out + QStringLiteral("</ul>\n");
}

std::optional<QString> table(const Facts &facts, const ServiceCatalogue &catalogue,
                             const QString &name) {
    if (name == QLatin1String("processing"))
        return processing(facts, catalogue);
    if (name == QLatin1String("cookies"))
        return cookies(facts, catalogue);
    return std::nullopt;
}

PageLanguage::Context context(const ServiceCatalogue &catalogue, const Facts &facts) {
    PageLanguage::Context c;
    c.world.categoryOf = [&catalogue](const QString &id) {
        const Service *s = catalogue.find(id);
        return s ? s->category : QString();
    };
    c.world.sellsInCalifornia = [&catalogue](const QString &id) {
        const Service *s = catalogue.find(id);
        return s && s->californiaSale;
    };
    c.list = [&catalogue, &facts](const QString &category) {
        return list(facts, catalogue, category);
    };
    c.table = [&catalogue, &facts](const QString &name) { return table(facts, catalogue, name); };
    return c;
}

} // namespace ServiceTexts
