// Finding and starting the default web browser by hand, for links the
// desktop could not open itself, and the texts that report a failed link.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// Result numbers of an attempt to open a link: a number above 32 means
// success; the others name the reason (see HyperlinkResultText).
inline constexpr int kOpenSucceeded = 42;
inline constexpr int kOpenOutOfResources = 0;
inline constexpr int kOpenFileNotFound = 2;
inline constexpr int kOpenAccessDenied = 5;
inline constexpr int kOpenNoAssociation = 31;

inline bool OpenSucceeded(int result) {
    return result > 32;
}

// The text for a failed result, without the "Unable to open hyperlink:"
// heading: 26 gives "A sharing violation occurred. ", an unknown number
// "Unknown Error (%d) occurred.".
std::string HyperlinkResultText(int result);

// The whole message of the error report: "Unable to open hyperlink:\n\n"
// followed by HyperlinkResultText(result).
std::string HyperlinkErrorMessage(int result);

// Builds the command line that opens `url` from a browser's command line:
// finds the placeholder in double quotes ("\"%1\"", four characters), else
// the placeholder alone; the placeholders tried, in order, are %1 and the
// desktop-entry codes %u, %U, %f and %F.  When one is found the command line
// is cut at its first character.  Then " " and the URL are appended.  So
//   "\"C:\\web.exe\" \"%1\""  gives  "\"C:\\web.exe\"  URL" (two blanks),
//   "firefox %u"              gives  "firefox  URL",
//   "browser"                 gives  "browser URL".
std::string CutAndAppendUrl(std::string_view commandLine, std::string_view url);

// Splits the part of a desktop entry's Exec line before the cut into program
// and arguments by the desktop-entry quoting rules (double quotes, with \" \`
// \$ and \\ escaped inside them; blanks separate arguments).  Remaining field
// codes are dropped and "%%" becomes "%".  Nothing when the quoting is
// broken or no program is named.
std::optional<std::vector<std::string>> SplitExecLine(std::string_view execLine);

// Program and arguments that open `url` with the browser whose Exec line is
// `execLine`: the command line is cut by the rule of CutAndAppendUrl, the
// part before the cut is split, and the URL is added as one argument of its
// own, so that no text of the URL is ever read as a separate argument or by
// a shell.
struct BrowserLaunch {
    std::string program;
    std::vector<std::string> arguments;
};
std::optional<BrowserLaunch> PrepareBrowserLaunch(std::string_view execLine, std::string_view url);

// The value of the "Exec" key in the [Desktop Entry] group of a desktop
// entry's text, with the escapes of string values (\s \n \t \r \\) undone,
// or nothing.
std::optional<std::string> DesktopEntryExec(std::string_view desktopEntryText);

}  // namespace shell
