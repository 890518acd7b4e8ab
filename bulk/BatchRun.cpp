#include "bulk/BatchRun.h"

#include "bulk/ArticleFile.h"
#include "bulk/DisclaimerBlock.h"
#include "controllib/QkFile.h"
#include "controllib/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

// Makes one folder level. Returns false with a reason when it cannot.
bool makeFolder(const QString &folder, QString *reason) {
    if (QkTools::FolderExists(folder, true))
        return true;
    if (QFileInfo::exists(folder)) {
        *reason = QStringLiteral("A file of that name is in the way");
        return false;
    }
    std::error_code error;
    std::filesystem::create_directory(
        std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error) {
        *reason = QString::fromStdString(error.message());
        return false;
    }
    return true;
}

} // namespace

BatchRun::BatchRun(BatchJob job, RandomSource &random) : m_job(std::move(job)), m_tools(random) {
    if (m_job.wantsRecommendation())
        m_builder.emplace(m_job.phrases, m_job.recommendation, m_tools);
}

bool BatchRun::prepare(BatchMessage *refusal) {
    const QString error = QStringLiteral("Error");
    QString failedPath;
    QString reason;
    if (!DisclaimerBlock::build(m_job.tickedDisclaimers, m_block, &failedPath, &reason)) {
        *refusal = {QStringLiteral("The disclaimer file %1 cannot be read (%2).\n\nNo article "
                                   "was written.")
                        .arg(QDir::toNativeSeparators(failedPath), reason),
                    error};
        return false;
    }
    const QString folder = m_job.outputFolder();
    if (!makeFolder(folder, &reason)) {
        *refusal = {QStringLiteral("The output folder %1 cannot be made (%2).\n\nNo article was "
                                   "written.")
                        .arg(QDir::toNativeSeparators(folder), reason),
                    error};
        return false;
    }
    m_outputFolder = folder;
    return true;
}

QString BatchRun::rewrite(const QString &article) {
    const bool disclaimers = !m_job.tickedDisclaimers.isEmpty();
    const qsizetype room = disclaimers ? 2 + m_block.size() : 0;
    QString text = m_builder ? m_builder->apply(article, room) : article;
    if (disclaimers) {
        text += QStringLiteral("\r\n");
        text += m_block;
    }
    return text;
}

BatchRun::Outcome BatchRun::process(int index) {
    const QString &name = m_job.fileNames.at(index);
    QByteArray bytes;
    QString reason;
    if (!ArticleFile::read(bytes, BatchJob::joinPath(m_job.articleFolder, name), &reason))
        return {Result::Failed, QStringLiteral("Could not read %1: %2").arg(name, reason)};
    DecodedText article = TextCodec::decode(bytes);
    bytes = QByteArray(); // one copy of the article at a time
    if (article.text.isEmpty())
        return {Result::Skipped, QString()};

    const QByteArray written =
        TextCodec::encode(rewrite(article.text), article.encoding, article.byteOrderMark);
    if (!ArticleFile::write(written, BatchJob::joinPath(m_outputFolder, name), &reason))
        return {Result::Failed, QStringLiteral("Could not write %1: %2").arg(name, reason)};
    return {Result::Written, contentAddedLine(name)};
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

QString BatchRun::finalMessage(int failures) {
    if (failures == 0)
        return QStringLiteral("Done");
    if (failures == 1)
        return QStringLiteral("Done, but 1 article could not be processed. The log names it.");
    return QStringLiteral("Done, but %1 articles could not be processed. The log names them.")
        .arg(failures);
}
