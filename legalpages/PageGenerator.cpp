#include "legalpages/PageGenerator.h"

#include "controllib/FolderWriter.h"
#include "controllib/QkFile.h"
#include "controllib/RegularFile.h"
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
    QByteArray bytes;
    QString reason;
    if (!QkFile::readBytes(bytes, templatePath(m_job.pagesFolder), &reason))
        return refused(QStringLiteral("cannot be read (%1)").arg(reason));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
        bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4)))
        return refused(QStringLiteral("is saved as UTF-16 or UTF-32, which pages are not written "
                                      "in. Save it as UTF-8 (or Windows-1252) and try again"));
    const DecodedText decoded = TextCodec::decode(bytes);
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

bool PageGenerator::compose(int index, Page &made, QByteArray &bytes, QString *reason) const {
    const CatalogueEntry &entry = m_job.pages.at(index);
    made.names = PageNames::fromDisplayName(entry.displayName);
    made.path = QDir(m_job.siteFolder).filePath(made.names.fileName);
    QString why;
    if (!QkFile::LoadTextFromFile(made.content, entry.filePath, &why)) {
        *reason = QStringLiteral("its page template \"%1\" cannot be read (%2)")
                      .arg(QFileInfo(entry.filePath).fileName(), why);
        return false;
    }
    made.text = PageFormat::compose(m_charset.htmlTemplate, made.names.title, made.content,
                                    m_job.site, m_job.date);
    bytes = PageReplacement::withFingerprint(m_charset.encode(made.text));
    return true;
}

std::optional<QByteArray> PageGenerator::existing(const QString &fileName, QString *refusal) const {
    const FolderWriter folder(m_job.siteFolder, QStringLiteral("page"));
    const QByteArray name = QFile::encodeName(fileName);
    switch (folder.inspect(name, refusal)) {
    case FolderWriter::Target::Absent:
        return std::nullopt;
    case FolderWriter::Target::Refused:
        return QByteArray();
    case FolderWriter::Target::Regular:
        break;
    }
    RegularFile file;
    QByteArray bytes;
    if (!file.open(QDir(m_job.siteFolder).filePath(fileName), refusal) ||
        !file.readAll(bytes, refusal))
        return QByteArray();
    return bytes;
}

QString PageGenerator::keptReason(PageReplacement::Decision found) {
    return found == PageReplacement::Decision::Edited
               ? QStringLiteral("it was edited since it was written")
               : QStringLiteral("it was not written by this program");
}

QList<PageGenerator::PlannedPage> PageGenerator::plan() const {
    QList<PlannedPage> pages;
    for (int index = 0; index < count(); ++index) {
        PlannedPage page;
        Page made;
        QByteArray bytes;
        QString reason;
        const bool composed = m_prepared && compose(index, made, bytes, &reason);
        page.names = made.names;
        page.path = made.path;
        if (!composed) {
            page.refusal =
                m_prepared ? reason : QStringLiteral("the HTML page template was not read");
        } else {
            const std::optional<QByteArray> there = existing(page.names.fileName, &page.refusal);
            page.replaces = there.has_value();
            if (page.refusal.isEmpty())
                page.decision = PageReplacement::decide(there, bytes);
        }
        pages.append(page);
    }
    return pages;
}

bool PageGenerator::makePage(int index, Page *page) {
    if (index < 0 || index >= count())
        return false;
    Page made;
    made.names = PageNames::fromDisplayName(m_job.pages.at(index).displayName);
    const auto fail = [&](const QString &reason) {
        m_failures.append({made.names.fileName, reason});
        if (page)
            *page = std::move(made);
        return false;
    };

    if (!m_prepared)
        return fail(QStringLiteral("the HTML page template was not read"));
    QString reason;
    QByteArray bytes;
    if (!compose(index, made, bytes, &reason))
        return fail(reason);
    const std::optional<QByteArray> there = existing(made.names.fileName, &reason);
    if (!reason.isEmpty())
        return fail(QStringLiteral("it cannot be written to \"%1\" (%2)")
                        .arg(QDir::toNativeSeparators(made.path), reason));
    const PageReplacement::Decision found = PageReplacement::decide(there, bytes);
    bool keep = false;
    if (PageReplacement::needsConsent(found))
        keep = !m_question || !m_question(made.names.fileName, found, count() - index - 1);
    if (keep) {
        m_kept.append({made.names.fileName, keptReason(found)});
    } else if (found != PageReplacement::Decision::Untouched) {
        FolderWriter folder(m_job.siteFolder, QStringLiteral("page"));
        folder.setSync(true);
        if (!folder.write(QFile::encodeName(made.names.fileName), {bytes}, &reason))
            return fail(QStringLiteral("it cannot be written to \"%1\" (%2)")
                            .arg(QDir::toNativeSeparators(made.path), reason));
    }

    if (!keep)
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
