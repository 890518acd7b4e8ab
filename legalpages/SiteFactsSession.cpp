#include "legalpages/SiteFactsSession.h"

#include "controllib/QkFile.h"
#include "site/FactQuestions.h"
#include "site/FactsFile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

SiteFactsSession::SiteFactsSession(const QString &siteFolder, const QString &dataFolder)
    : m_siteFolder(QDir::cleanPath(QFileInfo(siteFolder).absoluteFilePath())),
      m_factsPath(FactsFile::defaultPath(siteFolder)),
      m_catalogue(ServiceCatalogue::load(ServiceCatalogue::folderIn(dataFolder))),
      m_scan(SiteScan::scan(m_siteFolder, m_catalogue)) {
    m_facts = FactCheck::prefilled(Facts(), m_scan, m_catalogue);
}

bool SiteFactsSession::load(const QString &path, QString *error) {
    m_factsPath = path;
    Facts read;
    bool ok = true;
    if (QFileInfo::exists(path))
        ok = FactsFile::load(path, read, error);
    m_facts = FactCheck::prefilled(read, m_scan, m_catalogue);
    return ok;
}

bool SiteFactsSession::save(const QString &path, QString *error) {
    const QString text = FactsFile::write(m_facts, FactCheck::scanNotes(m_scan, m_catalogue));
    if (!QkFile::writeBytes(text.toUtf8(), path, error))
        return false;
    m_factsPath = path;
    return true;
}

bool SiteFactsSession::insideSite(const QString &path) const {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(m_siteFolder + QLatin1Char('/'));
}

QList<FactCheck::Contradiction> SiteFactsSession::contradictions() const {
    return FactCheck::contradictions(m_facts, m_scan, m_catalogue);
}

std::shared_ptr<const PageLayout> SiteFactsSession::layout(QString *problem) const {
    const QString page = m_facts.text(QStringLiteral("place.layout"));
    if (page.isEmpty())
        return nullptr;
    std::optional<PageLayout> loaded = PageLayout::load(m_siteFolder, page, QString(), problem);
    if (!loaded)
        return nullptr;
    return std::make_shared<const PageLayout>(std::move(*loaded));
}

PageGenerator SiteFactsSession::generator(const QString &pagesFolder,
                                          const QList<CatalogueEntry> &pages,
                                          const ::SiteFacts &site, bool draft) const {
    PageGenerator generator(
        {pagesFolder, m_siteFolder, pages, site, QDate::currentDate(), layout(nullptr)});
    generator.useFacts(m_facts, draft);
    generator.useCatalogue(m_catalogue);
    return generator;
}

bool SiteFactsSession::setAnswer(Facts &facts, const QString &key, const QString &typed) {
    const FactQuestion *q = FactQuestions::find(key);
    if (!q)
        return false;
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        facts.clear(key);
        return true;
    }
    switch (q->kind) {
    case Facts::Kind::Bool: {
        const QString word = text.toLower();
        if (word == QLatin1String("true") || word == QLatin1String("yes"))
            facts.set(key, true);
        else if (word == QLatin1String("false") || word == QLatin1String("no"))
            facts.set(key, false);
        else
            return false;
        return true;
    }
    case Facts::Kind::List:
        if (text == QLatin1String("none") || text == QLatin1String("[]"))
            facts.set(key, QStringList{});
        else
            facts.set(
                key, text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts));
        return true;
    case Facts::Kind::Text:
        facts.set(key, typed);
        return true;
    }
    return false;
}

QString SiteFactsSession::answerText(const Facts &facts, const QString &key) {
    if (!facts.known(key))
        return QString();
    const FactQuestion *q = FactQuestions::find(key);
    if (q && q->kind == Facts::Kind::List && facts.list(key).isEmpty())
        return QStringLiteral("none");
    return facts.display(key);
}
