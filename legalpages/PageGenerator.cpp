#include "legalpages/PageGenerator.h"

#include "controllib/QkFile.h"
#include "legalpages/PageFormat.h"

#include <QDir>
#include <QFileInfo>

PageGenerator::PageGenerator(const QString &pagesFolder, const QString &siteFolder,
                             const SiteFacts &site, const QDate &date)
    : m_pagesFolder(pagesFolder), m_siteFolder(siteFolder), m_site(site), m_date(date) {}

QString PageGenerator::templatePath(const QString &pagesFolder) {
    return pagesFolder + QStringLiteral("/html/template.html");
}

bool PageGenerator::loadTemplate(QString *error) {
    const QString path = templatePath(m_pagesFolder);
    QString reason;
    m_templateLoaded = QkFile::LoadTextFromFile(m_template, path, &reason);
    if (!m_templateLoaded && error)
        *error = QStringLiteral("The HTML page template \"%1\" cannot be read (%2). No page was "
                                "written.")
                     .arg(QDir::toNativeSeparators(path), reason);
    return m_templateLoaded;
}

bool PageGenerator::makePage(const CatalogueEntry &entry, Page *page) {
    Page made;
    made.names = PageNames::fromDisplayName(entry.displayName);
    made.path = QDir(m_siteFolder).filePath(made.names.fileName);
    const auto fail = [&](const QString &reason) {
        m_failures.append({made.names.fileName, reason});
        if (page)
            *page = std::move(made);
        return false;
    };

    if (!m_templateLoaded)
        return fail(QStringLiteral("the HTML page template was not read"));
    QString reason;
    if (!QkFile::LoadTextFromFile(made.content, entry.filePath, &reason))
        return fail(QStringLiteral("its page template \"%1\" cannot be read (%2)")
                        .arg(QFileInfo(entry.filePath).fileName(), reason));
    made.text = PageFormat::compose(m_template, made.names.title, made.content, m_site, m_date);
    if (!QkFile::SaveTextToFile(made.text, made.path, &reason))
        return fail(QStringLiteral("it cannot be written to \"%1\" (%2)")
                        .arg(QDir::toNativeSeparators(made.path), reason));

    m_written.append(made.names.fileName);
    if (page)
        *page = std::move(made);
    return true;
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
