// Registering the book file type for the current user.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "shell/file_type_registration.h"

namespace shell {
namespace {

struct HelperLog {
    QStringList started;
    bool installed = true;
    std::function<bool(const QString&, const QStringList&)> Starter() {
        return [this](const QString& program, const QStringList& arguments) {
            started << program + " " + arguments.join(' ');
            return installed;
        };
    }
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FileTypeRegistration, WritesOnceThenOnlyWhatChanged) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = home.path();
    HelperLog helpers;

    RegistrationResult first = RegisterFileType(data, "/opt/quillbox/quillbox", helpers.Starter());
    EXPECT_EQ(first.written.size(), 4);
    EXPECT_TRUE(first.failed.isEmpty());
    EXPECT_EQ(helpers.started, QStringList({"update-mime-database " + data + "/mime",
                                            "update-desktop-database " + data + "/applications"}));
    QByteArray mime = ReadAll(data + "/mime/packages/quillbox.xml");
    EXPECT_TRUE(mime.contains("type=\"application/x-quillbox\""));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.qxd\"/>"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.QXD\"/>"));
    EXPECT_TRUE(mime.contains("<comment>Quillbox Document</comment>"));
    QByteArray entry = ReadAll(data + "/applications/quillbox.desktop");
    EXPECT_TRUE(entry.contains("\nExec=/opt/quillbox/quillbox %f\n"));
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-quillbox;\n"));
    EXPECT_TRUE(entry.contains("\nActions=Open;Print;\n"));
    EXPECT_TRUE(
        entry.contains("[Desktop Action Print]\nName=Print\n"
                       "Exec=/opt/quillbox/quillbox --print %f\n"));
    EXPECT_TRUE(QFileInfo::exists(data + "/icons/hicolor/48x48/apps/quillbox.png"));

    // Up to date: nothing written, no tool started.
    helpers.started.clear();
    RegistrationResult second = RegisterFileType(data, "/opt/quillbox/quillbox", helpers.Starter());
    EXPECT_TRUE(second.written.isEmpty());
    EXPECT_TRUE(helpers.started.isEmpty());

    // The program moved: only the desktop entry is rewritten.
    RegistrationResult moved = RegisterFileType(data, "/home/ann/bin/quillbox", helpers.Starter());
    EXPECT_EQ(moved.written, QStringList({data + "/applications/quillbox.desktop"}));
    EXPECT_EQ(helpers.started, QStringList({"update-desktop-database " + data + "/applications"}));

    // Missing tools are no failure.
    helpers.installed = false;
    QFile::remove(data + "/mime/packages/quillbox.xml");
    RegistrationResult noTools =
        RegisterFileType(data, "/home/ann/bin/quillbox", helpers.Starter());
    EXPECT_EQ(noTools.written.size(), 1);
    EXPECT_TRUE(noTools.helpers.isEmpty());
}

TEST(FileTypeRegistration, UnwritableFolderIsReportedNotFatal) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // A file where the folder should be.
    QFile blocker(home.path() + "/mime");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HelperLog helpers;
    RegistrationResult result =
        RegisterFileType(home.path(), "/usr/bin/quillbox", helpers.Starter());
    EXPECT_EQ(result.failed, QStringList({home.path() + "/mime/packages/quillbox.xml"}));
    EXPECT_EQ(result.written.size(), 3);
}

TEST(QuoteExecArgument, QuotesOnlyWhenNeeded) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"/usr/bin/quillbox", "/usr/bin/quillbox"},
        {"/opt/My Apps/quillbox", "\"/opt/My Apps/quillbox\""},
        {"/opt/a$b/quillbox", "\"/opt/a\\\\$b/quillbox\""},
        {"/opt/100%/quillbox", "\"/opt/100%%/quillbox\""},
        {"/opt/a\\b", "\"/opt/a\\\\\\\\b\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteExecArgument(c.text).toStdString(), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace shell
