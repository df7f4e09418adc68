// Files dropped on a window: the window accepts drags that carry local
// files, and a drop hands their paths to a callback after bringing the
// window to the front.  The main window's callback opens a dropped book
// (CDocManager::OnDropFiles) and imports dropped vCard files.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

class FileDropHandler : public QObject {
    Q_OBJECT

public:
    using DropCallback = std::function<void(const QStringList& paths)>;

    // Installs itself on `window` (which then accepts drops); owned by it.
    FileDropHandler(QWidget* window, DropCallback onDrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropCallback m_onDrop;
};

}  // namespace platform
