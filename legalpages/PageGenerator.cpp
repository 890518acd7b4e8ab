#include "legalpages/PageGenerator.h"

#include "controllib/FolderWriter.h"
#include "controllib/QkFile.h"
#include "controllib/RegularFile.h"
#include "legalpages/LinkCode.h"
#include "legalpages/PageDate.h"
#include "legalpages/PageFormat.h"
#include "site/PageEdit.h"
#include "site/FactQuestions.h"
#include "site/ServiceTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

PageGenerator::PageGenerator(PagesJob job) : m_job(std::move(job)) {}

void PageGenerator::useFacts(const Facts &facts, bool draft) {
    m_facts = facts;
    m_draft = draft;
}

QString PageGenerator::templatePath(const QString &pagesFolder) {
    return pagesFolder + QStringLiteral("/html/template.html");
}

bool PageGenerator::prepare(UserMessage *refusal) {
    m_prepared = false;
    std::optional<UserMessage> refused = m_job.refusal();
    if (m_siteFieldsAreFacts && !m_job.pages.isEmpty())
        refused.reset(); // the site fields are asked for with the other facts
    if (!refused)
        refused = checkTemplate();
    if (!refused)
        refused = checkNames();
    if (!refused)
        refused = checkFacts();
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
    const PageLanguage::Rendered rendered = PageLanguage::render(made.content, context());
    // A page template changed since prepare() may need more than was checked.
    if (!rendered.errors.isEmpty()) {
        *reason = QStringLiteral("its page template is faulty (%1)")
                      .arg(rendered.errors.join(QStringLiteral("; ")));
        return false;
    }
    if (!m_draft && !rendered.missing.isEmpty()) {
        *reason = QStringLiteral("it needs facts that are still open (%1)")
                      .arg(rendered.missing.join(QStringLiteral(", ")));
        return false;
    }
    made.review = rendered.review;
    made.text = PageFormat::compose(m_charset.htmlTemplate, made.names.title, rendered.text,
                                    m_job.site, m_job.date);
    bytes = PageReplacement::withFingerprint(m_job.layout
                                                 ? m_job.layout->dress(made.names.title, made.text)
                                                 : m_charset.encode(made.text));
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
    // What the program placed into the site's pages since (footer links, consent wiring) is not an
    // edit of the page: it is judged as it was written.
    return PageEdit::strip(bytes);
}

QString PageGenerator::keptReason(PageReplacement::Decision found) {
    return found == PageReplacement::Decision::Edited
               ? QStringLiteral("it was edited since it was written")
               : QStringLiteral("it was not written by this program");
}

PageLanguage::Context PageGenerator::context() const {
    PageLanguage::Context c =
        m_catalogue ? ServiceTexts::context(*m_catalogue, m_facts) : PageLanguage::Context{};
    c.world.facts = &m_facts;
    c.world.pagePresent = [this](const QString &name) { return pageLink(name).has_value(); };
    c.page = [this](const QString &name) { return pageLink(name); };
    c.draft = m_draft;
    return c;
}

// Page NAME ("terms-of-use") of this run, or already in the site folder.
std::optional<PageLanguage::PageLink> PageGenerator::pageLink(const QString &name) const {
    const QString fileName = name + QStringLiteral(".txt");
    if (m_notApplicable.contains(
            PageNames::fromDisplayName(Catalogue::displayName(fileName)).fileName,
            Qt::CaseInsensitive))
        return std::nullopt;
    for (const CatalogueEntry &entry : m_job.pages) {
        if (QFileInfo(entry.filePath).fileName().compare(fileName, Qt::CaseInsensitive) == 0) {
            const PageNames names = PageNames::fromDisplayName(entry.displayName);
            return PageLanguage::PageLink{names.fileName, names.title};
        }
    }
    const PageNames names = PageNames::fromDisplayName(Catalogue::displayName(fileName));
    if (QFileInfo(QDir(m_job.siteFolder).filePath(names.fileName)).isFile())
        return PageLanguage::PageLink{names.fileName, names.title};
    return std::nullopt;
}

std::optional<UserMessage> PageGenerator::checkFacts() {
    for (const auto &[key, value] :
         {std::pair{"site.name", m_job.site.name}, std::pair{"site.url", m_job.site.url},
          std::pair{"site.email", m_job.site.email}}) {
        if (!value.isEmpty())
            m_facts.set(QString::fromLatin1(key), value);
    }
    QStringList siteMissing;
    if (m_siteFieldsAreFacts) {
        for (const auto &[key, field] :
             {std::pair{"site.name", &m_job.site.name}, std::pair{"site.url", &m_job.site.url},
              std::pair{"site.email", &m_job.site.email}}) {
            if (!field->isEmpty())
                continue;
            siteMissing.append(QString::fromLatin1(key));
            if (m_draft)
                *field = PageLanguage::checkMark(QString::fromLatin1(key));
        }
    }
    m_notApplicable.clear();
    // Twice: the first round finds the pages that do not apply, so that the second states no
    // link to them.
    for (int round = 0; round < 2; ++round) {
        m_missing = siteMissing;
        m_faults.clear();
        m_reviews.clear();
        const PageLanguage::Context c = context();
        QStringList notApplicable;
        for (const CatalogueEntry &entry : m_job.pages) {
            QString content;
            if (!QkFile::LoadTextFromFile(content, entry.filePath))
                continue; // told when the page is made
            const PageLanguage::Rendered page = PageLanguage::render(content, c);
            const QString file = QFileInfo(entry.filePath).fileName();
            const PageNames names = PageNames::fromDisplayName(entry.displayName);
            if (page.errors.isEmpty() && page.missing.isEmpty() && page.text.trimmed().isEmpty()) {
                notApplicable.append(names.fileName);
                continue;
            }
            for (const QString &fault : page.errors)
                m_faults.append(file + QStringLiteral(": ") + fault);
            for (const QString &key : page.missing) {
                if (!m_missing.contains(key))
                    m_missing.append(key);
            }
            m_reviews.append({names.fileName, names.title, page.review});
        }
        m_notApplicable = notApplicable;
    }
    if (!m_faults.isEmpty())
        return UserMessage{QStringLiteral("These page templates are faulty:\n\n%1\n\nNo page was "
                                          "written.")
                               .arg(m_faults.join(QLatin1Char('\n'))),
                           QStringLiteral("Error")};
    if (m_missing.isEmpty() || m_draft)
        return std::nullopt;
    QStringList named;
    for (const QString &key : std::as_const(m_missing))
        named.append(FactQuestions::named(key));
    return UserMessage{QStringLiteral("These facts about the site are still open:\n\n%1\n\nAnswer "
                                      "them in the Site Facts window or the facts file. No page "
                                      "was written.")
                           .arg(named.join(QLatin1Char('\n'))),
                       QStringLiteral("Missing Facts")};
}

QList<PageGenerator::PlannedPage> PageGenerator::plan() const {
    QList<PlannedPage> pages;
    for (int index = 0; index < count(); ++index) {
        PlannedPage page;
        if (m_notApplicable.contains(
                PageNames::fromDisplayName(m_job.pages.at(index).displayName).fileName))
            continue;
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
    made.path = QDir(m_job.siteFolder).filePath(made.names.fileName);
    if (m_notApplicable.contains(made.names.fileName)) {
        made.applies = false;
        if (page)
            *page = std::move(made);
        return true;
    }
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
    PageReplacement::Decision found = PageReplacement::decide(there, bytes);
    // Our own page that differs only in its date keeps the date of its last real change.
    if (found == PageReplacement::Decision::Replace) {
        const std::optional<QByteArray> before = PageReplacement::withoutFingerprint(*there);
        const std::optional<QByteArray> after = PageReplacement::withoutFingerprint(bytes);
        made.unchanged =
            before && after &&
            PageDate::differsOnlyInDate(*before, *after, PageFormat::dateText(m_job.date));
        if (made.unchanged)
            found = PageReplacement::Decision::Untouched;
    }
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
