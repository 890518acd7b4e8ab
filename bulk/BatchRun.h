#pragma once

#include "bulk/BatchJob.h"
#include "bulk/DisclaimerBlock.h"
#include "bulk/RecommendationBuilder.h"
#include "controllib/QkTools.h"
#include "controllib/TextCodec.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class ArticleReader;
class FolderWriter;
class RandomSource;

// One run over a folder of articles, on its own copy of the window's inputs. prepare() does
// everything that can refuse the run before any article is written (reading the ticked
// disclaimers, making the output folder); process() then handles one article at a time, so only
// one article is ever held in memory.
//
// An article's own bytes are never decoded: the output is the article's byte order mark (if
// any), the text added before it, the rest of its bytes exactly as read, and the text added after
// it. The added text is encoded to match the article (see TextCodec::sniff).
class BatchRun {
public:
    enum class Result { Written, Skipped, Failed };
    struct Outcome {
        Result result = Result::Skipped;
        QString logLine; // empty for a skipped article
    };

    BatchRun(BatchJob job, RandomSource &random);
    ~BatchRun();
    Q_DISABLE_COPY_MOVE(BatchRun)

    // Builds the disclaimer block and refuses an output folder that cannot be made or that leads
    // back to the article folder. Writes nothing. On failure *refusal says why, naming the file or
    // folder.
    bool check(BatchMessage *refusal);
    // check(), then makes (or reuses) the output folder and removes temporary files that runs cut
    // off left there. On failure nothing has been written.
    bool prepare(BatchMessage *refusal);

    const BatchJob &job() const { return m_job; }
    QString outputFolder() const { return m_outputFolder; }
    const QString &disclaimerBlock() const { return m_blocks.after; }
    int count() const { return int(m_job.fileNames.size()); }

    // Reads article index, adds what was asked for, and writes it atomically into the output
    // folder. A source is only ever opened for reading. Any failure, lack of memory included, is
    // the outcome of this article alone.
    Outcome process(int index);

    // What process() would do with article index, without writing anything (after check()):
    // Written with the output's path, " (replaces the file there)" added when one is there;
    // Skipped with the name of an empty article; Failed with the reason it cannot be read.
    Outcome plan(int index) const;

    // The log, line by line; lines are joined with CR LF.
    static QString firstLogLine(const QString &filesFound);
    static QString contentAddedLine(const QString &fileName);
    static QString lastLogLine();
    static QString stoppedLogLine(int done, int total);
    // The final message's text: "Done", or how many articles could not be processed, or how far a
    // stopped run got.
    static QString finalMessage(int failures);
    static QString stoppedMessage(int done, int total, int failures);
    // The run in one sentence: "5 of 6 articles written into FOLDER, 1 skipped as empty, 0
    // failed." with "; stopped after N" before the full stop when it ended early.
    static QString summary(int written, int total, const QString &folder, int skipped, int failures,
                           int doneWhenStopped = -1);

private:
    // What goes before and after one article's bytes, in its encoding.
    void compose(TextEncoding encoding, QByteArray &before, QByteArray &after);

    BatchJob m_job;
    QkTools m_tools;
    std::optional<RecommendationBuilder> m_builder;
    DisclaimerBlock::Blocks m_blocks;
    // CR LF and the disclaimer block after the article, and the block at its top, encoded once
    // for each encoding met.
    std::array<std::optional<QByteArray>, 4> m_encodedBlock;
    std::array<std::optional<QByteArray>, 4> m_encodedTop;
    QString m_outputFolder;
    std::unique_ptr<ArticleReader> m_reader;
    std::unique_ptr<FolderWriter> m_writer;
};
