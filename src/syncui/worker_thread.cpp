#include "syncui/worker_thread.h"

#include <QThread>

namespace syncui {

CWorkerThread::~CWorkerThread() {
    if (m_pThread != nullptr) {
        m_cancel = true;
        m_pThread->wait();
        delete m_pThread;
    }
}

void CWorkerThread::Start(std::function<void()> work) {
    if (m_pThread != nullptr) {
        return;
    }
    m_cancel = false;
    m_pThread = QThread::create(std::move(work));
    connect(m_pThread, &QThread::finished, this, [this] {
        m_pThread->wait();
        delete m_pThread;
        m_pThread = nullptr;
        emit finished();
    });
    m_pThread->start();
}

}  // namespace syncui
