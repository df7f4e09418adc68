// Dialogs for tests: they answer from queues filled in advance and record
// every question, so that window tests run without a screen or a user.
//
// With an empty queue a message box gets the answer that changes nothing
// (OK for an OK box, No for Yes/No, Cancel otherwise) and a file dialog is
// cancelled.  A queued file name is treated as typed by the user: the
// request's default extension is appended when the name has none.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/dialogs.h"

namespace platform {

class TestDialogs final : public IDialogs {
public:
    struct FileQuestion {
        bool save;
        FileDialogRequest request;
    };

    // Runs a dialog instead of a user: fills its boxes, presses its
    // buttons, returns QDialog::Accepted or Rejected.
    using DialogScript = std::function<int(QDialog& dialog)>;

    void QueueAnswer(MessageAnswer answer) { m_answers.push_back(answer); }
    // The script for the next dialog; without one a dialog is rejected.
    void QueueDialog(DialogScript script) { m_dialogScripts.push_back(std::move(script)); }
    void QueueFileName(const QString& name) { m_fileNames.push_back(name); }
    void QueueFileCancel() { m_fileNames.push_back(std::nullopt); }

    const std::vector<MessageRequest>& Messages() const { return m_messages; }
    const std::vector<FileQuestion>& FileQuestions() const { return m_fileQuestions; }
    // The text of the last message box, empty when none was shown.
    QString LastMessage() const;
    int UnusedAnswers() const { return static_cast<int>(m_answers.size() + m_fileNames.size()); }
    void Clear();

    MessageAnswer ShowMessage(QWidget* parent, const MessageRequest& request) override;
    std::optional<QString> GetOpenFileName(QWidget* parent,
                                           const FileDialogRequest& request) override;
    std::optional<QString> GetSaveFileName(QWidget* parent,
                                           const FileDialogRequest& request) override;
    int RunDialog(QDialog& dialog) override;

private:
    std::optional<QString> NextFileName(bool save, const FileDialogRequest& request);

    std::deque<MessageAnswer> m_answers;
    std::deque<std::optional<QString>> m_fileNames;
    std::vector<MessageRequest> m_messages;
    std::vector<FileQuestion> m_fileQuestions;
    std::deque<DialogScript> m_dialogScripts;
};

}  // namespace platform
