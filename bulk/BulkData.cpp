#include "bulk/BulkData.h"

#include "controllib/QkFile.h"

#include <QDir>

QString BulkData::pathOf(const QString &programFolder, const QString &relative) {
    return programFolder + QLatin1Char('/') + relative;
}

void BulkData::load(const QString &programFolder) {
    phrases = {};
    catalogue.clear();
    problems.clear();
    phraseFiles = {pathOf(programFolder, QStringLiteral("templates/if.txt")),
                   pathOf(programFolder, QStringLiteral("templates/if-question.txt")),
                   pathOf(programFolder, QStringLiteral("templates/then.txt"))};
    QStringList *lists[] = {&phrases.lstIf, &phrases.lstIfQuestion, &phrases.lstThen};
    for (int i = 0; i < 3; ++i) {
        QString error;
        if (!QkFile::LoadListFromFile(*lists[i], phraseFiles.at(i), &error))
            problems.append(QDir::toNativeSeparators(phraseFiles.at(i)) + QStringLiteral(": ") +
                            error);
    }
    SnippetsFolder = pathOf(programFolder, QStringLiteral("templates/snippets"));
    QString error;
    if (!Catalogue::list(SnippetsFolder, catalogue, &error))
        problems.append(QDir::toNativeSeparators(SnippetsFolder) + QStringLiteral(": ") + error);
}

QString BulkData::problemMessage() const {
    if (problems.isEmpty())
        return QString();
    return QStringLiteral(
               "These data files beside the program are missing or cannot be read:\n\n") +
           problems.join(QLatin1Char('\n')) + QStringLiteral("\n\nThe window opens without them.");
}
