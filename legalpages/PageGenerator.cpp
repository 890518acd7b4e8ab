#include "legalpages/PageGenerator.h"

#include "controllib/QkFile.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

PageGenerator::PageGenerator(PagesJob job) : m_job(std::move(job)) {}

QString PageGenerator::templatePath(const QString &pagesFolder) {
    return pagesFolder + QStringLiteral("/html/template.html");
}

bool PageGenerator::prepare(UserMessage *refusal) {
    m_prepared = false;
    std::optional<UserMessage> refused = m_job.refusal();
    if (!refused)
        refused = checkTemplate();
    if (!refused)
        refused = checkNames();
    if (refused) {
        if (refusal)
            *refusal = std::move(*refused);
        return false;
    }
    m_prepared = true;
    return true;
}

std::optional<UserMessage> PageGenerator::checkTemplate() {
    const QString path = QDir::toNativeSeparators(templatePath(m_job.pagesFolder));
    const auto refused = [&](const QString &what) {
        return UserMessage{QStringLiteral("The HTML page template \"%1\" %2. No page was written.")
                               .arg(path, what),
                           QStringLiteral("Error")};
    };
    DecodedText decoded;
    QString reason;
    if (!QkFile::LoadDecodedFromFile(decoded, templatePath(m_job.pagesFolder), &reason))
        return refused(QStringLiteral("cannot be read (%1)").arg(reason));
    if (decoded.text.isEmpty())
        return refused(QStringLiteral("is empty"));
    if (!decoded.text.contains(QStringLiteral("#CONTENT#")))
        return refused(QStringLiteral("has no \"#CONTENT#\" where the text of a page goes"));
    m_charset = PageCharset::forTemplate(decoded);
    return std::nullopt;
}

std::optional<UserMessage> PageGenerator::checkNames() const {
    // Page file name -> the catalogue files written to it, in catalogue order.
    QMap<QString, QStringList> sources;
    QStringList order;
    for (const CatalogueEntry &entry : m_job.pages) {
        const QString page = PageNames::fromDisplayName(entry.displayName).fileName;
        if (!sources.contains(page))
            order.append(page);
        sources[page].append(QFileInfo(entry.filePath).fileName());
    }
    QString clashes;
    for (const QString &page : std::as_const(order)) {
        if (sources.value(page).size() > 1)
            clashes += QStringLiteral("\n") + page + QStringLiteral(": ") +
                       sources.value(page).join(QStringLiteral(", "));
    }
    if (clashes.isEmpty())
        return std::nullopt;
    return UserMessage{QStringLiteral("These legal pages would be written to the same page file:"
                                      "\n%1\n\nRename or remove catalogue files so that each page "
                                      "has a name of its own. No page was written.")
                           .arg(clashes),
                       QStringLiteral("Error")};
}

QList<PageGenerator::PlannedPage> PageGenerator::plan() const {
    QList<PlannedPage> pages;
    for (const CatalogueEntry &entry : m_job.pages) {
        PlannedPage page;
        page.names = PageNames::fromDisplayName(entry.displayName);
        page.path = QDir(m_job.siteFolder).filePath(page.names.fileName);
        const QFileInfo there(page.path);
        page.replaces = there.exists() || there.isSymLink();
        pages.append(page);
    }
    return pages;
}

bool PageGenerator::makePage(int index, Page *page) {
    if (index < 0 || index >= count())
        return false;
    const CatalogueEntry &entry = m_job.pages.at(index);
    Page made;
    made.names = PageNames::fromDisplayName(entry.displayName);
    made.path = QDir(m_job.siteFolder).filePath(made.names.fileName);
    const auto fail = [&](const QString &reason) {
        m_failures.append({made.names.fileName, reason});
        if (page)
            *page = std::move(made);
        return false;
    };

    if (!m_prepared)
        return fail(QStringLiteral("the HTML page template was not read"));
    QString reason;
    if (!QkFile::LoadTextFromFile(made.content, entry.filePath, &reason))
        return fail(QStringLiteral("its page template \"%1\" cannot be read (%2)")
                        .arg(QFileInfo(entry.filePath).fileName(), reason));
    made.text = PageFormat::compose(m_charset.htmlTemplate, made.names.title, made.content,
                                    m_job.site, m_job.date);
    const QByteArray bytes = m_job.layout ? m_job.layout->dress(made.names.title, made.text)
                                          : m_charset.encode(made.text);
    if (!QkFile::writeBytes(bytes, made.path, &reason))
        return fail(QStringLiteral("it cannot be written to \"%1\" (%2)")
                        .arg(QDir::toNativeSeparators(made.path), reason));

    m_written.append(made.names.fileName);
    m_links = LinkCode::withLink(m_links, made.names);
    if (page)
        *page = std::move(made);
    return true;
}

void PageGenerator::makeAll() {
    for (int index = 0; index < count(); ++index)
        makePage(index);
}

QString PageGenerator::linkCode() const {
    return m_links.isEmpty() ? QString() : LinkCode::finished(m_links);
}

QString PageGenerator::failureReport() const {
    if (m_failures.isEmpty())
        return QString();
    QString report = m_failures.size() == 1 ? QStringLiteral("This page could not be made:\n")
                                            : QStringLiteral("These pages could not be made:\n");
    for (const Failure &failure : m_failures)
        report += QStringLiteral("\n") + failure.fileName + QStringLiteral(": ") + failure.reason +
                  QStringLiteral(".");
    report += m_written.isEmpty() ? QStringLiteral("\n\nNo page was written.")
                                  : QStringLiteral("\n\nThe other pages were written.");
    return report;
}
