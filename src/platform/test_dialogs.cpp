#include "platform/test_dialogs.h"

#include <QDialog>

namespace platform {

QString TestDialogs::LastMessage() const {
    return m_messages.empty() ? QString() : m_messages.back().text;
}

void TestDialogs::Clear() {
    m_answers.clear();
    m_fileNames.clear();
    m_messages.clear();
    m_fileQuestions.clear();
    m_dialogScripts.clear();
}

MessageAnswer TestDialogs::ShowMessage(QWidget*, const MessageRequest& request) {
    m_messages.push_back(request);
    if (!m_answers.empty()) {
        MessageAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return DismissedAnswer(request.buttons);
}

std::optional<QString> TestDialogs::NextFileName(bool save, const FileDialogRequest& request) {
    m_fileQuestions.push_back({save, request});
    if (m_fileNames.empty()) {
        return std::nullopt;
    }
    std::optional<QString> name = m_fileNames.front();
    m_fileNames.pop_front();
    if (name) {
        name = AppendDefaultExtension(*name, request.defaultExtension);
    }
    return name;
}

std::optional<QString> TestDialogs::GetOpenFileName(QWidget*, const FileDialogRequest& request) {
    return NextFileName(false, request);
}

std::optional<QString> TestDialogs::GetSaveFileName(QWidget*, const FileDialogRequest& request) {
    return NextFileName(true, request);
}

int TestDialogs::RunDialog(QDialog& dialog) {
    if (m_dialogScripts.empty()) {
        return QDialog::Rejected;
    }
    DialogScript script = std::move(m_dialogScripts.front());
    m_dialogScripts.pop_front();
    return script(dialog);
}

}  // namespace platform
