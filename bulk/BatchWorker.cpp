#include "bulk/BatchWorker.h"

#include "bulk/BatchRun.h"

BatchWorker::BatchWorker(std::unique_ptr<BatchRun> run) : m_run(std::move(run)) {}

BatchWorker::~BatchWorker() = default;

void BatchWorker::work() {
    const int total = m_run->count();
    int failures = 0;
    for (int i = 0; i < total && !m_stop; ++i) {
        const BatchRun::Outcome outcome = m_run->process(i);
        const bool failed = outcome.result == BatchRun::Result::Failed;
        if (failed)
            ++failures;
        emit articleDone(i + 1, total, outcome.logLine, failed);
    }
    emit finished(failures);
}
