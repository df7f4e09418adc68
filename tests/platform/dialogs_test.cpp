// The real message box of the question asked before a save writes over
// another program's change: the answer each of its buttons gives.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/dialogs.h"

namespace platform {
namespace {

// Presses the button `button` of the box about to open; Escape when empty.
void AnswerOpenBox(const QString& button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return AnswerOpenBox(button);  // not shown yet
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                return b->click();
            }
        }
        EXPECT_TRUE(button.isEmpty()) << "no button " << button.toStdString();
        box->reject();
    });
}

TEST(QtDialogs, ReloadSaveAnywayCancelGivesTheAnswerOfTheButtonPressed) {
    const std::pair<const char*, MessageAnswer> cases[] = {
        {"Reload", MessageAnswer::kReload},
        {"Save Anyway", MessageAnswer::kSaveAnyway},
        {"Cancel", MessageAnswer::kCancel},
        {"", MessageAnswer::kCancel},
    };
    for (const auto& [button, answer] : cases) {
        AnswerOpenBox(button);
        EXPECT_EQ(QtDialogs().ShowMessage(nullptr, {"Changed.", "Quillbox", MessageIcon::kWarning,
                                                    MessageButtons::kReloadSaveAnywayCancel}),
                  answer)
            << button;
    }
}

}  // namespace
}  // namespace platform
