// Files dropped on a window: the window accepts drags that carry local
// files, and a drop hands their paths to a callback after bringing the
// window to the front.  The main window's callback opens a dropped book
// (CDocManager::OnDropFiles) and imports dropped vCard files.
//
// A drag that carries no local file may still carry data the window takes
// (AcceptData): a contact dragged out of a mail program comes as text/vcard
// data, and the main window imports it.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace platform {

class FileDropHandler : public QObject {
    Q_OBJECT

public:
    using DropCallback = std::function<void(const QStringList& paths)>;
    using DataTest = std::function<bool(const QMimeData& data)>;
    using DataCallback = std::function<void(const QMimeData& data)>;

    // Installs itself on `window` (which then accepts drops); owned by it.
    FileDropHandler(QWidget* window, DropCallback onDrop);

    // Also accepts drags without local files whose data `accepts` says yes
    // to; a drop of one goes to `onData`.
    void AcceptData(DataTest accepts, DataCallback onData);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool TakesData(const QMimeData* data) const;

    DropCallback m_onDrop;
    DataTest m_acceptsData;
    DataCallback m_onData;
};

}  // namespace platform
