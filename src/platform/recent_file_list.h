// The recent-file list of the File menu: the books last opened or saved,
// most recent first, kept in the settings under [Recent File List] "File1",
// "File2", ... (read at start-up, written at exit).
//
// The list holds at most Size() names (at most resources::kMaxRecentFiles);
// a size of 0 means no list at all: nothing is read, added or written, and
// the File menu keeps its greyed "Recent File" item.  On the menu each name
// is numbered ("&1 home.qxd") and shortened to 30 characters: the file name
// is kept and middle folders give way to "...".
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class CCmdUI;
class IProfile;

class RecentFileList {
public:
    static constexpr int kDefaultDisplayLength = 30;

    // `profile` (not owned) may be null: the list is then not kept.
    RecentFileList(IProfile* profile, int size, int maxDisplayLength = kDefaultDisplayLength);

    int Size() const { return m_nSize; }
    int Count() const { return static_cast<int>(m_names.size()); }
    QString At(int index) const { return m_names.value(index); }
    const QStringList& Names() const { return m_names; }

    // Puts `path` (made absolute) at the top; an entry for the same file moves
    // there instead of being repeated, and the oldest entry drops off when the
    // list is full.
    void Add(const QString& path);
    void Remove(int index);

    void ReadList();
    void WriteList() const;

    // The menu's name for entry `index`, shortened, and the item text with its
    // number and with "&" doubled so that it shows as itself.
    QString DisplayName(int index) const;
    QString MenuText(int index) const;

    // The update handler for the recent-file commands.  When the File menu
    // opens, the first entry's item turns into the list's items (or back into
    // the greyed "Recent File" when the list is empty).
    void UpdateMenu(CCmdUI& ui) const;

    // `path` shortened to at most `maxLength` characters: unchanged when it
    // fits; else the first folder, "/...", and as many trailing folders and
    // the file name as fit; else the file name alone.
    static QString AbbreviatePath(const QString& path, int maxLength);

private:
    IProfile* m_profile;
    int m_nSize;
    int m_nMaxDisplayLength;
    QStringList m_names;
};

}  // namespace platform
