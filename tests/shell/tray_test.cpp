// The tray icon with a fake notification area: hiding on minimize, coming
// back as the window was, starting minimized, the tray menu and its Show and
// Exit commands, a desktop without a notification area, and the
// Preferences command reached from the tray menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "addresslist/address_list_view.h"
#include "document/qx32_doc.h"
#include "preferences/pref_sheet.h"
#include "preferences/spin_edit.h"
#include "resources/command_ids.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"
#include "shell/tray_icon.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

using platform::MessageAnswer;

// Records what the window asks of its notification-area icon.
struct FakeTrayState {
    bool available = true;
    bool shown = false;
    int adds = 0;
    QString tooltip;
    QMenu* menu = nullptr;
    std::function<void(ITrayIcon::Click)> click;
};

class FakeTray final : public ITrayIcon {
public:
    explicit FakeTray(FakeTrayState& state) : m_state(state) {
        m_state.click = [this](Click c) { Clicked(c); };
    }
    bool IsAvailable() const override { return m_state.available; }
    void Add(const QString& tooltip) override {
        m_state.shown = true;
        ++m_state.adds;
        m_state.tooltip = tooltip;
    }
    void Remove() override { m_state.shown = false; }
    void SetMenu(QMenu* menu) override { m_state.menu = menu; }

private:
    FakeTrayState& m_state;
};

class TrayTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        SetTrayFactoryForTesting([this] { return std::make_unique<FakeTray>(m_tray); });
    }
    void TearDown() override {
        m_app.reset();
        SetTrayFactoryForTesting({});
        AppFixture::TearDown();
    }
    // Starts the program with its quit recorded instead of done.
    bool Start(const QStringList& arguments = {}) {
        const bool started = AppFixture::Start(arguments);
        if (started) {
            Frame()->SetQuitHandler([this](int code) { m_quitCode = code; });
        }
        return started;
    }
    void Minimize() { Frame()->setWindowState(Frame()->windowState() | Qt::WindowMinimized); }
    void LeftClick() { m_tray.click(ITrayIcon::Click::kLeft); }

    FakeTrayState m_tray;
    std::optional<int> m_quitCode;
};

TEST(TrayTooltipTest, TitleIsCutTo63Characters) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x92");  // two UTF-16 units
    struct Case {
        QString title;
        QString tooltip;
    };
    const Case cases[] = {
        {"", ""},
        {"Quillbox - [Untitled]", "Quillbox - [Untitled]"},
        {QString(63, 'a'), QString(63, 'a')},
        {QString(64, 'b'), QString(63, 'b')},
        {"Quillbox - [" + QString(200, 'c') + "]", ("Quillbox - [" + QString(200, 'c')).left(63)},
        // A character that would be split is left out whole.
        {QString(62, 'd') + emoji + "e", QString(62, 'd')},
        {QString(61, 'd') + emoji + "e", QString(61, 'd') + emoji},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrayTooltip(c.title), c.tooltip) << c.title.toStdString();
    }
}

TEST_F(TrayTest, MinimizeHidesToTheTrayAndAClickRestoresTheWindowAsItWas) {
    struct Case {
        const char* name;
        const char* rememberTray;  // nullptr: absent
        bool available;
        bool maximized;
        bool toTray;
    };
    const Case cases[] = {
        {"default on", nullptr, true, false, true},
        {"maximized stays maximized", "1", true, true, true},
        {"RememberTray off", "0", true, false, false},
        {"no notification area", "1", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_tray = FakeTrayState{};
        m_tray.available = c.available;
        if (c.rememberTray != nullptr) {
            Settings().SetString("Preferences", "RememberTray", c.rememberTray);
        }
        ASSERT_TRUE(Start());
        if (c.maximized) {
            Frame()->showMaximized();
        }
        Minimize();
        EXPECT_EQ(Frame()->IsTrayShown(), c.toTray);
        EXPECT_EQ(m_tray.shown, c.toTray);
        if (c.toTray) {
            EXPECT_FALSE(Frame()->isVisible());
            EXPECT_FALSE(Frame()->isMinimized());
            EXPECT_EQ(m_tray.tooltip, "Quillbox - [Untitled]");
            LeftClick();
            EXPECT_TRUE(Frame()->isVisible());
            EXPECT_EQ(Frame()->isMaximized(), c.maximized);
            EXPECT_FALSE(m_tray.shown);
            EXPECT_FALSE(Frame()->IsTrayShown());
        } else {
            EXPECT_TRUE(Frame()->isMinimized());
        }
        m_app.reset();
        std::remove(m_strIni.toStdString().c_str());
    }
}

TEST_F(TrayTest, OtherClicksLeaveTheWindowHidden) {
    ASSERT_TRUE(Start());
    Minimize();
    m_tray.click(ITrayIcon::Click::kRight);
    m_tray.click(ITrayIcon::Click::kOther);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_TRUE(m_tray.shown);
}

TEST_F(TrayTest, TheMenuOffersShowInBoldAndTheTrayCommands) {
    ASSERT_TRUE(Start());
    ASSERT_NE(m_tray.menu, nullptr);
    std::vector<std::pair<QString, int>> items;
    for (QAction* action : m_tray.menu->actions()) {
        items.emplace_back(action->isSeparator() ? QString("-") : action->text(),
                           action->isSeparator() ? 0 : platform::CommandRouter::CommandOf(action));
    }
    const std::vector<std::pair<QString, int>> expected = {
        {"&Show", resources::kCmdTrayShow},
        {"-", 0},
        {"&Preferences", resources::kCmdPreferences},
        {"&About", resources::kCmdAppAbout},
        {"&Help", resources::kCmdHelpTopics},
        {"-", 0},
        {"E&xit", resources::kCmdTrayExit}};
    EXPECT_EQ(items, expected);
    ASSERT_NE(m_tray.menu->defaultAction(), nullptr);
    EXPECT_EQ(m_tray.menu->defaultAction()->text(), "&Show");
    // Show, reached from the menu, brings the window back.
    Minimize();
    m_tray.menu->actions().first()->trigger();
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_FALSE(m_tray.shown);
}

TEST_F(TrayTest, StartMinimizedBeginsInTheTray) {
    struct Case {
        const char* name;
        bool available;
        const char* rememberTray;
        bool lastBook;
    };
    const Case cases[] = {
        {"tray", true, "1", false},
        {"RememberTray off still starts in the tray", true, "0", false},
        {"tooltip stays Untitled after the last book opens", true, "1", true},
        {"no notification area: minimized instead", false, "1", false},
    };
    const QString book = Path("people.qxd");
    ASSERT_TRUE(WriteGeneratedBook(book, 3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_tray = FakeTrayState{};
        m_tray.available = c.available;
        Settings().SetInt("Preferences", "StartMinimized", 1);
        Settings().SetString("Preferences", "RememberTray", c.rememberTray);
        Settings().SetInt("Preferences", "UseLastBook", c.lastBook ? 1 : 0);
        Settings().SetString("AddressBookInUse", "File", book.toStdString());
        ASSERT_TRUE(Start());
        if (!c.available) {
            EXPECT_FALSE(Frame()->IsTrayShown());
            EXPECT_TRUE(Frame()->isMinimized());
            m_app.reset();
            continue;
        }
        EXPECT_TRUE(Frame()->IsTrayShown());
        EXPECT_FALSE(Frame()->isVisible());
        EXPECT_EQ(m_tray.adds, 1);
        EXPECT_EQ(m_tray.tooltip, "Quillbox - [Untitled]");
        if (c.lastBook) {
            EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [" + book + "]");
        }
        LeftClick();
        EXPECT_TRUE(Frame()->isVisible());
        // Later minimizing follows "RememberTray".
        Minimize();
        EXPECT_EQ(Frame()->IsTrayShown(), std::string(c.rememberTray) == "1");
        m_app.reset();
    }
}

TEST_F(TrayTest, ExitFromTheTrayMenu) {
    struct Case {
        const char* name;
        bool modified;
        std::optional<MessageAnswer> answer;
        bool quits;
    };
    const Case cases[] = {
        {"unmodified", false, std::nullopt, true},
        {"modified, No", true, MessageAnswer::kNo, true},
        {"modified, Cancel keeps the program", true, MessageAnswer::kCancel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_quitCode.reset();
        m_dialogs.Clear();
        Settings().SetString("Preferences", "WindowPos", "");
        ASSERT_TRUE(Start());
        if (c.modified) {
            m_app->Document()->SetModifiedFlag(true);
        }
        if (c.answer) {
            m_dialogs.QueueAnswer(*c.answer);
        }
        Minimize();
        ASSERT_TRUE(m_tray.shown);
        m_tray.menu->actions().last()->trigger();
        EXPECT_FALSE(m_tray.shown);
        EXPECT_EQ(m_dialogs.Messages().size(), c.modified ? 1u : 0u);
        if (c.quits) {
            EXPECT_EQ(m_quitCode, 0);
            EXPECT_FALSE(Frame()->isVisible());
        } else {
            EXPECT_FALSE(m_quitCode.has_value());
            EXPECT_TRUE(Frame()->isVisible());
        }
        // This way out does not store the window placement.
        EXPECT_EQ(Setting("Preferences", "WindowPos"), "");
        m_app.reset();
    }
}

TEST_F(TrayTest, CloseRemovesTheIcon) {
    Settings().SetInt("Preferences", "StartMinimized", 1);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_tray.shown);
    EXPECT_TRUE(Frame()->close());
    EXPECT_FALSE(m_tray.shown);
}

TEST_F(TrayTest, PreferencesFromTheTrayMenuAppliesColumnWidths) {
    ASSERT_TRUE(Start());
    m_app->SetPreferencesRunner([](preferences::CPrefPage& sheet) {
        sheet.show();
        sheet.Tabs()->setCurrentIndex(1);
        sheet.ColPage().Box(2)->Edit()->setText("0");
        sheet.ColPage().Box(3)->Edit()->setText("500");
        sheet.accept();
        return sheet.result();
    });
    Minimize();
    m_tray.menu->actions().at(2)->trigger();
    auto* header = m_app->View()->header();
    EXPECT_TRUE(header->sectionSize(2) == 0 || header->isSectionHidden(2));
    EXPECT_EQ(header->sectionSize(3), 500);
    const std::string sizes = Setting("Columns", "Sizes");
    EXPECT_EQ(sizes.substr(0, 17), "100,100,0,500,170");
    EXPECT_EQ(Setting("Preferences", "UseLastBook"), "0");
    // The window stays in the tray meanwhile.
    EXPECT_TRUE(m_tray.shown);
}

}  // namespace
}  // namespace shell::testing
