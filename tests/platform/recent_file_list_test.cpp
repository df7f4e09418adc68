// The recent-file list: order, repeats, size limits, persistence, shortened
// names and the File menu's entries.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "platform/command_router.h"
#include "platform/menu_builder.h"
#include "platform/profile.h"
#include "platform/recent_file_list.h"
#include "qt_printers.h"
#include "resources/command_ids.h"

namespace {

using platform::MemoryProfile;
using platform::RecentFileList;

constexpr std::string_view kSection = "Recent File List";

TEST(RecentFileList, NewestFirstWithoutRepeats) {
    struct Case {
        int size;
        QStringList adds;
        QStringList expected;
    };
    const Case cases[] = {
        {3, {"/b/a.qxd", "/b/b.qxd"}, {"/b/b.qxd", "/b/a.qxd"}},
        {3, {"/b/a.qxd", "/b/b.qxd", "/b/a.qxd"}, {"/b/a.qxd", "/b/b.qxd"}},
        {2, {"/1.qxd", "/2.qxd", "/3.qxd"}, {"/3.qxd", "/2.qxd"}},
        {2, {"/x/../b/a.qxd", "/b/./a.qxd"}, {"/b/a.qxd"}},       // the same file, spelled twice
        {3, {"/b/A.qxd", "/b/a.qxd"}, {"/b/a.qxd", "/b/A.qxd"}},  // names differ in case
        {0, {"/b/a.qxd"}, {}},
        {99, {"/a"}, {"/a"}},
    };
    for (const Case& c : cases) {
        RecentFileList list(nullptr, c.size);
        for (const QString& path : c.adds) {
            list.Add(path);
        }
        EXPECT_EQ(list.Names(), c.expected) << c.size;
    }
    EXPECT_EQ(RecentFileList(nullptr, 99).Size(), resources::kMaxRecentFiles);
}

TEST(RecentFileList, ReadsAndWritesTheSettings) {
    MemoryProfile profile;
    profile.SetString(kSection, "File1", "/books/home.qxd");
    profile.SetString(kSection, "File2", "");
    profile.SetString(kSection, "File3", "/books/work.qxd");
    profile.SetString(kSection, "File4", "/books/home.qxd");  // a repeat
    profile.SetString(kSection, "File5", "/books/old.qxd");   // beyond the size

    RecentFileList list(&profile, 4);
    list.ReadList();
    EXPECT_EQ(list.Names(), QStringList({"/books/home.qxd", "/books/work.qxd"}));

    list.Add("/books/new.qxd");
    list.WriteList();
    EXPECT_EQ(profile.GetString(kSection, "File1"), "/books/new.qxd");
    EXPECT_EQ(profile.GetString(kSection, "File2"), "/books/home.qxd");
    EXPECT_EQ(profile.GetString(kSection, "File3"), "/books/work.qxd");
    EXPECT_EQ(profile.GetString(kSection, "File4"), "");
    EXPECT_EQ(profile.GetString(kSection, "File5"), "");  // left from a longer list
    EXPECT_FALSE(profile.Has(kSection, "File6"));         // not made when not needed
}

TEST(RecentFileList, SizeZeroMeansNoList) {
    MemoryProfile profile;
    profile.SetString(kSection, "File1", "/books/home.qxd");
    int writes = profile.WriteCount();
    RecentFileList list(&profile, 0);
    list.ReadList();
    list.Add("/books/other.qxd");
    list.WriteList();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(profile.WriteCount(), writes);
    EXPECT_EQ(profile.GetString(kSection, "File1"), "/books/home.qxd");
}

TEST(RecentFileList, ShortensLongPathsKeepingTheFileName) {
    struct Case {
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {"/home/ann/home.qxd", "/home/ann/home.qxd"},
        {"/home/ann/documents/books/home.qxd", "/home/.../books/home.qxd"},
        {"/home/ann/documents/address-books/home.qxd", "/home/.../home.qxd"},
        {"/home/ann/a/b/c/d/e/f/g/h/i/home.qxd", "/home/.../d/e/f/g/h/i/home.qxd"},
        {"/very-long-top-level-folder/x/home.qxd", "home.qxd"},
        {"/home/ann/an-address-book-name-of-40-chars.qxd", "an-address-book-name-of-40-chars.qxd"},
        {"/a-folder-name-that-is-too-long/home.qxd", "home.qxd"},
        {"relative/folder/with/many/levels/home.qxd", "relative/.../levels/home.qxd"},
    };
    for (const Case& c : cases) {
        QString shortened = RecentFileList::AbbreviatePath(c.path, 30);
        EXPECT_EQ(shortened, c.expected) << c.path.toStdString();
        if (shortened != c.path && shortened.contains('/')) {
            EXPECT_LE(shortened.size(), 30);
        }
    }
}

TEST(RecentFileList, MenuTextsAreNumberedAndShowAmpersands) {
    RecentFileList list(nullptr, 16);
    for (int i = 11; i >= 1; --i) {
        list.Add(QString("/b/%1.qxd").arg(i));
    }
    list.Add("/b/R&D.qxd");
    EXPECT_EQ(list.MenuText(0), "&1 /b/R&&D.qxd");
    EXPECT_EQ(list.MenuText(1), "&2 /b/1.qxd");
    EXPECT_EQ(list.MenuText(9), "1&0 /b/9.qxd");
    EXPECT_EQ(list.MenuText(10), "11 /b/10.qxd");
}

// The File menu as the user sees it: the texts of its items.
QStringList FileMenuTexts(QMenuBar* bar) {
    QMenu* file = bar->actions()[0]->menu();
    emit file->aboutToShow();
    QStringList texts;
    for (QAction* action : file->actions()) {
        texts << (action->isSeparator() ? QString("-")
                                        : action->text() + (action->isEnabled() ? "" : " (grey)"));
    }
    return texts;
}

TEST(RecentFileList, FileMenuShowsTheList) {
    QWidget window;
    platform::CommandRouter router(&window);
    RecentFileList list(nullptr, 4);
    platform::CommandTarget app;
    router.AddTarget(app, platform::RouteLevel::kApplication);
    app.OnCommandRange(resources::kCmdFileMruFirst, resources::kCmdFileMruLast, [](int) {});
    app.OnCommand(resources::kCmdAppExit, [] {});
    app.OnUpdateRange(resources::kCmdFileMruFirst, resources::kCmdFileMruLast,
                      [&list](platform::CCmdUI& ui) { list.UpdateMenu(ui); });
    QMenuBar* bar =
        platform::BuildMenuBar(resources::LoadMenu(resources::kMenuMain), router, &window);

    QStringList texts = FileMenuTexts(bar);
    EXPECT_EQ(texts.mid(11, 4), QStringList({"-", "Recent File (grey)", "-", "E&xit"}));

    list.Add("/b/one.qxd");
    list.Add("/b/two.qxd");
    list.Add("/b/three.qxd");
    texts = FileMenuTexts(bar);
    EXPECT_EQ(texts.mid(11, 6), QStringList({"-", "&1 /b/three.qxd", "&2 /b/two.qxd",
                                             "&3 /b/one.qxd", "-", "E&xit"}));

    list.Remove(2);
    list.Remove(0);
    texts = FileMenuTexts(bar);
    EXPECT_EQ(texts.mid(11, 4), QStringList({"-", "&1 /b/two.qxd", "-", "E&xit"}));

    list.Remove(0);
    texts = FileMenuTexts(bar);
    EXPECT_EQ(texts.mid(11, 4), QStringList({"-", "Recent File (grey)", "-", "E&xit"}));
}

}  // namespace
