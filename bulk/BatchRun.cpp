#include "bulk/BatchRun.h"

#include "bulk/ArticleReader.h"
#include "bulk/ArticleWriter.h"
#include "bulk/SponsorQuestion.h"
#include "core/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <new>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Makes one folder level. Returns false with a reason when it cannot.
bool makeFolder(const QString &folder, QString *reason) {
    if (QkTools::FolderExists(folder, true))
        return true;
    std::error_code error;
    std::filesystem::create_directory(
        std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error) {
        *reason = QString::fromStdString(error.message());
        return false;
    }
    return true;
}

bool sameFolder(const QString &a, const QString &b) {
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(b).canonicalFilePath();
}

} // namespace

BatchRun::BatchRun(BatchJob job, RandomSource &random) : m_job(std::move(job)), m_tools(random) {
    if (m_job.wantsRecommendation())
        m_builder.emplace(m_job.phrases, m_job.recommendation, m_tools);
}

BatchRun::~BatchRun() = default;

bool BatchRun::check(BatchMessage *refusal) {
    const QString error = QStringLiteral("Error");
    QString failedPath;
    QString reason;
    if (!DisclaimerBlock::build(m_job.tickedDisclaimers, m_job.sponsor, m_blocks, &failedPath,
                                &reason)) {
        *refusal = {QStringLiteral("The disclaimer file %1 cannot be read (%2).\n\nNo article "
                                   "was written.")
                        .arg(QDir::toNativeSeparators(failedPath), reason),
                    error};
        return false;
    }
    if (!m_blocks.namingSponsor.isEmpty() && m_job.sponsor.trimmed().isEmpty()) {
        *refusal = {SponsorQuestion::missing(m_blocks.namingSponsor), error};
        return false;
    }
    const QString folder = m_job.outputFolder();
    const QFileInfo info(folder);
    if (!info.isDir() && (info.exists() || info.isSymLink())) {
        *refusal = {QStringLiteral("The output folder %1 cannot be made (A file of that name is "
                                   "in the way).\n\nNo article was written.")
                        .arg(QDir::toNativeSeparators(folder)),
                    error};
        return false;
    }
    if (sameFolder(folder, m_job.articleFolder)) {
        *refusal = {QStringLiteral("The output folder %1 leads back to the article folder %2, so "
                                   "writing there would overwrite the articles.\n\nRemove or "
                                   "rename %1 and try again. No article was written.")
                        .arg(QDir::toNativeSeparators(folder),
                             QDir::toNativeSeparators(m_job.articleFolder)),
                    error};
        return false;
    }
    m_reader = std::make_unique<ArticleReader>(m_job.articleFolder);
    return true;
}

bool BatchRun::prepare(BatchMessage *refusal) {
    if (!check(refusal))
        return false;
    const QString folder = m_job.outputFolder();
    QString reason;
    if (!makeFolder(folder, &reason)) {
        *refusal = {QStringLiteral("The output folder %1 cannot be made (%2).\n\nNo article was "
                                   "written.")
                        .arg(QDir::toNativeSeparators(folder), reason),
                    QStringLiteral("Error")};
        return false;
    }
    m_writer = std::make_unique<ArticleWriter>(folder);
    m_writer->removeStaleTemporaries();
    m_outputFolder = folder;
    return true;
}

BatchRun::Outcome BatchRun::plan(int index) const {
    const QByteArray &name = m_job.fileNames.at(index);
    const QString shown = FolderListing::shownName(name);
    QByteArray bytes;
    QString reason;
    try {
        if (!m_reader->read(name, bytes, &reason))
            return {Result::Failed, QStringLiteral("Could not read %1: %2").arg(shown, reason)};
    } catch (const std::bad_alloc &) {
        return {Result::Failed,
                QStringLiteral("Could not process %1: there is not enough memory").arg(shown)};
    }
    if (bytes.size() == TextCodec::sniff(bytes).byteOrderMarkSize)
        return {Result::Skipped, shown};
    const QString target = BatchJob::joinPath(m_job.outputFolder(), shown);
#ifdef Q_OS_UNIX
    // By the name's bytes: a name that is not UTF-8 has no exact QString path.
    struct stat info {};
    const QByteArray bytesPath = QFile::encodeName(m_job.outputFolder()) + '/' + name;
    const bool there = ::lstat(bytesPath.constData(), &info) == 0;
#else
    const bool there = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
#endif
    return {Result::Written,
            there ? QStringLiteral("%1 (replaces the file there)").arg(target) : target};
}

void BatchRun::compose(TextEncoding encoding, QByteArray &before, QByteArray &after) {
    if (m_builder) {
        const RecommendationBuilder::Around around =
            RecommendationBuilder::around(m_builder->compose(), m_job.recommendation);
        before = TextCodec::encode(around.before, encoding);
        after = TextCodec::encode(around.after, encoding);
    }
    std::optional<QByteArray> &block = m_encodedBlock.at(std::size_t(encoding));
    if (!block) {
        block = m_blocks.after.isEmpty()
                    ? QByteArray()
                    : TextCodec::encode(QStringLiteral("\r\n") + m_blocks.after, encoding);
    }
    after += *block;
    std::optional<QByteArray> &top = m_encodedTop.at(std::size_t(encoding));
    if (!top)
        top = TextCodec::encode(m_blocks.top, encoding);
    before.prepend(*top);
}

BatchRun::Outcome BatchRun::process(int index) {
    const QByteArray &name = m_job.fileNames.at(index);
    const QString shown = FolderListing::shownName(name);
    QString reason;
    try {
        QByteArray bytes;
        if (!m_reader->read(name, bytes, &reason))
            return {Result::Failed, QStringLiteral("Could not read %1: %2").arg(shown, reason)};
        const TextCodec::Sniffed sniffed = TextCodec::sniff(bytes);
        const QByteArrayView whole(bytes);
        const QByteArrayView mark = whole.first(sniffed.byteOrderMarkSize);
        const QByteArrayView body = whole.sliced(sniffed.byteOrderMarkSize);
        if (body.isEmpty())
            return {Result::Skipped, QString()};
        QByteArray before, after;
        compose(sniffed.encoding, before, after);
        if (!m_writer->write(name, {mark, before, body, after}, &reason))
            return {Result::Failed, QStringLiteral("Could not write %1: %2").arg(shown, reason)};
    } catch (const std::bad_alloc &) {
        return {Result::Failed,
                QStringLiteral("Could not process %1: there is not enough memory").arg(shown)};
    }
    return {Result::Written, contentAddedLine(shown)};
}

QString BatchRun::firstLogLine(const QString &filesFound) {
    return QStringLiteral("Executing Actions... ") + filesFound + QStringLiteral(" Files...");
}

QString BatchRun::contentAddedLine(const QString &fileName) {
    return QStringLiteral("Content Added to : ") + fileName + QStringLiteral("---");
}

QString BatchRun::lastLogLine() {
    return QStringLiteral("Done.");
}

QString BatchRun::stoppedLogLine(int done, int total) {
    return QStringLiteral("Stopped after %1 of %2 articles.").arg(done).arg(total);
}

QString BatchRun::finalMessage(int failures) {
    if (failures == 0)
        return QStringLiteral("Done");
    if (failures == 1)
        return QStringLiteral("Done, but 1 article could not be processed. The log names it.");
    return QStringLiteral("Done, but %1 articles could not be processed. The log names them.")
        .arg(failures);
}

QString BatchRun::stoppedMessage(int done, int total, int failures) {
    QString text = QStringLiteral("The run was stopped after %1 of %2 articles. The articles "
                                  "after those were not written.")
                       .arg(done)
                       .arg(total);
    if (failures == 1)
        text += QStringLiteral("\n\n1 article could not be processed. The log names it.");
    else if (failures > 1)
        text += QStringLiteral("\n\n%1 articles could not be processed. The log names them.")
                    .arg(failures);
    return text;
}
