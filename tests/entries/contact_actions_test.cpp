// Dial, Email and Web: the addresses handed over, the empty-item dialog, the
// shortcut file and the one-time telephony lookup.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <filesystem>
#include <functional>

#include "addressbook/field_table.h"
#include "entries/contact_actions.h"
#include "entries/empty_dlg.h"
#include "entries_test_support.h"
#include "resources/command_ids.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;
using testing::MakeEntry;

TEST(ContactActions, AddressPrefixRule) {
    struct Case {
        const char* text;
        const char* prefix;
        const char* address;
    };
    const Case cases[] = {
        {"ann@example.com", "mailto:", "mailto:ann@example.com"},
        {"mailto:ann@example.com", "mailto:", "mailto:ann@example.com"},
        {"Ann <mailto:ann@example.com>", "mailto:", "Ann <mailto:ann@example.com>"},
        {"MAILTO:ann@example.com", "mailto:", "mailto:MAILTO:ann@example.com"},
        {"www.example.com", "http://", "http://www.example.com"},
        {"http://", "http://", "http://"},
        {"HTTP://EXAMPLE.COM", "http://", "http://HTTP://EXAMPLE.COM"},
        {"https://example.com", "http://", "http://https://example.com"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildAddress(c.text, c.prefix), QString::fromUtf8(c.address)) << c.text;
    }
}

TEST(ContactActions, CalledPartyAlwaysHasTheBlank) {
    EXPECT_EQ(CalledPartyName(MakeEntry({{FirstName, "Ann"}, {LastName, "Smith"}})), "Ann Smith");
    EXPECT_EQ(CalledPartyName(MakeEntry({{LastName, "Smith"}})), " Smith");
    EXPECT_EQ(CalledPartyName(MakeEntry({{FirstName, "Ann"}})), "Ann ");
}

TEST(ContactActions, TelephonyLooksUpItsHandlerOnce) {
    testing::RecordingOpener opener;
    int queries = 0;
    CTelephony missing(opener, [&] {
        ++queries;
        return QString();
    });
    EXPECT_EQ(missing.RequestMakeCall("555 1234", "", "Ann", ""), CTelephony::kCallFailed);
    EXPECT_EQ(missing.RequestMakeCall("555 1234", "", "Ann", ""), CTelephony::kCallFailed);
    EXPECT_EQ(queries, 1);
    EXPECT_TRUE(opener.urls.empty());

    CTelephony present(opener, [] { return QStringLiteral("dialer.desktop"); });
    EXPECT_EQ(present.RequestMakeCall("+1 (555) 123-4567", "", "Ann", ""), 0);
    EXPECT_EQ(present.RequestMakeCall("555#12", "", "", ""), 0);
    EXPECT_EQ(present.HandlerQueries(), 1);
    ASSERT_EQ(opener.urls.size(), 2u);
    EXPECT_EQ(QUrl(opener.urls[0]).scheme(), "tel");
    EXPECT_EQ(QUrl(opener.urls[0]).path(QUrl::FullyDecoded), "+1 (555) 123-4567");
    EXPECT_EQ(QUrl(opener.urls[1]).path(QUrl::FullyDecoded), "555#12");

    opener.answer = false;
    EXPECT_EQ(present.RequestMakeCall("1", "", "", ""), CTelephony::kCallFailed);
}

class ContactActionsTest : public EntriesTest {
protected:
    ContactActionsTest()
        : m_telephony(m_opener, [this] {
              ++m_nQueries;
              return QStringLiteral("dialer.desktop");
          }) {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(m_folder.Path()));
        AddRows({{{FirstName, "Ann"}, {LastName, "Smith"}, {Email1, "ann@example.com"}}});
        List().SelectRow(0);
        EntryServices services;
        services.list = &List();
        services.profile = &m_profile;
        services.undo = &Controller().Undo();
        services.runDialog = [this](QDialog& dialog) { return m_script.Run(dialog); };
        m_actions = std::make_unique<CContactActions>(services, m_opener, m_telephony);
    }
    ~ContactActionsTest() override { QDir::setCurrent(m_previousDir); }

    std::string Shortcut() { return testsupport::ReadText(m_folder.File(kShortcutFileName)); }

    // Types `text` into the empty-item dialog with the box ticked or not.
    void AnswerEmpty(const QString& text, bool addToEntry, bool expectTicked = true) {
        m_script.Accept<CEmptyDlg>([=](CEmptyDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Empty Phone/Email/URL");
            EXPECT_EQ(dialog.AddBox()->isChecked(), expectTicked);
            EXPECT_TRUE(dialog.TextBox()->text().isEmpty());
            dialog.TextBox()->setText(text);
            dialog.AddBox()->setChecked(addToEntry);
        });
    }

    QString m_previousDir;
    int m_nQueries = 0;
    CTelephony m_telephony;
    std::unique_ptr<CContactActions> m_actions;
};

TEST_F(ContactActionsTest, EmailWritesTheShortcutAndOpensTheAddress) {
    m_actions->OnContactCommand(resources::kCmdEmail1);
    ASSERT_EQ(m_opener.urls.size(), 1u);
    EXPECT_EQ(m_opener.urls[0], "mailto:ann@example.com");
    EXPECT_EQ(Shortcut(), "[InternetShortcut]\r\nURL=mailto:ann@example.com\r\n");

    // The next launch replaces the file.
    List().MutableEntryAt(0).SetField(Web2, "example.org/a b");
    m_actions->OnContactCommand(resources::kCmdWeb2);
    EXPECT_EQ(Shortcut(), "[InternetShortcut]\r\nURL=http://example.org/a b\r\n");
    EXPECT_EQ(QUrl(m_opener.urls.back()), QUrl("http://example.org/a b", QUrl::TolerantMode));
    EXPECT_EQ(m_script.Shown(), 0);
}

TEST_F(ContactActionsTest, DialHandsOverNumberAndName) {
    List().MutableEntryAt(0).SetField(CellPhone, "555-0100");
    List().MutableEntryAt(0).SetField(FirstName, "");
    m_actions->OnContactCommand(resources::kCmdDialCellular);
    ASSERT_EQ(m_opener.urls.size(), 1u);
    EXPECT_EQ(QUrl(m_opener.urls[0]).path(), "555-0100");
    EXPECT_EQ(m_nQueries, 1);
    EXPECT_FALSE(std::filesystem::exists(m_folder.File(kShortcutFileName)));
}

TEST_F(ContactActionsTest, EmptyItemDialog) {
    struct Case {
        const char* name;
        int command;
        int field;
        const char* typed;
        bool tick;
        const char* opened;  // empty: nothing opened
        bool stored;
    };
    const Case cases[] = {
        {"dial work, ticked", resources::kCmdDialWork, WorkPhone, "555-0199", true, "555-0199",
         true},
        {"dial work, cleared", resources::kCmdDialWork, WorkPhone, "555-0199", false, "555-0199",
         false},
        {"email 2, ticked", resources::kCmdEmail2, Email2, "bob@example.com", true,
         "mailto:bob@example.com", true},
        {"web 1, cleared", resources::kCmdWeb1, Web1, "example.com", false, "http://example.com",
         false},
        {"OK with an empty box", resources::kCmdDialFax, FaxPhone, "", true, "", false},
    };
    bool ticked = true;  // "AddNewInfo" absent: ticked
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_opener.urls.clear();
        m_document.SetModifiedFlag(false);
        AnswerEmpty(c.typed, c.tick, ticked);
        m_actions->OnContactCommand(c.command);
        ticked = c.tick;
        EXPECT_EQ(Read(settings::kAddNewInfo), c.tick ? 1 : 0);
        if (*c.opened == '\0') {
            EXPECT_TRUE(m_opener.urls.empty());
        } else {
            ASSERT_EQ(m_opener.urls.size(), 1u);
            const QUrl url(m_opener.urls[0]);
            EXPECT_EQ(url.scheme() == "tel" ? url.path() : url.toString(),
                      QString::fromUtf8(c.opened));
        }
        EXPECT_EQ(List().EntryAt(0).GetField(c.field), c.stored ? c.typed : "");
        EXPECT_EQ(m_document.IsModified(), c.stored);
        if (c.stored) {
            // The stored item is one step of the undo history.
            Controller().Undo().Stack().undo();
            EXPECT_EQ(List().EntryAt(0).GetField(c.field), "");
        }
    }
}

TEST_F(ContactActionsTest, CancelWritesNothing) {
    Write(settings::kAddNewInfo, 0);
    m_script.Cancel<CEmptyDlg>([](CEmptyDlg& dialog) {
        EXPECT_FALSE(dialog.AddBox()->isChecked());
        dialog.AddBox()->setChecked(true);
    });
    m_actions->OnContactCommand(resources::kCmdDialHome);
    EXPECT_EQ(Read(settings::kAddNewInfo), 0);
    EXPECT_TRUE(m_opener.urls.empty());
    EXPECT_EQ(m_nQueries, 0);
}

// Nothing on this desktop reads the shortcut: when it cannot be written the
// address still opens, with no message, and nothing the name points at is
// touched.
TEST_F(ContactActionsTest, ShortcutThatCannotBeWrittenStopsNothing) {
    const std::string shortcut = m_folder.File(kShortcutFileName);
    const std::string victim = m_folder.File("victim.txt");
    struct Case {
        const char* name;
        bool isLink;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"a folder of that name", false, [&] { std::filesystem::create_directory(shortcut); }},
        {"a link to another file", true,
         [&] { std::filesystem::create_symlink(victim, shortcut); }},
        {"a link to nowhere", true,
         [&] { std::filesystem::create_symlink(m_folder.File("none"), shortcut); }},
        {"a second name of another file", false,
         [&] { std::filesystem::create_hard_link(victim, shortcut); }},
        // The current folder is gone, so nothing can be created in it (as
        // with "/" as the folder of a program started from a launcher).
        {"a current folder that takes no file", false,
         [&] {
             std::filesystem::create_directory(m_folder.File("gone"));
             QDir::setCurrent(QString::fromStdString(m_folder.File("gone")));
             std::filesystem::remove(m_folder.File("gone"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir::setCurrent(QString::fromStdString(m_folder.Path()));
        std::error_code ignored;
        std::filesystem::remove_all(shortcut, ignored);
        testsupport::WriteText(victim, "keep me");
        m_opener.urls.clear();
        c.prepare();
        m_actions->OnContactCommand(resources::kCmdEmail1);
        ASSERT_EQ(m_opener.urls.size(), 1u);
        EXPECT_EQ(m_opener.urls[0], "mailto:ann@example.com");
        EXPECT_TRUE(m_messages.Messages().empty());
        EXPECT_EQ(testsupport::ReadText(victim), "keep me");
        EXPECT_FALSE(std::filesystem::exists(m_folder.File("none")));
        if (c.isLink) {
            EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(shortcut)));
        }
    }
}

}  // namespace
}  // namespace entries
