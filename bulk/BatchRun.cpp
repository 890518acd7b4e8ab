#include "bulk/BatchRun.h"

#include "bulk/ArticleReader.h"
#include "bulk/DisclaimerBlock.h"
#include "bulk/SponsorQuestion.h"
#include "controllib/FolderWriter.h"
#include "core/FolderListing.h"
#include "core/LocalPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <new>
#include <system_error>

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

QString utf32Line(const QString &shown) {
    return QStringLiteral("Could not process %1: it is saved as UTF-32, which the program does not "
                          "add text to. Save it as UTF-8 and run again")
        .arg(shown);
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
                        .arg(QDir::toNativeSeparators(LocalPath::shown(folder))),
                    error};
        return false;
    }
    if (FolderWriter::sameFile(folder, m_job.articleFolder)) {
        *refusal = {QStringLiteral("The output folder %1 leads back to the article folder %2, so "
                                   "writing there would overwrite the articles.\n\nRemove or "
                                   "rename %1 and try again. No article was written.")
                        .arg(QDir::toNativeSeparators(LocalPath::shown(folder)),
                             QDir::toNativeSeparators(LocalPath::shown(m_job.articleFolder))),
                    error};
        return false;
    }
    m_reader = std::make_unique<ArticleReader>(m_job.articleFolder);
    // What a dry run tells about the outputs there; prepare() writes through a fresh one.
    if (info.isDir())
        m_writer = std::make_unique<FolderWriter>(folder);
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
                        .arg(QDir::toNativeSeparators(LocalPath::shown(folder)), reason),
                    QStringLiteral("Error")};
        return false;
    }
    m_writer = std::make_unique<FolderWriter>(folder);
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
    if (TextCodec::startsAsUtf32(bytes))
        return {Result::Failed, utf32Line(shown)};
    if (bytes.size() == TextCodec::sniff(bytes).byteOrderMarkSize)
        return {Result::Skipped, shown};
    const QString target = BatchJob::joinPath(m_job.outputFolder(), shown);
    FolderWriter::Target there = FolderWriter::Target::Absent;
    if (m_writer)
        there = m_writer->inspect(name, &reason);
    if (there == FolderWriter::Target::Refused)
        return {Result::Failed, QStringLiteral("Could not write %1: %2").arg(shown, reason)};
    return {Result::Written, there == FolderWriter::Target::Regular
                                 ? QStringLiteral("%1 (replaces the file there)").arg(target)
                                 : target};
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
        unsigned permissions = 0666;
        if (!m_reader->read(name, bytes, &reason, &permissions))
            return {Result::Failed, QStringLiteral("Could not read %1: %2").arg(shown, reason)};
        if (TextCodec::startsAsUtf32(bytes))
            return {Result::Failed, utf32Line(shown)};
        const TextCodec::Sniffed sniffed = TextCodec::sniff(bytes);
        const QByteArrayView whole(bytes);
        const QByteArrayView mark = whole.first(sniffed.byteOrderMarkSize);
        const QByteArrayView body = whole.sliced(sniffed.byteOrderMarkSize);
        if (body.isEmpty())
            return {Result::Skipped, QString()};
        QByteArray before, after;
        compose(sniffed.encoding, before, after);
        if (!m_writer->write(name, {mark, before, body, after}, &reason, permissions))
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

QString BatchRun::summary(int written, int total, const QString &folder, int skipped, int failures,
                          int doneWhenStopped) {
    return QStringLiteral("%1 of %2 articles written into %3, %4 skipped as empty, %5 failed%6.")
        .arg(written)
        .arg(total)
        .arg(folder)
        .arg(skipped)
        .arg(failures)
        .arg(doneWhenStopped >= 0 ? QStringLiteral("; stopped after %1").arg(doneWhenStopped)
                                  : QString());
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
    QString text = QStringLiteral("The run was stopped after %1 of %2 articles. The other %3 were "
                                  "not written this time: any copy of them in the output folder "
                                  "is from an earlier run.\n\nClick Begin Process to write every "
                                  "article again.")
                       .arg(done)
                       .arg(total)
                       .arg(total - done);
    if (failures == 1)
        text += QStringLiteral("\n\n1 article could not be processed. The log names it.");
    else if (failures > 1)
        text += QStringLiteral("\n\n%1 articles could not be processed. The log names them.")
                    .arg(failures);
    return text;
}
