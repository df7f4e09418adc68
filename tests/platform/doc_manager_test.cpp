// The document manager: the save-changes check, New, Open, Save, Save As,
// the recent-file entries and dropped files, answered by TestDialogs.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <cerrno>
#include <optional>

#include "platform/command_router.h"
#include "platform/doc_manager.h"
#include "platform/document.h"
#include "platform/file_drop.h"
#include "platform/recent_file_list.h"
#include "platform/test_dialogs.h"
#include "qt_printers.h"
#include "resources/command_ids.h"

namespace {

using platform::MessageAnswer;
using platform::OpenMode;
using platform::OpenResult;

// A document whose reads and writes succeed or fail on request.
class FakeDocument : public platform::CDocument {
public:
    bool openSucceeds = true;
    bool saveSucceeds = true;
    QStringList opened;
    QStringList saved;
    int newCount = 0;

    bool OnNewDocument() override {
        ++newCount;
        return CDocument::OnNewDocument();
    }
    bool OnOpenDocument(const QString& path) override {
        opened << path;
        if (!openSucceeds) {
            SetFailureReason("Syntax error on line 3.");
        }
        return openSucceeds;
    }
    bool OnSaveDocument(const QString& path) override {
        saved << path;
        if (!saveSucceeds) {
            SetFailureReason("No space left on device");
            return false;
        }
        SetModifiedFlag(false);
        return true;
    }
};

class DocManagerTest : public ::testing::Test {
protected:
    DocManagerTest() : scope(dialogs), recent(nullptr, 4), manager(doc, &recent) {
        QObject::connect(&doc, &platform::CDocument::initialUpdate, [this] { ++initialUpdates; });
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    platform::TestDialogs dialogs;
    platform::ScopedDialogs scope;
    FakeDocument doc;
    platform::RecentFileList recent;
    platform::CDocManager manager;
    int initialUpdates = 0;
};

TEST_F(DocManagerTest, SaveChangesCheck) {
    struct Case {
        const char* name;
        bool modified;
        bool hasPath;
        MessageAnswer answer;
        bool saveSucceeds;
        std::optional<QString> saveAsName;  // nothing: the Save As dialog is cancelled
        bool goesOn;
        int saves;
        int messages;
    };
    const Case cases[] = {
        {"unmodified", false, true, MessageAnswer::kYes, true, {}, true, 0, 0},
        {"no", true, true, MessageAnswer::kNo, true, {}, true, 0, 1},
        {"cancel", true, true, MessageAnswer::kCancel, true, {}, false, 0, 1},
        {"yes", true, true, MessageAnswer::kYes, true, {}, true, 1, 1},
        {"yes, save fails", true, true, MessageAnswer::kYes, false, {}, false, 1, 2},
        {"yes, untitled, cancel name", true, false, MessageAnswer::kYes, true, {}, false, 0, 1},
        {"yes, untitled, named", true, false, MessageAnswer::kYes, true, "named", true, 1, 1},
    };
    for (const Case& c : cases) {
        FakeDocument document;
        platform::CDocManager docs(document, nullptr);
        dialogs.Clear();
        if (c.hasPath) {
            document.SetPathName(Path("home.qxd"));
        }
        document.SetModifiedFlag(c.modified);
        document.saveSucceeds = c.saveSucceeds;
        dialogs.QueueAnswer(c.answer);
        if (c.saveAsName) {
            dialogs.QueueFileName(Path(*c.saveAsName));
        }

        EXPECT_EQ(docs.SaveModified(), c.goesOn) << c.name;
        EXPECT_EQ(document.saved.size(), c.saves) << c.name;
        ASSERT_EQ(dialogs.Messages().size(), static_cast<size_t>(c.messages)) << c.name;
        if (c.messages > 0) {
            const platform::MessageRequest& ask = dialogs.Messages()[0];
            EXPECT_EQ(ask.text,
                      c.hasPath ? "Save changes to home.qxd?" : "Save changes to Untitled?");
            EXPECT_EQ(ask.icon, platform::MessageIcon::kQuestion);
            EXPECT_EQ(ask.buttons, platform::MessageButtons::kYesNoCancel);
            EXPECT_EQ(ask.caption, "Quillbox");
        }
        EXPECT_EQ(document.IsModified(), c.modified && !(c.goesOn && c.saves == 1)) << c.name;
    }
}

TEST_F(DocManagerTest, NewAsksFirstAndStartsUntitled) {
    doc.SetPathName(Path("home.qxd"));
    doc.SetModifiedFlag(true);
    dialogs.QueueAnswer(MessageAnswer::kCancel);
    EXPECT_FALSE(manager.OnFileNew());
    EXPECT_EQ(doc.newCount, 0);
    EXPECT_EQ(doc.Title(), "home.qxd");

    dialogs.QueueAnswer(MessageAnswer::kNo);
    EXPECT_TRUE(manager.OnFileNew());
    EXPECT_EQ(doc.newCount, 1);
    EXPECT_EQ(doc.Title(), "Untitled");
    EXPECT_TRUE(doc.PathName().isEmpty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(initialUpdates, 1);
}

TEST_F(DocManagerTest, OpenOutcomes) {
    struct Case {
        const char* name;
        bool modified;
        MessageAnswer answer;
        bool openSucceeds;
        OpenMode mode;
        OpenResult result;
        int messages;
    };
    const Case cases[] = {
        {"opens", false, MessageAnswer::kYes, true, OpenMode::kReportFailure, OpenResult::kOpened,
         0},
        {"fails", false, MessageAnswer::kYes, false, OpenMode::kReportFailure, OpenResult::kFailed,
         1},
        {"fails quietly", false, MessageAnswer::kYes, false, OpenMode::kSilent, OpenResult::kFailed,
         0},
        {"cancelled", true, MessageAnswer::kCancel, true, OpenMode::kReportFailure,
         OpenResult::kCancelled, 1},
        {"changes dropped", true, MessageAnswer::kNo, true, OpenMode::kReportFailure,
         OpenResult::kOpened, 1},
    };
    for (const Case& c : cases) {
        FakeDocument document;
        platform::RecentFileList list(nullptr, 4);
        platform::CDocManager docs(document, &list);
        dialogs.Clear();
        document.SetPathName(Path("before.qxd"));
        document.SetModifiedFlag(c.modified);
        document.openSucceeds = c.openSucceeds;
        dialogs.QueueAnswer(c.answer);

        const QString target = Path("book.qxd");
        EXPECT_EQ(docs.OpenDocumentFile(target, c.mode), c.result) << c.name;
        EXPECT_EQ(dialogs.Messages().size(), static_cast<size_t>(c.messages)) << c.name;
        bool opened = c.result == OpenResult::kOpened;
        EXPECT_EQ(document.opened.size(), c.result == OpenResult::kCancelled ? 0 : 1) << c.name;
        EXPECT_EQ(document.PathName(), opened ? target : Path("before.qxd")) << c.name;
        EXPECT_EQ(document.Title(), opened ? "book.qxd" : "before.qxd") << c.name;
        EXPECT_EQ(document.IsModified(), !opened && c.modified) << c.name;
        EXPECT_EQ(list.Names(), opened ? QStringList{target} : QStringList{}) << c.name;
    }
}

TEST_F(DocManagerTest, FailedOpenSaysWhy) {
    doc.openSucceeds = false;
    manager.OpenDocumentFile(Path("bad.qxd"));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.LastMessage(),
              "Cannot open " + Path("bad.qxd") + ".\n\nSyntax error on line 3.");
    EXPECT_EQ(dialogs.Messages()[0].icon, platform::MessageIcon::kError);
    EXPECT_EQ(initialUpdates, 0);
}

TEST_F(DocManagerTest, OpenCommandUsesTheBookFilter) {
    dialogs.QueueFileName(Path("book"));  // typed without the extension
    EXPECT_TRUE(manager.OnFileOpen());
    ASSERT_EQ(dialogs.FileQuestions().size(), 1u);
    const auto& question = dialogs.FileQuestions()[0];
    EXPECT_FALSE(question.save);
    EXPECT_EQ(question.request.filter, "Quillbox Files (*.qxd)|*.qxd|All Files (*.*)|*.*||");
    EXPECT_EQ(question.request.defaultExtension, "qxd");
    EXPECT_TRUE(question.request.mustExist);
    EXPECT_EQ(doc.opened, QStringList{Path("book.qxd")});
    EXPECT_EQ(initialUpdates, 1);

    dialogs.QueueFileCancel();
    EXPECT_FALSE(manager.OnFileOpen());
    EXPECT_EQ(doc.opened.size(), 1);
}

TEST_F(DocManagerTest, OpeningTheOpenBookChangesNothing) {
    ASSERT_EQ(manager.OpenDocumentFile(Path("home.qxd")), OpenResult::kOpened);
    doc.SetModifiedFlag(true);
    EXPECT_EQ(manager.OpenDocumentFile(Path("./home.qxd")), OpenResult::kOpened);
    EXPECT_EQ(doc.opened.size(), 1);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocManagerTest, RecentEntryThatFailsIsRemovedButNotOneCancelled) {
    recent.Add(Path("b.qxd"));
    recent.Add(Path("a.qxd"));
    doc.SetModifiedFlag(true);
    dialogs.QueueAnswer(MessageAnswer::kCancel);
    EXPECT_FALSE(manager.OnOpenRecentFile(1));
    EXPECT_EQ(recent.Count(), 2);

    doc.openSucceeds = false;
    dialogs.QueueAnswer(MessageAnswer::kNo);
    EXPECT_FALSE(manager.OnOpenRecentFile(1));
    EXPECT_EQ(recent.Names(), QStringList{Path("a.qxd")});
}

TEST_F(DocManagerTest, SaveAsNamesTheBook) {
    doc.SetModifiedFlag(true);
    dialogs.QueueFileName(Path("named"));
    EXPECT_TRUE(manager.OnFileSave());  // never saved: Save As
    ASSERT_EQ(dialogs.FileQuestions().size(), 1u);
    const auto& question = dialogs.FileQuestions()[0];
    EXPECT_TRUE(question.save);
    EXPECT_EQ(question.request.initialName, "Untitled.qxd");
    EXPECT_TRUE(question.request.promptOverwrite);
    EXPECT_EQ(doc.saved, QStringList{Path("named.qxd")});
    EXPECT_EQ(doc.PathName(), Path("named.qxd"));
    EXPECT_EQ(doc.Title(), "named.qxd");
    EXPECT_EQ(recent.Names(), QStringList{Path("named.qxd")});

    EXPECT_TRUE(manager.OnFileSave());  // named now: no dialog
    EXPECT_EQ(dialogs.FileQuestions().size(), 1u);
    EXPECT_EQ(doc.saved.size(), 2);
}

TEST_F(DocManagerTest, FailedSaveSaysWhyAndKeepsTheBookModified) {
    doc.SetPathName(Path("home.qxd"));
    doc.SetModifiedFlag(true);
    doc.saveSucceeds = false;
    EXPECT_FALSE(manager.OnFileSave());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(dialogs.LastMessage(),
              "Cannot save " + Path("home.qxd") + ".\n\nNo space left on device");

    // A failed Save As keeps the old name.
    dialogs.QueueFileName(Path("other.qxd"));
    EXPECT_FALSE(manager.OnFileSaveAs());
    EXPECT_EQ(doc.PathName(), Path("home.qxd"));
    EXPECT_TRUE(recent.Names().isEmpty());
}

TEST_F(DocManagerTest, ReadOnlyBookIsSavedUnderANewName) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write any file";
    }
    QFile file(Path("locked.qxd"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::ReadOwner);
    doc.SetPathName(Path("locked.qxd"));
    dialogs.QueueFileCancel();
    EXPECT_FALSE(manager.OnFileSave());
    EXPECT_EQ(dialogs.FileQuestions().size(), 1u);
    EXPECT_TRUE(doc.saved.isEmpty());
}

TEST_F(DocManagerTest, CommandsReachTheManagerThroughTheRouter) {
    platform::CommandRouter router;
    manager.Attach(router);
    dialogs.QueueFileName(Path("routed"));
    EXPECT_TRUE(router.Execute(resources::kCmdFileSaveAs));
    EXPECT_EQ(doc.saved, QStringList{Path("routed.qxd")});
    EXPECT_TRUE(router.Execute(resources::kCmdFileNew));
    EXPECT_EQ(doc.newCount, 1);

    // Recent entries: enabled while they exist, and they open their book.
    EXPECT_TRUE(router.IsEnabled(resources::kCmdFileMruFirst));
    EXPECT_FALSE(router.IsEnabled(resources::kCmdFileMruFirst + 1));
    EXPECT_TRUE(router.Execute(resources::kCmdFileMruFirst));
    EXPECT_EQ(doc.opened, QStringList{Path("routed.qxd")});
}

TEST_F(DocManagerTest, DroppedFilesOpenTheFirst) {
    EXPECT_TRUE(manager.OnDropFiles({Path("one.qxd"), Path("two.qxd")}));
    EXPECT_EQ(doc.opened, QStringList{Path("one.qxd")});
    EXPECT_FALSE(manager.OnDropFiles({}));
}

TEST(FileDropHandler, HandsOverLocalFilesOnly) {
    QWidget window;
    QStringList dropped;
    new platform::FileDropHandler(&window,
                                  [&dropped](const QStringList& paths) { dropped = paths; });
    EXPECT_TRUE(window.acceptDrops());

    QMimeData data;
    data.setUrls({QUrl("https://example.org/book.qxd"), QUrl::fromLocalFile("/books/home.qxd")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_EQ(dropped, QStringList{"/books/home.qxd"});

    dropped.clear();
    QMimeData web;
    web.setUrls({QUrl("https://example.org/")});
    QDropEvent other(QPointF(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &other);
    EXPECT_TRUE(dropped.isEmpty());
}

TEST(Document, ModifiedSignalOnlyOnChangeAndTitleFromPath) {
    platform::CDocument doc;
    int changes = 0;
    QObject::connect(&doc, &platform::CDocument::modifiedChanged, [&changes] { ++changes; });
    EXPECT_EQ(doc.Title(), "Untitled");
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(false);
    EXPECT_EQ(changes, 2);
    doc.SetPathName("/books/../books/home.qxd");
    EXPECT_EQ(doc.PathName(), "/books/home.qxd");
    EXPECT_EQ(doc.Title(), "home.qxd");
}

}  // namespace
