#include "bulk/BatchJob.h"

#include "controllib/QkParser.h"
#include "core/TypedValue.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

std::optional<BatchMessage> BatchJob::refusal() const {
    const QString error = QStringLiteral("Error");
    if (fileNames.isEmpty()) {
        // A folder that cannot be opened at all is named with the cause, not taken for empty.
        struct stat info {};
        if (::stat(QFile::encodeName(articleFolder).constData(), &info) != 0 && errno != ENOENT)
            return BatchMessage{QStringLiteral("The folder %1 cannot be opened (%2).\n\nPlease "
                                               "select a folder with .txt articles.")
                                    .arg(QDir::toNativeSeparators(articleFolder),
                                         QString::fromLocal8Bit(std::strerror(errno))),
                                error};
        return BatchMessage{QStringLiteral("Please select a folder with .txt articles."), error};
    }
    if (wantsRecommendation() && !recommendation.begins && !recommendation.ends)
        return BatchMessage{
            QStringLiteral("Please select at least 1 place where you want to insert the ads."),
            error};
    if (!wantsRecommendation() && tickedDisclaimers.isEmpty())
        return BatchMessage{
            QStringLiteral("Missing Info: Nothing to add. Please tick at least 1 disclaimer, or "
                           "fill in the Link Text of a product recommendation."),
            QStringLiteral("Missing Info")};
    if (wantsRecommendation() && recommendation.benefit.trimmed().isEmpty())
        return BatchMessage{QStringLiteral("Missing Info: 'This product is for people who need "
                                           "to' Field is Empty."),
                            QStringLiteral("Missing Info")};
    if (wantsRecommendation() && !TypedValue::isWebAddress(recommendation.url))
        return BatchMessage{QStringLiteral("Please enter the full address of your link, starting "
                                           "with http:// or https:// and a host name (such as "
                                           "https://shop.example/product)."),
                            error};
    if (wantsRecommendation()) {
        const QStringList *lists[] = {&phrases.lstIf, &phrases.lstIfQuestion, &phrases.lstThen};
        for (int i = 0; i < 3; ++i) {
            if (!lists[i]->isEmpty())
                continue;
            const QString file = i < phraseFiles.size() ? phraseFiles.at(i) : QString();
            return BatchMessage{
                QStringLiteral("The recommendation cannot be written: the sentence template file "
                               "%1 holds no templates.\n\nAdd at least one line to it, or empty "
                               "the Link Text to run without a recommendation.")
                    .arg(QDir::toNativeSeparators(file)),
                error};
        }
    }
    return std::nullopt;
}

QString BatchJob::joinPath(const QString &folder, const QString &name) {
    return QkParser::ReplaceText(folder + QLatin1Char('/') + name, QStringLiteral("//"),
                                 QStringLiteral("/"), 0);
}

QString BatchJob::outputFolder() const {
    return joinPath(articleFolder, QStringLiteral("rewritten_files"));
}
