#include "platform/file_drop.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace platform {
namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}

}  // namespace

FileDropHandler::FileDropHandler(QWidget* window, DropCallback onDrop)
    : QObject(window), m_onDrop(std::move(onDrop)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

void FileDropHandler::AcceptData(DataTest accepts, DataCallback onData) {
    m_acceptsData = std::move(accepts);
    m_onData = std::move(onData);
}

bool FileDropHandler::TakesData(const QMimeData* data) const {
    return data != nullptr && m_acceptsData && m_acceptsData(*data);
}

bool FileDropHandler::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!LocalFiles(drag->mimeData()).isEmpty() || TakesData(drag->mimeData())) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList paths = LocalFiles(drop->mimeData());
            // Files first: a drag that carries both is about the files.
            const bool data = paths.isEmpty() && TakesData(drop->mimeData());
            if (!paths.isEmpty() || data) {
                drop->acceptProposedAction();
                if (auto* window = qobject_cast<QWidget*>(watched)) {
                    window->activateWindow();
                    window->raise();
                }
                if (data) {
                    if (m_onData) {
                        m_onData(*drop->mimeData());
                    }
                } else if (m_onDrop) {
                    m_onDrop(paths);
                }
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace platform
