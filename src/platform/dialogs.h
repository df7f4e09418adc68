// Message boxes and file dialogs behind one seam, IDialogs, so that every
// part of the program asks through Dialogs() and tests answer in advance
// (TestDialogs, test_dialogs.h) without a window appearing.
//
// File filters are written as pairs of description and patterns separated by
// vertical bars, ending with two: "Quillbox Files (*.qxd)|*.qxd|All Files
// (*.*)|*.*||".  Patterns within a pair are separated by semicolons.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace platform {

enum class MessageIcon { kNone, kInformation, kWarning, kQuestion, kError };
// kReloadSaveAnywayCancel: the question asked before a save writes over a
// book that another program changed.
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kReloadSaveAnywayCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo, kReload, kSaveAnyway };

// The answer of a message box closed without a button (Escape, the close
// box): the one that changes nothing.
MessageAnswer DismissedAnswer(MessageButtons buttons);

struct MessageRequest {
    QString text;
    QString caption;  // the application title when empty
    MessageIcon icon = MessageIcon::kNone;
    MessageButtons buttons = MessageButtons::kOk;
};

struct FileDialogRequest {
    QString caption;
    QString filter;                // "A|*.x|B|*.y||"
    QString defaultExtension;      // without the dot; appended when the name has none
    QString initialName;           // file name or path shown at first
    bool mustExist = false;        // open: only an existing file may be chosen
    bool promptOverwrite = false;  // save: ask before replacing an existing file
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual MessageAnswer ShowMessage(QWidget* parent, const MessageRequest& request) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> GetOpenFileName(QWidget* parent,
                                                   const FileDialogRequest& request) = 0;
    virtual std::optional<QString> GetSaveFileName(QWidget* parent,
                                                   const FileDialogRequest& request) = 0;
};

// The real dialogs (QMessageBox, QFileDialog).
class QtDialogs final : public IDialogs {
public:
    MessageAnswer ShowMessage(QWidget* parent, const MessageRequest& request) override;
    std::optional<QString> GetOpenFileName(QWidget* parent,
                                           const FileDialogRequest& request) override;
    std::optional<QString> GetSaveFileName(QWidget* parent,
                                           const FileDialogRequest& request) override;
};

// The dialogs in use: the real ones unless SetDialogs installed others.
IDialogs& Dialogs();
// Installs `dialogs` (not owned) for the whole process; nullptr restores the
// real ones.
void SetDialogs(IDialogs* dialogs);

// Installs dialogs for its own lifetime, then restores the previous ones.
class ScopedDialogs {
public:
    explicit ScopedDialogs(IDialogs& dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    IDialogs* m_previous;
};

// A message box with the application title as caption, through Dialogs().
// Without a parent the active window owns it.
MessageAnswer ShowMessageBox(const QString& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::kOk,
                             QWidget* parent = nullptr);

// Converts a filter in the vertical-bar form to Qt name filters.  Patterns
// with letters match both their lower-case and upper-case spellings, since
// books are named "*.QXD" as often as "*.qxd"; "*.*" matches every file.
// "CSV Files (*.txt;*.csv)|*.txt; *.csv||" gives
// {"CSV Files (*.txt *.TXT *.csv *.CSV)"}.
QStringList ConvertFileFilter(const QString& filter);

// `path` with "." + `extension` appended when its file name has no dot.
QString AppendDefaultExtension(const QString& path, const QString& extension);

// Gives the keyboard to the first control inside `container` that Tab
// reaches.  A tabbed dialog otherwise opens with its tab bar focused, and
// typing goes nowhere.
void FocusFirstControl(QWidget* container);

}  // namespace platform
