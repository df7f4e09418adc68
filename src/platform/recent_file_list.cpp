#include "platform/recent_file_list.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <string>

#include "platform/command_router.h"
#include "platform/profile.h"
#include "resources/command_ids.h"
#include "resources/menus.h"

namespace platform {
namespace {

constexpr std::string_view kSection = "Recent File List";

std::string EntryKey(int number) {
    return "File" + std::to_string(number);
}

QString AbsolutePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The item text of the first recent-file command while the list is empty.
QString EmptyListText() {
    const resources::MenuItem* item =
        resources::FindMenuCommand(resources::kMenuMain, resources::kCmdFileMruFirst);
    return item != nullptr
               ? QString::fromUtf8(item->text.data(), static_cast<qsizetype>(item->text.size()))
               : QString();
}

}  // namespace

RecentFileList::RecentFileList(IProfile* profile, int size, int maxDisplayLength)
    : m_profile(profile),
      m_nSize(std::clamp(size, 0, resources::kMaxRecentFiles)),
      m_nMaxDisplayLength(maxDisplayLength) {}

void RecentFileList::Add(const QString& path) {
    if (m_nSize == 0 || path.isEmpty()) {
        return;
    }
    QString full = AbsolutePath(path);
    m_names.removeAll(full);
    m_names.prepend(full);
    while (m_names.size() > m_nSize) {
        m_names.removeLast();
    }
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < Count()) {
        m_names.removeAt(index);
    }
}

void RecentFileList::ReadList() {
    m_names.clear();
    if (m_nSize == 0 || m_profile == nullptr) {
        return;
    }
    for (int number = 1; number <= m_nSize; ++number) {
        QString name = QString::fromStdString(m_profile->GetString(kSection, EntryKey(number)));
        // Empty or repeated entries (a hand-edited file) are skipped, so the
        // menu never shows a blank or doubled item.
        if (!name.isEmpty() && !m_names.contains(name)) {
            m_names << name;
        }
    }
}

void RecentFileList::WriteList() const {
    if (m_nSize == 0 || m_profile == nullptr) {
        return;
    }
    // Entries beyond the list (left from a longer list) are cleared too.
    for (int number = 1; number <= resources::kMaxRecentFiles; ++number) {
        std::string key = EntryKey(number);
        std::string value = number <= Count() ? m_names[number - 1].toStdString() : std::string();
        if (m_profile->GetString(kSection, key) != value) {
            m_profile->SetString(kSection, key, value);
        }
    }
}

QString RecentFileList::DisplayName(int index) const {
    return AbbreviatePath(At(index), m_nMaxDisplayLength);
}

QString RecentFileList::MenuText(int index) const {
    int number = index + 1;
    QString prefix;
    if (number < 10) {
        prefix = QStringLiteral("&%1 ").arg(number);
    } else if (number == 10) {
        prefix = QStringLiteral("1&0 ");
    } else {
        prefix = QStringLiteral("%1 ").arg(number);
    }
    QString name = DisplayName(index);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return prefix + name;
}

void RecentFileList::UpdateMenu(CCmdUI& ui) const {
    int index = ui.Id() - resources::kCmdFileMruFirst;
    if (index < 0 || index >= resources::kMaxRecentFiles) {
        return;
    }
    QMenu* menu = ui.Menu();
    CommandRouter* router = ui.Router();
    if (index != 0 || menu == nullptr || router == nullptr) {
        ui.Enable(index < Count());
        return;
    }
    // The File menu is opening: put the list in place of the first entry.
    for (int i = 1; i < resources::kMaxRecentFiles; ++i) {
        menu->removeAction(router->Action(resources::kCmdFileMruFirst + i));
    }
    if (Count() == 0) {
        ui.SetText(EmptyListText());
        ui.Enable(false);
        return;
    }
    ui.SetText(MenuText(0));
    ui.Enable(true);
    const QList<QAction*> actions = menu->actions();
    qsizetype at = actions.indexOf(router->Action(resources::kCmdFileMruFirst));
    QAction* before = (at >= 0 && at + 1 < actions.size()) ? actions[at + 1] : nullptr;
    for (int i = 1; i < Count(); ++i) {
        QAction* entry = router->Action(resources::kCmdFileMruFirst + i);
        entry->setText(MenuText(i));
        entry->setEnabled(true);
        menu->insertAction(before, entry);
    }
}

QString RecentFileList::AbbreviatePath(const QString& path, int maxLength) {
    if (path.size() <= maxLength) {
        return path;
    }
    qsizetype lastSlash = path.lastIndexOf(QLatin1Char('/'));
    QString name = path.mid(lastSlash + 1);
    if (lastSlash < 0 || name.size() >= maxLength) {
        return name;
    }
    // The leading part that always stays: "/first" for an absolute path,
    // "first" for a relative one.
    qsizetype volumeEnd = path.indexOf(QLatin1Char('/'), path.startsWith(QLatin1Char('/')) ? 1 : 0);
    if (volumeEnd < 0 || volumeEnd >= lastSlash) {
        return name;  // no middle folder to leave out
    }
    const QString ellipsis = QStringLiteral("/...");
    if (volumeEnd + ellipsis.size() + 1 + name.size() > maxLength) {
        return name;
    }
    QString rest = path.mid(volumeEnd);  // starts with '/', ends with "/name"
    while (volumeEnd + ellipsis.size() + rest.size() > maxLength) {
        rest = rest.mid(rest.indexOf(QLatin1Char('/'), 1));
    }
    return path.left(volumeEnd) + ellipsis + rest;
}

}  // namespace platform
