// The About box and its links; the installed desktop files.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "resources/version.h"
#include "shell/about_dlg.h"
#include "shell/file_type_registration.h"
#include "shell/link_static.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

class LinkTest : public ShellFixture {
protected:
    void TearDown() override {
        CLinkStatic::SetOpenerForTesting(nullptr);
        ShellFixture::TearDown();
    }
};

TEST_F(LinkTest, AboutBoxShowsVersionAuthorAndTwoLinks) {
    CAboutDlg about;
    EXPECT_EQ(about.findChild<QLabel*>("versionLabel")->text(),
              QString("Quillbox Version %1").arg(resources::kVersion));
    CLinkStatic* email = about.EmailLink();
    CLinkStatic* home = about.HomePageLink();
    EXPECT_EQ(email->text(), QString("Email: ") + kAuthorEmail);
    EXPECT_EQ(email->Url(), QString("mailto:") + kAuthorEmail);
    EXPECT_EQ(email->toolTip(), email->Url());
    EXPECT_EQ(home->Url(), kHomePageUrl);
    for (CLinkStatic* link : {email, home}) {
        EXPECT_EQ(link->LinkColour(), QColor(0, 0, 238));
        EXPECT_EQ(link->VisitedColour(), QColor(255, 0, 0));
        EXPECT_FALSE(link->IsUnderlined());
        EXPECT_FALSE(link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST_F(LinkTest, ClickResultDecidesColourAndReport) {
    struct Case {
        int result;
        bool visited;
        const char* message;  // nullptr: none
    };
    const Case cases[] = {
        {42, true, nullptr},
        {33, true, nullptr},
        {26, false, "Unable to open hyperlink:\n\nA sharing violation occurred. "},
        {31, false,
         "Unable to open hyperlink:\n\nThere is no application associated\n"
         "with the given filename extension."},
        {0, false,
         "Unable to open hyperlink:\n\nThe operating system is out\nof memory or "
         "resources."},
    };
    CLinkStatic link("https://a.example/");
    link.resize(link.sizeHint());
    EXPECT_EQ(link.TextColour(), QColor(0, 0, 238));
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
    QSignalSpy opened(&link, &CLinkStatic::Opened);
    for (const Case& c : cases) {
        QStringList urls;
        CLinkStatic::SetOpenerForTesting([&urls, &c](const QString& url) {
            urls << url;
            return c.result;
        });
        m_dialogs.Clear();
        QTest::mouseClick(&link, Qt::LeftButton);
        EXPECT_EQ(urls, QStringList({"https://a.example/"}));
        EXPECT_EQ(link.IsVisited(), c.visited) << c.result;
        EXPECT_EQ(link.TextColour(), c.visited ? QColor(85, 26, 139) : QColor(0, 0, 238));
        EXPECT_EQ(link.palette().color(QPalette::WindowText), link.TextColour());
        if (c.message == nullptr) {
            EXPECT_TRUE(m_dialogs.Messages().empty());
        } else {
            ASSERT_EQ(m_dialogs.Messages().size(), 1u);
            EXPECT_EQ(m_dialogs.LastMessage(), c.message);
            EXPECT_EQ(m_dialogs.Messages()[0].icon, platform::MessageIcon::kWarning);
        }
    }
    EXPECT_EQ(opened.count(), 5);
}

TEST(InstalledDesktopFiles, MatchWhatStartUpRegisters) {
    QFile mime(QUILLBOX_SHELL_DATA_DIR "/quillbox.xml");
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(mime.readAll()), MimeTypeXml());
    QFile entry(QUILLBOX_SHELL_DATA_DIR "/quillbox.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(entry.readAll()), DesktopEntry(QString()));
}

}  // namespace
}  // namespace shell::testing
