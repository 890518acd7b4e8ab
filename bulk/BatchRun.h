#pragma once

#include "bulk/BatchJob.h"
#include "bulk/RecommendationBuilder.h"
#include "controllib/QkTools.h"

#include <QString>

#include <optional>

class RandomSource;

// One run over a folder of articles, on its own copy of the window's inputs. prepare() does
// everything that can refuse the run before any article is written (reading the ticked
// disclaimers, making the output folder); process() then handles one article at a time, so only
// one article is ever held in memory.
class BatchRun {
public:
    enum class Result { Written, Skipped, Failed };
    struct Outcome {
        Result result = Result::Skipped;
        QString logLine; // empty for a skipped article
    };

    BatchRun(BatchJob job, RandomSource &random);
    Q_DISABLE_COPY_MOVE(BatchRun)

    // Builds the disclaimer block and makes (or reuses) the output folder. On failure *refusal
    // says why, naming the file or folder, and nothing has been written.
    bool prepare(BatchMessage *refusal);

    const BatchJob &job() const { return m_job; }
    QString outputFolder() const { return m_outputFolder; }
    const QString &disclaimerBlock() const { return m_block; }
    int count() const { return int(m_job.fileNames.size()); }

    // Reads article index, adds what was asked for, and writes it atomically into the output
    // folder in the encoding it was read in. A source is only ever opened for reading.
    Outcome process(int index);
    // The text an article becomes; its recommendation is composed afresh on each call.
    QString rewrite(const QString &article);

    // The log, line by line; lines are joined with CR LF.
    static QString firstLogLine(const QString &filesFound);
    static QString contentAddedLine(const QString &fileName);
    static QString lastLogLine();
    // The final message's text: "Done", or how many articles could not be processed.
    static QString finalMessage(int failures);

private:
    BatchJob m_job;
    QkTools m_tools;
    std::optional<RecommendationBuilder> m_builder;
    QString m_block;
    QString m_outputFolder;
};
