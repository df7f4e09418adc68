// File / Synchronize... in the whole program against the test server: the
// account dialog and its search, the sync and its summary, cancelling it,
// the link saved with the book and dropped by a new one, a wrong password,
// a certificate not trusted.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include "addresslist/address_list_view.h"
#include "carddav_server.h"
#include "document/qx32_doc.h"
#include "platform/doc_manager.h"
#include "resources/command_ids.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"
#include "shell/shell_test_support.h"
#include "syncui/account_dlg.h"
#include "syncui/sync_controller.h"

namespace syncui {
namespace {

using carddav::testing::CardText;
using carddav::testing::ServerAccount;
using carddav::testing::TestAddressBook;

class SyncWindowTest : public shell::testing::AppFixture {
protected:
    int Rows() { return m_app->View()->Model().RowCount(); }
    QString StatusText() { return Frame()->Pane(0)->text(); }

    // Runs File / Synchronize... with the dialog answered by `script`, does
    // `meanwhile` while the sync runs, and waits for its end; false when
    // none ran.
    bool Synchronize(platform::TestDialogs::DialogScript script,
                     const std::function<void()>& meanwhile = {}) {
        m_dialogs.QueueDialog(std::move(script));
        QSignalSpy finished(m_app->Sync(), &CSyncController::syncFinished);
        Run(resources::kCmdFileSynchronize);
        const bool started = m_app->Sync()->IsSyncing();
        if (meanwhile) {
            meanwhile();
        }
        return started && finished.wait(60000);
    }
};

// Answers the account dialog with the account at `url`, without a search.
platform::TestDialogs::DialogScript FillIn(const QUrl& url, const ServerAccount& account,
                                           const QString& password) {
    return [=](QDialog& dialog) {
        static_cast<CSyncAccountDlg&>(dialog).SetAccount(url.toString(), account.user, password);
        return int(QDialog::Accepted);
    };
}

// A sync cancelled at once, one through the dialog's search, the link kept
// with the book and offered again, a wrong password, a new book unlinked.
TEST_F(SyncWindowTest, SynchronizesThroughTheDialogAndKeepsTheLink) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Window test"));
    server.PutCard("jane.vcf", CardText("jane", "Doe", "Jane", "555-0100"));
    server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
    ASSERT_TRUE(shell::testing::WriteGeneratedBook(Path("book.qxd"), 2));
    ASSERT_TRUE(Start({Path("book.qxd")}));

    // The command waits for the sync under way, which can be cancelled.
    ASSERT_TRUE(Synchronize(FillIn(server.Url(), account, account.password), [&] {
        EXPECT_FALSE(Frame()->Router().IsEnabled(resources::kCmdFileSynchronize));
        Frame()->findChild<QAbstractButton*>("cancelSync")->click();
    }));
    EXPECT_EQ(StatusText().toStdString(),
              "The synchronization with 127.0.0.1 stopped: The synchronization was cancelled.");
    EXPECT_FALSE(m_app->Document()->Link());

    // The account filled in, the address books found, ours picked.
    ASSERT_TRUE(Synchronize([&](QDialog& dialog) {
        auto& accountDlg = static_cast<CSyncAccountDlg&>(dialog);
        accountDlg.SetAccount(account.root.toString(), account.user, account.password);
        QSignalSpy searched(&accountDlg, &CSyncAccountDlg::searchFinished);
        dialog.findChild<QPushButton*>("findAddressBooks")->click();
        EXPECT_TRUE(searched.wait(30000));
        auto* books = dialog.findChild<QListWidget*>("addressBooks");
        const auto found = books->findItems(QStringLiteral("Window test"), Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << accountDlg.SearchText().toStdString();
        books->setCurrentItem(found.value(0));
        dialog.findChild<QPushButton*>("syncNow")->click();
        return dialog.result();
    }));
    EXPECT_EQ(StatusText(),
              "Synchronized with Window test: 2 received, 2 sent, 0 deleted, 0 conflicts.");
    EXPECT_TRUE(m_dialogs.Messages().empty()) << m_dialogs.LastMessage().toStdString();
    EXPECT_EQ(Rows(), 4);

    // Saved and opened again, the book knows its address book: the dialog
    // comes filled in (the password from this run), the link's statuses tell
    // that nothing changed, and the book stays unmodified.
    Run(resources::kCmdFileSave);
    ASSERT_EQ(
        m_app->DocManager()->OpenDocumentFile(Path("book.qxd"), platform::OpenMode::kReportFailure),
        platform::OpenResult::kOpened);
    ASSERT_TRUE(Synchronize([](QDialog&) { return int(QDialog::Accepted); }));
    EXPECT_EQ(StatusText(),
              "Synchronized with Window test: 0 received, 0 sent, 0 deleted, 0 conflicts.");
    EXPECT_FALSE(m_app->Document()->IsModified());

    // A wrong password is told, and changes nothing.
    ASSERT_TRUE(Synchronize(FillIn(server.Url(), account, QStringLiteral("wrong"))));
    EXPECT_NE(m_dialogs.LastMessage().indexOf("did not accept the user name or password"), -1);
    EXPECT_EQ(Rows(), 4);
    EXPECT_FALSE(m_app->Document()->IsModified());

    Run(resources::kCmdFileNew);
    EXPECT_FALSE(m_app->Document()->Link());
}

// A certificate this machine does not trust: shown (to whom and by whom it
// was issued), refused on "No" with nothing done and nothing remembered,
// used on "Yes" and remembered for that server, so the next sync asks no
// more.
TEST_F(SyncWindowTest, AnUntrustedCertificateIsAskedAboutAndTheYesRemembered) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Certificate"));
    server.PutCard("jane.vcf", CardText("jane", "Doe", "Jane", "555-0100"));
    carddav::testing::TlsProxy tls(server.Url());
    const QUrl url = tls.Through(server.Url());
    ASSERT_TRUE(Start());
    const auto fillIn = FillIn(url, account, account.password);

    m_dialogs.QueueAnswer(platform::MessageAnswer::kNo);
    ASSERT_TRUE(Synchronize(fillIn));
    ASSERT_GE(m_dialogs.Messages().size(), 1u);
    const QString question = m_dialogs.Messages().front().text;
    const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(url.port());
    for (const QString& part : {QStringLiteral("Issued to: Quillbox Test Server"),
                                QStringLiteral("Issued by: Quillbox Test Server"), hostPort}) {
        EXPECT_TRUE(question.contains(part)) << question.toStdString();
    }
    EXPECT_EQ(Rows(), 0);

    m_dialogs.QueueAnswer(platform::MessageAnswer::kYes);
    const std::size_t asked = m_dialogs.Messages().size();
    ASSERT_TRUE(Synchronize(fillIn));
    EXPECT_EQ(Rows(), 1);
    // Asked once: the "No" was not remembered, the "Yes" is.
    ASSERT_TRUE(Synchronize(fillIn));
    EXPECT_EQ(m_dialogs.Messages().size(), asked + 1) << m_dialogs.LastMessage().toStdString();
}

}  // namespace
}  // namespace syncui
