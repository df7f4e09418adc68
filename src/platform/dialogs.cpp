#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace platform {
namespace {

IDialogs*& CurrentDialogs() {
    static IDialogs* current = nullptr;
    return current;
}

QString AppTitle() {
    return ResourceString(resources::kStrAppTitle);
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        case MessageIcon::kWarning:
            return QMessageBox::Warning;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent, request.caption);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    dialog.setNameFilters(ConvertFileFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    if (!request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return AppendDefaultExtension(dialog.selectedFiles().first(), request.defaultExtension);
}

// Adds `pattern` and, when they differ, its lower- and upper-case spellings.
void AddPattern(QStringList& out, QString pattern) {
    if (pattern == QLatin1String("*.*")) {
        pattern = QStringLiteral("*");
    }
    for (const QString& p : {pattern, pattern.toLower(), pattern.toUpper()}) {
        if (!out.contains(p)) {
            out << p;
        }
    }
}

// Cancel is the default: a book changed by another program is written over
// only when the user says so.
MessageAnswer AskReloadSaveAnywayCancel(QMessageBox& box) {
    QPushButton* reload =
        box.addButton(ResourceString(resources::kStrReloadButton), QMessageBox::AcceptRole);
    QPushButton* saveAnyway = box.addButton(ResourceString(resources::kStrSaveAnywayButton),
                                            QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == reload) {
        return MessageAnswer::kReload;
    }
    if (box.clickedButton() == saveAnyway) {
        return MessageAnswer::kSaveAnyway;
    }
    return MessageAnswer::kCancel;
}

}  // namespace

MessageAnswer DismissedAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOk:
            return MessageAnswer::kOk;
        case MessageButtons::kYesNo:
            return MessageAnswer::kNo;
        default:
            return MessageAnswer::kCancel;
    }
}

MessageAnswer QtDialogs::ShowMessage(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(ToQtIcon(request.icon),
                    request.caption.isEmpty() ? AppTitle() : request.caption, request.text,
                    QMessageBox::NoButton, parent ? parent : QApplication::activeWindow());
    switch (request.buttons) {
        case MessageButtons::kOk:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case MessageButtons::kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::kYesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::kReloadSaveAnywayCancel:
            return AskReloadSaveAnywayCancel(box);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::kOk;
        case QMessageBox::Yes:
            return MessageAnswer::kYes;
        case QMessageBox::No:
            return MessageAnswer::kNo;
        case QMessageBox::Cancel:
            return MessageAnswer::kCancel;
        default:
            break;
    }
    return DismissedAnswer(request.buttons);
}

std::optional<QString> QtDialogs::GetOpenFileName(QWidget* parent,
                                                  const FileDialogRequest& request) {
    return RunFileDialog(parent, request, false);
}

std::optional<QString> QtDialogs::GetSaveFileName(QWidget* parent,
                                                  const FileDialogRequest& request) {
    return RunFileDialog(parent, request, true);
}

IDialogs& Dialogs() {
    static QtDialogs real;
    IDialogs* current = CurrentDialogs();
    return current != nullptr ? *current : real;
}

void SetDialogs(IDialogs* dialogs) {
    CurrentDialogs() = dialogs;
}

ScopedDialogs::ScopedDialogs(IDialogs& dialogs) : m_previous(CurrentDialogs()) {
    SetDialogs(&dialogs);
}

ScopedDialogs::~ScopedDialogs() {
    SetDialogs(m_previous);
}

MessageAnswer ShowMessageBox(const QString& text, MessageIcon icon, MessageButtons buttons,
                             QWidget* parent) {
    return Dialogs().ShowMessage(parent, MessageRequest{text, AppTitle(), icon, buttons});
}

QStringList ConvertFileFilter(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) {
            break;  // the "||" that ends the list
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) {
                AddPattern(patterns, pattern.trimmed());
            }
        }
        if (patterns.isEmpty()) {
            continue;
        }
        // Qt reads the patterns from the parentheses at the end of the
        // description, so the description's own list is replaced.
        qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open > 0) {
            description = description.left(open).trimmed();
        }
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

QString AppendDefaultExtension(const QString& path, const QString& extension) {
    if (extension.isEmpty()) {
        return path;
    }
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || name.contains(QLatin1Char('.'))) {
        return path;
    }
    return path + QLatin1Char('.') + extension;
}

void FocusFirstControl(QWidget* container) {
    if (container == nullptr) {
        return;
    }
    for (QWidget* w = container->nextInFocusChain(); w != container; w = w->nextInFocusChain()) {
        if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0) {
            w->setFocus();
            return;
        }
    }
}

}  // namespace platform
