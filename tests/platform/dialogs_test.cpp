// The real message box of the question asked before a save writes over
// another program's change: its buttons and the answer each one gives.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/dialogs.h"

namespace {

using platform::MessageAnswer;

// Presses the button of the open message box whose text is `button`
// (Escape when empty) and records the texts of all its buttons.
void AnswerOpenBox(const QString& button, QStringList* seen) {
    QTimer::singleShot(0, [button, seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            AnswerOpenBox(button, seen);  // not shown yet
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            *seen << b->text().remove(QLatin1Char('&'));
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                b->click();
                return;
            }
        }
        box->reject();
    });
}

TEST(QtDialogs, ReloadSaveAnywayCancelGivesTheAnswerOfTheButtonPressed) {
    struct Case {
        const char* button;
        MessageAnswer answer;
    };
    const Case cases[] = {
        {"Reload", MessageAnswer::kReload},
        {"Save Anyway", MessageAnswer::kSaveAnyway},
        {"Cancel", MessageAnswer::kCancel},
        {"", MessageAnswer::kCancel},  // closed without a button
    };
    for (const Case& c : cases) {
        QStringList seen;
        AnswerOpenBox(c.button, &seen);
        platform::QtDialogs dialogs;
        const MessageAnswer answer =
            dialogs.ShowMessage(nullptr, {"Changed.", "Quillbox", platform::MessageIcon::kWarning,
                                          platform::MessageButtons::kReloadSaveAnywayCancel});
        EXPECT_EQ(answer, c.answer) << c.button;
        seen.sort();
        EXPECT_EQ(seen, (QStringList{"Cancel", "Reload", "Save Anyway"})) << c.button;
    }
}

}  // namespace
