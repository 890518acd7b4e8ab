#pragma once

#include "bulk/RecommendationBuilder.h"
#include "core/Catalogue.h"
#include "core/UserMessage.h"

#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

using BatchMessage = UserMessage;

// Everything a run needs, copied from the bulk window when "Begin Process" is pressed, so the
// run works on its own copy while the window stays responsive. It holds the article names, never
// their contents.
struct BatchJob {
    QString articleFolder;    // the folder Dir1 shows
    QByteArrayList fileNames; // the articles File1 lists, in its order, as the folder names them
    QString filesFound;       // the caption of lblFilesFound
    RecommendationSettings recommendation;
    PhraseLists phrases;
    QStringList phraseFiles; // where the three phrase lists came from
    QList<CatalogueEntry> tickedDisclaimers;
    QString sponsor; // the name "[sponsor]" stands for in the ticked snippets

    // A link text with at least one piece that is not empty asks for a recommendation.
    bool wantsRecommendation() const {
        return !RecommendationBuilder::linkTexts(recommendation.linkText).isEmpty();
    }

    // The checks made before anything changes, in their order; the first that fails, or nothing:
    // articles to process, a place for a wanted recommendation, something to add at all (a run
    // that adds nothing would only copy the articles over earlier results), a benefit and an http
    // or https address for a recommendation, and its sentence templates.
    std::optional<BatchMessage> refusal() const;

    // folder, "/" and name, with every doubled "/" collapsed: "/" and "a.txt" give "/a.txt".
    static QString joinPath(const QString &folder, const QString &name);
    // The folder a run writes into: rewritten_files inside the article folder.
    QString outputFolder() const;
};
