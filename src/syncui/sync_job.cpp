#include "syncui/sync_job.h"

#include <QThread>

namespace syncui {

CSyncJob::CSyncJob(carddav::SyncRequest request, QObject* parent)
    : QObject(parent), m_request(std::move(request)) {
    m_request.cancel = &m_cancel;
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
}

CSyncJob::~CSyncJob() {
    if (m_pThread != nullptr) {
        m_cancel = true;
        m_pThread->wait();
        delete m_pThread;
    }
}

void CSyncJob::Start() {
    if (m_pThread != nullptr) {
        return;
    }
    m_pThread = QThread::create([this] { m_outcome = carddav::RunSync(std::move(m_request)); });
    connect(m_pThread, &QThread::finished, this, [this] {
        m_pThread->wait();
        delete m_pThread;
        m_pThread = nullptr;
        emit finished();
    });
    m_pThread->start();
}

void CSyncJob::Cancel() {
    m_cancel = true;
}

}  // namespace syncui
