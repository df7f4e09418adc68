// The program as a whole: start-up with a settings file and a book on the
// command line, the title, the stored window placement, the window commands,
// the close sequence, and opening and saving through the menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTime>
#include <QToolBar>
#include <QUrl>

#include "addresslist/address_list_view.h"
#include "document/qx32_doc.h"
#include "entries/entries_controller.h"
#include "entries/find_dlg.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "platform/control_name.h"
#include "platform/doc_manager.h"
#include "platform/recent_file_list.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/string_table.h"
#include "resources/version.h"
#include "shell/browser_command.h"
#include "shell/frame_texts.h"
#include "shell/help_viewer.h"
#include "shell/link_static.h"
#include "shell/main_frame.h"
#include "shell/quick_find_toolbar.h"
#include "shell/qx32_app.h"
#include "shell/tool_bar_ex.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageIcon;

class AppTest : public AppFixture {
protected:
    void TearDown() override {
        m_app.reset();
        CLinkStatic::SetOpenerForTesting(nullptr);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        AppFixture::TearDown();
    }

    // Closes the window as the user would; true when it closed.
    bool Close() { return Frame()->close(); }
    addresslist::CQX32View* View() { return m_app->View(); }
};

TEST_F(AppTest, CommandLineBookOpensWithItsPathInTheTitle) {
    const QString book = Path("people.qxd");
    ASSERT_TRUE(WriteGeneratedBook(book, 25));
    ASSERT_TRUE(Start({book}));
    EXPECT_EQ(View()->Model().RowCount(), 25);
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [" + book + "]");
    EXPECT_EQ(Setting("AddressBookInUse", "File"), book.toStdString());
    EXPECT_TRUE(m_dialogs.Messages().empty());
    EXPECT_FALSE(m_app->IsStarting());
    EXPECT_EQ(Frame()->Pane(0)->text(), "For Help, press F1");
}

TEST_F(AppTest, LastBookReopensOnlyWhenAskedAndSilently) {
    const QString book = Path("last.qxd");
    ASSERT_TRUE(WriteGeneratedBook(book, 4));
    const QString other = Path("other.qxd");
    ASSERT_TRUE(WriteGeneratedBook(other, 2));
    struct Case {
        int useLastBook;  // -1: key absent
        QString lastBook;
        QStringList arguments;
        int rows;
        QString path;
    };
    const Case cases[] = {
        {1, book, {}, 4, book},
        {-1, book, {}, 0, ""},  // off by default at start-up
        {0, book, {}, 0, ""},
        {1, "", {}, 0, ""},                // nothing remembered
        {1, Path("gone.qxd"), {}, 0, ""},  // silently a new book
        {1, book, {other}, 2, other},      // the command line wins
    };
    for (const Case& c : cases) {
        QFile::remove(m_strIni);
        if (c.useLastBook >= 0) {
            Settings().SetInt("Preferences", "UseLastBook", c.useLastBook);
        }
        Settings().SetString("AddressBookInUse", "File", c.lastBook.toStdString());
        m_dialogs.Clear();
        ASSERT_TRUE(Start(c.arguments));
        EXPECT_EQ(View()->Model().RowCount(), c.rows) << c.lastBook.toStdString();
        EXPECT_EQ(m_app->Document()->PathName(), c.path);
        EXPECT_TRUE(m_dialogs.Messages().empty()) << m_dialogs.LastMessage().toStdString();
        m_app.reset();
    }
}

TEST_F(AppTest, FailedCommandLineOpenSaysWhyAndEndsTheProgram) {
    ASSERT_TRUE(WriteText(Path("bad.qxd"),
                          "contact('LastName' = \"Doe\",\n"
                          "  'FirstName' = \"Jane\"\n"
                          "  'Title' = \"Dr\").\n"));
    EXPECT_FALSE(Start({Path("bad.qxd")}));
    EXPECT_NE(m_app->ExitCode(), 0);
    ASSERT_EQ(m_dialogs.Messages().size(), 1u);
    EXPECT_EQ(m_dialogs.Messages()[0].icon, MessageIcon::kError);
    EXPECT_EQ(m_dialogs.LastMessage(),
              "Cannot open " + Path("bad.qxd") + ".\n\nLine 3: syntax error");

    m_dialogs.Clear();
    EXPECT_FALSE(Start({Path("missing.qxd")}));
    EXPECT_EQ(m_dialogs.LastMessage(),
              "Cannot open " + Path("missing.qxd") + ".\n\nNo such file or directory");
}

// Help and the version need no display; anything else starts the window
// program (whose start also takes the toolkit's own options away).
TEST(CommandLine, OnlyHelpAndVersionAnswerOnTheTerminal) {
    const std::pair<QStringList, bool> cases[] = {
        {{"quillbox", "--version"}, true},
        {{"quillbox", "-v"}, true},
        {{"quillbox", "--help"}, true},
        {{"quillbox", "book.qxd"}, false},
        {{"quillbox"}, false},
        {{"quillbox", "--bogus"}, false},
        {{"quillbox", "-style", "fusion", "--version"}, false},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(CQX32App::AnswersOnTheTerminal(arguments), expected)
            << arguments.join(' ').toStdString();
    }
}

// The manual describes every option the program takes.
TEST(CommandLine, TheManualDescribesEveryOption) {
    QFile manual(QStringLiteral(QUILLBOX_HELP_SOURCE));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(manual.readAll());
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]+"));
    QStringList options;
    for (const QRegularExpressionMatch& match : option.globalMatch(CQX32App::CommandLineHelp())) {
        options << match.captured();
    }
    options.removeAll(QStringLiteral("--help-all"));  // the toolkit's own
    ASSERT_TRUE(options.contains("--pdf"));
    for (const QString& name : options) {
        EXPECT_TRUE(text.contains("<code>quillbox " + name)) << name.toStdString();
    }
}

// Help, the version and mistakes on the command line end without a window;
// --version prints the build's one version number, the one the About box
// shows.
TEST_F(AppTest, CommandLineAnswersAndMistakesEndWithoutAWindow) {
    const std::pair<QStringList, int> cases[] = {
        {{"--version"}, 0}, {{"--help"}, 0}, {{"--no-such-option"}, 2}, {{"a.qxd", "b.qxd"}, 2}};
    for (const auto& [arguments, exitCode] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(Start(arguments));
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(m_app->ExitCode(), exitCode);
        EXPECT_EQ(m_app->MainFrame(), nullptr);
        if (arguments[0] == "--version") {
            EXPECT_EQ(printed, std::string("Quillbox ") + resources::kVersion + "\n");
        }
    }
}

TEST_F(AppTest, OpenThroughTheMenuReportsTheLineOfABadBook) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WriteText(Path("bad.qxd"), "contact('LastName' = \"Doe\").\ncontact(.\n"));
    m_dialogs.QueueFileName(Path("bad.qxd"));
    Run(resources::kCmdFileOpen);
    EXPECT_EQ(m_dialogs.LastMessage(),
              "Cannot open " + Path("bad.qxd") + ".\n\nLine 2: syntax error");
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [Untitled]");
    EXPECT_EQ(Frame()->Pane(0)->text(), "For Help, press F1");
}

TEST_F(AppTest, SaveAsSetsTitleAndLastBookFailedSaveKeepsModified) {
    const QString book = Path("people.qxd");
    ASSERT_TRUE(WriteGeneratedBook(book, 3));
    ASSERT_TRUE(Start({book}));
    m_app->Document()->SetModifiedFlag(true);

    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(5);
    m_dialogs.QueueFileName(Path("copy.qxd"));
    Run(resources::kCmdFileSaveAs);
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_TRUE(m_dialogs.LastMessage().startsWith("Cannot save " + Path("copy.qxd") + ".\n\n"))
        << m_dialogs.LastMessage().toStdString();
    EXPECT_TRUE(m_app->Document()->IsModified());
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [" + book + "]");
    EXPECT_EQ(Setting("AddressBookInUse", "File"), book.toStdString());
    EXPECT_FALSE(QFile::exists(Path("copy.qxd")));

    m_dialogs.QueueFileName(Path("copy.qxd"));
    Run(resources::kCmdFileSaveAs);
    EXPECT_FALSE(m_app->Document()->IsModified());
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [" + Path("copy.qxd") + "]");
    EXPECT_EQ(Setting("AddressBookInUse", "File"), Path("copy.qxd").toStdString());
    EXPECT_EQ(Frame()->Pane(0)->text(), "For Help, press F1");
}

TEST_F(AppTest, ClosingAskesToSaveAndCancelKeepsTheWindow) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [Untitled]");
    m_app->Document()->SetModifiedFlag(true);
    m_dialogs.QueueAnswer(MessageAnswer::kCancel);
    EXPECT_FALSE(Close());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(Frame()->ClockRunning());
    ASSERT_EQ(m_dialogs.Messages().size(), 1u);
    EXPECT_EQ(m_dialogs.LastMessage(), "Save changes to Untitled?");
    EXPECT_EQ(m_dialogs.Messages()[0].buttons, platform::MessageButtons::kYesNoCancel);

    m_dialogs.QueueAnswer(MessageAnswer::kNo);
    EXPECT_TRUE(Close());
    EXPECT_FALSE(Frame()->ClockRunning());
}

TEST_F(AppTest, PlacementIsWrittenOnCloseAndRestored) {
    ASSERT_TRUE(Start());
    Frame()->setGeometry(40, 30, 620, 410);
    ASSERT_TRUE(Close());
    EXPECT_EQ(Setting("Preferences", "WindowPos"), "0,1,-1,-1,-1,-1,40,30,660,440");
    m_app.reset();

    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame()->geometry(), QRect(40, 30, 620, 410));
}

TEST_F(AppTest, UnusablePlacementsAreIgnored) {
    const char* values[] = {
        "0,1,-1,-1,-1,-1,40,30,660",     // nine numbers
        "0,1,-1,-1,-1,-1,40,30,40,440",  // no width
        "junk",
        // Wider than any window, and edges whose distance exceeds int.
        "0,1,-1,-1,-1,-1,40,30,2147483647,440",
        "0,1,-1,-1,-1,-1,-2147483648,30,2147483647,440",
        "0,1,-1,-1,-1,-1,40,-2147483648,660,2147483647",
    };
    for (const char* value : values) {
        Settings().SetString("Preferences", "WindowPos", value);
        ASSERT_TRUE(Start());
        EXPECT_NE(Frame()->geometry().topLeft(), QPoint(40, 30)) << value;
        EXPECT_TRUE(m_dialogs.Messages().empty());
        m_app.reset();
    }
}

TEST_F(AppTest, RememberWinOffLeavesThePlacementButSaveWindowSizeWrites) {
    Settings().SetInt("Preferences", "RememberWin", 0);
    Settings().SetString("Preferences", "WindowPos", "0,1,-1,-1,-1,-1,10,10,500,400");
    ASSERT_TRUE(Start());
    EXPECT_NE(Frame()->geometry(), QRect(10, 10, 490, 390));
    Frame()->setGeometry(20, 25, 600, 400);
    Run(resources::kCmdSaveWindowSize);
    EXPECT_EQ(m_dialogs.LastMessage(), "The window size has been saved.");
    EXPECT_EQ(m_dialogs.Messages().back().icon, MessageIcon::kInformation);
    EXPECT_EQ(Setting("Preferences", "WindowPos"), "0,1,-1,-1,-1,-1,20,25,620,425");
    Frame()->setGeometry(50, 50, 300, 300);
    ASSERT_TRUE(Close());
    EXPECT_EQ(Setting("Preferences", "WindowPos"), "0,1,-1,-1,-1,-1,20,25,620,425");
}

TEST_F(AppTest, MaximizedPlacementKeepsTheNormalRectangle) {
    ASSERT_TRUE(Start());
    Frame()->setGeometry(30, 40, 500, 300);
    Frame()->showMaximized();
    QTest::qWait(20);
    ASSERT_TRUE(Frame()->isMaximized());
    Run(resources::kCmdSaveWindowSize);
    std::optional<WindowPlacement> p = ParseWindowPlacement(Setting("Preferences", "WindowPos"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->flags, 2u);
    EXPECT_EQ(p->showCmd, WindowPlacement::kShowMaximized);
    EXPECT_EQ(QRect(p->left, p->top, p->Width(), p->Height()), QRect(30, 40, 500, 300));
    m_app.reset();

    // Started again, the window opens maximized and restores to that
    // rectangle.
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame()->isMaximized());
    EXPECT_EQ(Frame()->normalGeometry(), QRect(30, 40, 500, 300));
}

TEST_F(AppTest, MinimizedWindowWritesNoPlacement) {
    Settings().SetString("Preferences", "WindowPos", "0,1,-1,-1,-1,-1,10,10,500,400");
    ASSERT_TRUE(Start());
    Frame()->showMinimized();
    QTest::qWait(20);
    Frame()->SavePlacement();
    EXPECT_EQ(Setting("Preferences", "WindowPos"), "0,1,-1,-1,-1,-1,10,10,500,400");
}

TEST_F(AppTest, StartMinimizedKeepsTheWindowFromShowingNormally) {
    Settings().SetInt("Preferences", "StartMinimized", 1);
    Settings().SetString("Preferences", "WindowPos", "0,1,-1,-1,-1,-1,10,10,500,400");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(!Frame()->isVisible() || Frame()->isMinimized());
}

TEST_F(AppTest, RecentListFollowsUseMruAndNumMru) {
    struct Case {
        int useMru;  // -1: absent
        int numMru;  // -1: absent
        int size;
    };
    const Case cases[] = {{-1, -1, 2}, {1, 5, 5}, {0, 5, 0}, {1, 99, 16}, {1, -3, 0}};
    for (const Case& c : cases) {
        QFile::remove(m_strIni);
        if (c.useMru >= 0) {
            Settings().SetInt("Preferences", "UseMRU", c.useMru);
        }
        if (c.numMru != -1) {
            Settings().SetInt("Preferences", "NumMRU", c.numMru);
        }
        ASSERT_TRUE(Start());
        EXPECT_EQ(m_app->RecentFiles()->Size(), c.size) << c.useMru << "," << c.numMru;
        m_app.reset();
    }
}

TEST_F(AppTest, StatusTextsWaitForTheEndOfStartUp) {
    CQX32App app;
    app.ShowStatusText(resources::kStrLoadingBook);  // starting: nothing happens
    ASSERT_TRUE(Start());
    m_app->ShowStatusText(resources::kStrLoadingBook);
    EXPECT_EQ(Frame()->Pane(0)->text(), "Loading Address Book...");
    m_app->ShowStatusText(12345);  // no such string: ignored
    EXPECT_EQ(Frame()->Pane(0)->text(), "Loading Address Book...");
    platform::ShowStatusProgress(resources::kStrImporting, 40);
    EXPECT_EQ(Frame()->Pane(0)->text(), "Importing addresses... 40%");
}

TEST_F(AppTest, ToolbarAndStatusBarLayout) {
    ASSERT_TRUE(Start());
    QList<QAction*> actions = Frame()->ToolBar()->actions();
    ASSERT_EQ(actions.size(), 18);
    int images = 0;
    for (int slot = 0; slot < 18; ++slot) {
        int id = resources::MainToolbarButtons()[static_cast<std::size_t>(slot)];
        // Slot 9 holds the quick-find box instead of a separator.
        EXPECT_EQ(actions[slot]->isSeparator(), id == 0 && slot != 9) << slot;
        if (id != 0) {
            EXPECT_EQ(platform::CommandRouter::CommandOf(actions[slot]), id);
            EXPECT_FALSE(actions[slot]->icon().isNull());
            ++images;
        }
    }
    EXPECT_EQ(images, 13);
    EXPECT_EQ(actions[9]->objectName(), "quickFindSlot");

    EXPECT_EQ(Frame()->Pane(0)->text(), "For Help, press F1");
    QTime now = QTime::currentTime();
    QString clock = Frame()->Pane(4)->text();
    EXPECT_TRUE(clock == QString::fromStdString(ClockText(now.hour(), now.minute())) ||
                clock == QString::fromStdString(
                             ClockText(now.addSecs(-60).hour(), now.addSecs(-60).minute())));
    EXPECT_GE(Frame()->Pane(4)->width(), Frame()->Pane(4)->fontMetrics().horizontalAdvance(clock));
}

// The quick-find box searches the field last chosen in the Find dialog; its
// tooltip and accessible name say which, from the start and after a change.
TEST_F(AppTest, QuickFindBoxNamesTheFieldItSearches) {
    ASSERT_TRUE(WriteGeneratedBook(Path("find.qxd"), 3));
    ASSERT_TRUE(Start({Path("find.qxd")}));
    CQuickFindCombo* box = Frame()->ToolBar()->QuickFindBox();
    EXPECT_EQ(box->toolTip(), "Find in Last Name");
    EXPECT_EQ(box->accessibleName(), "Find in Last Name");

    struct Step {
        int field;
        bool ok;
        const char* named;
    };
    const Step steps[] = {
        {addressbook::Email1, true, "Find in Email 1"},
        {addressbook::City, false, "Find in Email 1"},  // Cancel changes nothing
        {addressbook::City, true, "Find in City"},
    };
    for (const Step& step : steps) {
        m_app->Entries()->SetDialogRunner([&step](QDialog& dialog) {
            auto& find = dynamic_cast<entries::CFindDlg&>(dialog);
            platform::FindControl<QComboBox>(find, entries::kIdSearchField)
                ->setCurrentIndex(step.field);
            find.FindWhatBox()->setEditText("Name 1");
            if (step.ok) {
                find.OnFindNext();
            } else {
                find.reject();
            }
            return find.result();
        });
        ASSERT_TRUE(Run(resources::kCmdEditFind));
        EXPECT_EQ(box->toolTip(), step.named);
        EXPECT_EQ(box->accessibleName(), step.named);
        EXPECT_EQ(box->lineEdit()->accessibleName(), step.named);
    }
}

TEST_F(AppTest, ViewCommandsToggleAndCheck) {
    ASSERT_TRUE(Start());
    QAction* flat = Frame()->Router().Action(resources::kCmdViewFlatToolbar);
    Frame()->Router().UpdateAll();
    EXPECT_TRUE(Frame()->ToolBar()->IsFlat());  // "Flatbar" absent: flat
    EXPECT_TRUE(flat->isChecked());
    Run(resources::kCmdViewFlatToolbar);
    Frame()->Router().UpdateAll();
    EXPECT_FALSE(Frame()->ToolBar()->IsFlat());
    EXPECT_FALSE(flat->isChecked());
    EXPECT_EQ(Settings().GetInt("Preferences", "Flatbar", -1), 0);

    QAction* bar = Frame()->Router().Action(resources::kCmdViewStatusBar);
    Run(resources::kCmdViewStatusBar);
    Frame()->Router().UpdateAll();
    EXPECT_TRUE(Frame()->StatusBarWidget()->isHidden());
    EXPECT_FALSE(bar->isChecked());
    Run(resources::kCmdViewStatusBar);
    Frame()->Router().UpdateAll();
    EXPECT_FALSE(Frame()->StatusBarWidget()->isHidden());
    EXPECT_TRUE(bar->isChecked());

    QAction* toolbar = Frame()->Router().Action(resources::kCmdViewToolbar);
    Run(resources::kCmdViewToolbar);
    Frame()->Router().UpdateAll();
    EXPECT_TRUE(Frame()->ToolBar()->isHidden());
    EXPECT_FALSE(toolbar->isChecked());
}

TEST_F(AppTest, FlatbarZeroStartsRaised) {
    Settings().SetInt("Preferences", "Flatbar", 0);
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Frame()->ToolBar()->IsFlat());
}

// Drops `paths` on the main window as a file manager would.
void DropFiles(QWidget* window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data.setUrls(urls);
    QPoint inside(window->width() / 2, window->height() / 2);
    QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

// A dropped vCard file is imported into the open book; dropped with a book,
// into that book once it is open.
TEST_F(AppTest, DroppedVCardFilesImport) {
    const QString cards = QStringLiteral(QUILLBOX_TEST_DATA_DIR "/vcard/apple-3.0.vcf");
    const QString book = Path("dropped.qxd");
    ASSERT_TRUE(WriteGeneratedBook(book, 7));
    ASSERT_TRUE(Start());
    DropFiles(Frame(), {cards});
    EXPECT_EQ(View()->Model().RowCount(), 2);
    EXPECT_TRUE(m_app->Document()->IsModified());
    EXPECT_TRUE(m_dialogs.LastMessage().startsWith("2 addresses imported."));
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [Untitled]");

    // The book is replaced first: "Save changes to Untitled?" No.
    m_dialogs.QueueAnswer(MessageAnswer::kNo);
    DropFiles(Frame(), {cards, book});
    EXPECT_EQ(Frame()->windowTitle(), "Quillbox - [" + book + "]");
    EXPECT_EQ(View()->Model().RowCount(), 9);
    EXPECT_TRUE(m_app->Document()->IsModified());
    EXPECT_EQ(m_app->Entries()->Undo().Stack().count(), 1);
}

TEST_F(AppTest, HelpOpensTheManualBesideTheProgram) {
    ASSERT_TRUE(Start());
    QStringList opened;
    CLinkStatic::SetOpenerForTesting([&opened](const QString& url) {
        opened << url;
        return 42;
    });
    Run(resources::kCmdHelpTopics);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(m_dialogs.LastMessage(),
              "The help file " + Path("quillbox.html") + " was not found.");

    ASSERT_TRUE(WriteText(Path("quillbox.html"), "<html><body>The manual</body></html>"));
    Run(resources::kCmdHelpTopics);
    EXPECT_EQ(opened, QStringList({QUrl::fromLocalFile(Path("quillbox.html")).toString()}));
    EXPECT_EQ(Frame()->findChild<CHelpViewer*>(), nullptr);

    // A desktop with nothing to open the manual with: it opens in a window
    // of ours, once, however often F1 is pressed; no error box.
    CLinkStatic::SetOpenerForTesting([](const QString&) { return kOpenNoAssociation; });
    const std::size_t messages = m_dialogs.Messages().size();
    Run(resources::kCmdHelpTopics);
    Run(resources::kCmdHelpTopics);
    EXPECT_EQ(m_dialogs.Messages().size(), messages);
    const QList<CHelpViewer*> viewers = Frame()->findChildren<CHelpViewer*>();
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers[0]->isVisible());
    EXPECT_EQ(viewers[0]->Browser()->source(), QUrl::fromLocalFile(Path("quillbox.html")));
    EXPECT_TRUE(viewers[0]->Browser()->toPlainText().contains("The manual"));
    CLinkStatic::SetOpenerForTesting({});
}

}  // namespace
}  // namespace shell::testing
