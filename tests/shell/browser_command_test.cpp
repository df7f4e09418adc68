// Opening links: the browser command-line rule, Exec lines, error texts and
// the fallback to the default browser.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "shell/browser_command.h"
#include "shell/link_static.h"

namespace shell {
namespace {

TEST(CutAndAppendUrl, PlaceholderCutThenBlankAndUrl) {
    struct Case {
        const char* commandLine;
        const char* expected;
    };
    const char* url = "https://quillbox.example.org/";
    const Case cases[] = {
        // Quoted program, blank, quoted placeholder: the cut keeps the blank
        // before the placeholder, so two blanks precede the URL.
        {"\"C:\\Program Files\\Web\\web.exe\" \"%1\"",
         "\"C:\\Program Files\\Web\\web.exe\"  https://quillbox.example.org/"},
        {"web.exe %1", "web.exe  https://quillbox.example.org/"},
        {"web.exe -nohome %1 -x", "web.exe -nohome  https://quillbox.example.org/"},
        // No placeholder: one blank and the URL at the end.
        {"web.exe", "web.exe https://quillbox.example.org/"},
        {"web.exe -new", "web.exe -new https://quillbox.example.org/"},
        // Desktop-entry placeholders follow the same rule.
        {"firefox %u", "firefox  https://quillbox.example.org/"},
        {"chromium --flag \"%U\"", "chromium --flag  https://quillbox.example.org/"},
        {"viewer %F", "viewer  https://quillbox.example.org/"},
        // The quoted form wins over a bare one further left only for the same
        // placeholder; %1 is tried before %u.
        {"b %u \"%1\"", "b %u  https://quillbox.example.org/"},
        {"", " https://quillbox.example.org/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutAndAppendUrl(c.commandLine, url), c.expected) << c.commandLine;
    }
}

TEST(SplitExecLine, DesktopEntryQuoting) {
    using Words = std::vector<std::string>;
    struct Case {
        const char* exec;
        std::optional<Words> expected;
    };
    const Case cases[] = {
        {"firefox", Words{"firefox"}},
        {"  firefox   --new-window  ", Words{"firefox", "--new-window"}},
        {"\"/opt/My Browser/run\" -x", Words{"/opt/My Browser/run", "-x"}},
        {"sh -c \"echo \\\"hi\\\" \\$HOME\"", Words{"sh", "-c", "echo \"hi\" $HOME"}},
        {"b --icon %i --name %c 100%%", Words{"b", "--icon", "--name", "100%"}},
        {"\"unterminated", std::nullopt},
        {"", std::nullopt},
        {"%u", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitExecLine(c.exec), c.expected) << c.exec;
    }
}

TEST(PrepareBrowserLaunch, UrlIsOneArgumentOfItsOwn) {
    struct Case {
        const char* exec;
        const char* url;
        std::string program;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"firefox %u", "https://a.example/x y", "firefox", {"https://a.example/x y"}},
        {"/usr/bin/chromium --new-window %U",
         "https://a.example/;rm -rf ~",
         "/usr/bin/chromium",
         {"--new-window", "https://a.example/;rm -rf ~"}},
        {"\"/opt/W B/web\" \"%1\" --later",
         "mailto:x@example.org",
         "/opt/W B/web",
         {"mailto:x@example.org"}},
        {"links", "https://a.example/", "links", {"https://a.example/"}},
    };
    for (const Case& c : cases) {
        std::optional<BrowserLaunch> launch = PrepareBrowserLaunch(c.exec, c.url);
        ASSERT_TRUE(launch) << c.exec;
        EXPECT_EQ(launch->program, c.program);
        EXPECT_EQ(launch->arguments, c.arguments);
    }
    EXPECT_FALSE(PrepareBrowserLaunch("\"broken %u", "https://a.example/"));
}

TEST(DesktopEntryExec, ReadsExecOfTheMainGroupOnly) {
    struct Case {
        const char* text;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nName=Web\nExec=web %u\n", "web %u"},
        {"[Desktop Entry]\r\nExec = web\\s--x %u\r\n", "web --x %u"},
        {"[Desktop Action New]\nExec=web --new\n[Desktop Entry]\nExec=web\n", "web"},
        {"[Desktop Entry]\nExec=a \"b\\\\\\\\c\"\n", "a \"b\\\\c\""},
        {"[Desktop Entry]\nName=No exec\n", std::nullopt},
        {"# comment\nExec=outside\n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopEntryExec(c.text), c.expected) << c.text;
    }
}

TEST(HyperlinkErrorMessage, TextsByResult) {
    struct Case {
        int result;
        const char* text;
    };
    const Case cases[] = {
        {2, "The specified file was not found."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HyperlinkErrorMessage(c.result),
                  std::string("Unable to open hyperlink:\n\n") + c.text);
    }
    EXPECT_FALSE(OpenSucceeded(32));
    EXPECT_TRUE(OpenSucceeded(42));
}

// A desktop that refuses every link, with a browser found through the
// helpers; records what would be started.
struct FakeDesktop {
    bool desktopOpens = false;
    std::optional<QString> settingsAnswer;
    std::optional<QString> mimeAnswer;
    std::optional<QString> entryText;
    int startResult = kOpenSucceeded;
    QString startedProgram;
    QStringList startedArguments;
    QString entryAsked;
    int starts = 0;

    HyperlinkHooks Hooks() {
        HyperlinkHooks hooks;
        hooks.openUrl = [this](const QString&) { return desktopOpens; };
        hooks.runHelper = [this](const QString& program,
                                 const QStringList&) -> std::optional<QString> {
            return program == "xdg-settings" ? settingsAnswer : mimeAnswer;
        };
        hooks.readDesktopEntry = [this](const QString& id) {
            entryAsked = id;
            return entryText;
        };
        hooks.startDetached = [this](const QString& program, const QStringList& arguments) {
            ++starts;
            startedProgram = program;
            startedArguments = arguments;
            return startResult;
        };
        return hooks;
    }
};

TEST(OpenHyperlink, FallsBackToTheDefaultBrowser) {
    const QString url = "https://quillbox.example.org/";
    {
        FakeDesktop desktop;
        desktop.desktopOpens = true;
        EXPECT_EQ(OpenHyperlink(url, desktop.Hooks()), kOpenSucceeded);
        EXPECT_EQ(desktop.starts, 0);
    }
    {
        FakeDesktop desktop;
        desktop.settingsAnswer = "web.desktop\n";
        desktop.entryText = "[Desktop Entry]\nExec=/usr/bin/web --private \"%u\"\n";
        EXPECT_EQ(OpenHyperlink(url, desktop.Hooks()), kOpenSucceeded);
        EXPECT_EQ(desktop.entryAsked, "web.desktop");
        EXPECT_EQ(desktop.startedProgram, "/usr/bin/web");
        EXPECT_EQ(desktop.startedArguments, QStringList({"--private", url}));
    }
    {
        // xdg-settings silent: xdg-mime names the browser.
        FakeDesktop desktop;
        desktop.settingsAnswer = "";
        desktop.mimeAnswer = "other.desktop";
        desktop.entryText = "[Desktop Entry]\nExec=other\n";
        desktop.startResult = kOpenFileNotFound;
        EXPECT_EQ(OpenHyperlink(url, desktop.Hooks()), kOpenFileNotFound);
        EXPECT_EQ(desktop.entryAsked, "other.desktop");
    }
    {
        // No browser known: the desktop's own failure is the result.
        FakeDesktop desktop;
        EXPECT_EQ(OpenHyperlink(url, desktop.Hooks()), kOpenNoAssociation);
        EXPECT_EQ(desktop.starts, 0);
    }
    {
        // An entry without an Exec line ends the fallback quietly.
        FakeDesktop desktop;
        desktop.settingsAnswer = "web.desktop";
        desktop.entryText = "[Desktop Entry]\nName=Web\n";
        EXPECT_EQ(OpenHyperlink(url, desktop.Hooks()), kOpenNoAssociation);
        EXPECT_EQ(desktop.starts, 0);
    }
    {
        // Text without a scheme is never handed to a browser: it could pass
        // for one of its options.
        FakeDesktop desktop;
        desktop.settingsAnswer = "web.desktop";
        desktop.entryText = "[Desktop Entry]\nExec=web %u\n";
        EXPECT_EQ(OpenHyperlink("--remote-debugging-port=9", desktop.Hooks()), kOpenNoAssociation);
        EXPECT_EQ(desktop.starts, 0);
    }
}

}  // namespace
}  // namespace shell
