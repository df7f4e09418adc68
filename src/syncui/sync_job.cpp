#include "syncui/sync_job.h"

namespace syncui {

CSyncJob::CSyncJob(carddav::SyncRequest request, QObject* parent)
    : QObject(parent), m_request(std::move(request)) {
    m_request.cancel = m_worker.CancelFlag();
    m_request.progress = [this](const booksync::SyncProgress& step) {
        const int phase = static_cast<int>(step.phase);
        if (phase == m_nLastPhase && m_lastProgress.isValid() &&
            m_lastProgress.elapsed() < kProgressMs && step.done != step.total) {
            return;
        }
        m_nLastPhase = phase;
        m_lastProgress.start();
        const auto done = static_cast<qulonglong>(step.done);
        const auto total = static_cast<qulonglong>(step.total);
        QMetaObject::invokeMethod(
            this, [this, phase, done, total] { emit progress(phase, done, total); },
            Qt::QueuedConnection);
    };
    connect(&m_worker, &CWorkerThread::finished, this, &CSyncJob::finished);
}

void CSyncJob::Start() {
    m_worker.Start([this] { m_outcome = carddav::RunSync(std::move(m_request)); });
}

}  // namespace syncui
