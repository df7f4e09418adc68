// Registers the address book file type with the desktop, for the current
// user: a shared-mime-info type "application/x-quillbox" for *.qxd files
// named "Quillbox Document", a desktop entry that opens such files with this
// program (with Open and Print actions), and the program icon.  Files are
// written under $XDG_DATA_HOME (~/.local/share) only when missing or out of
// date, and the desktop's caches are refreshed when their tools exist.
// Nothing here can stop the program from starting.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace shell {

inline constexpr const char* kMimeType = "application/x-quillbox";
inline constexpr const char* kDesktopFileName = "quillbox.desktop";
inline constexpr const char* kMimeFileName = "quillbox.xml";
inline constexpr const char* kIconName = "quillbox";

// The shared-mime-info description of the book type.
QString MimeTypeXml();

// The desktop entry for the program at `programPath`.  With an empty path the
// entry names the program "quillbox" and leaves finding it to PATH, as an
// installed entry does.
QString DesktopEntry(const QString& programPath);

// `text` quoted for the Exec key of a desktop entry when it needs quoting.
QString QuoteExecArgument(const QString& text);

// The user's data folder: $XDG_DATA_HOME when absolute, else
// ~/.local/share.
QString UserDataHome();

struct RegistrationResult {
    QStringList written;  // files created or replaced
    QStringList failed;   // files that could not be written
    QStringList helpers;  // cache tools started
};

// Writes what is missing or out of date under `dataHome` for the program at
// `programPath`, then starts the cache tools (update-mime-database,
// update-desktop-database, each only when something it reads changed).
// `startHelper` starts a tool without waiting and returns false when it is
// not installed.
RegistrationResult RegisterFileType(
    const QString& dataHome, const QString& programPath,
    const std::function<bool(const QString& program, const QStringList& arguments)>& startHelper);

// The same with the real folder and tools.
RegistrationResult RegisterFileType(const QString& programPath);

}  // namespace shell
