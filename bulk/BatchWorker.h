#pragma once

#include <QObject>

#include <atomic>
#include <memory>

class BatchRun;

// Works through the articles of a prepared run, one after the other, away from the window's
// thread. Each article finished is reported at once; the window is never touched from here.
class BatchWorker : public QObject {
    Q_OBJECT

public:
    explicit BatchWorker(std::unique_ptr<BatchRun> run);
    ~BatchWorker() override;

    // Processes every article unless stop() is called; safe to call from another thread.
    void work();
    void stop() { m_stop = true; }

signals:
    // done of total articles handled; logLine is empty for an article skipped as empty.
    void articleDone(int done, int total, const QString &logLine, bool failed);
    void finished(int failures);

private:
    std::unique_ptr<BatchRun> m_run;
    std::atomic_bool m_stop = false;
};
