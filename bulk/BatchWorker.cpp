#include "bulk/BatchWorker.h"

#include "bulk/BatchRun.h"

#include <QElapsedTimer>

#include <utility>

BatchWorker::BatchWorker(std::unique_ptr<BatchRun> run) : m_run(std::move(run)) {}

BatchWorker::~BatchWorker() = default;

void BatchWorker::work() {
    const int total = m_run->count();
    int failures = 0;
    int done = 0;
    QStringList pending;
    QElapsedTimer sinceReport;
    sinceReport.start();
    for (; done < total && !m_stop; ++done) {
        const BatchRun::Outcome outcome = m_run->process(done);
        if (outcome.result == BatchRun::Result::Failed)
            ++failures;
        if (!outcome.logLine.isEmpty())
            pending.append(outcome.logLine);
        if (sinceReport.hasExpired(ReportIntervalMs)) {
            emit progress(done + 1, total, std::exchange(pending, {}), failures);
            sinceReport.restart();
        }
    }
    emit progress(done, total, pending, failures);
    emit finished(failures, done, done < total);
}
