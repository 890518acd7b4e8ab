#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

class BatchRun;

// Works through the articles of a prepared run, one after the other, away from the window's
// thread; the window is never touched from here. Progress is reported in small batches (about
// twenty a second), so that a folder of thousands of articles does not flood the window with one
// report per article.
class BatchWorker : public QObject {
    Q_OBJECT

public:
    explicit BatchWorker(std::unique_ptr<BatchRun> run);
    ~BatchWorker() override;

    // Processes every article, or stops after the article at hand once stop() is called (safe to
    // call from any thread).
    void work();
    void stop() { m_stop = true; }

    static constexpr int ReportIntervalMs = 50;

signals:
    // done of total articles handled so far; the log lines of the articles handled since the last
    // report (an article skipped as empty has none). failures counts since the start.
    void progress(int done, int total, const QStringList &logLines, int failures);
    // done articles were handled; stopped when the run ended before the last one.
    void finished(int failures, int done, bool stopped);

private:
    std::unique_ptr<BatchRun> m_run;
    std::atomic_bool m_stop = false;
};
