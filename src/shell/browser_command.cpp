#include "shell/browser_command.h"

#include <array>
#include <cstdio>

namespace shell {

std::string HyperlinkResultText(int result) {
    switch (result) {
        case 0:
            return "The operating system is out\nof memory or resources.";
        case 2:
            return "The specified file was not found.";
        case 3:
            return "The specified path was not found.";
        case 5:
            return "The operating system denied\naccess to the specified file.";
        case 8:
            return "There was not enough memory to complete the operation.";
        case 11:
            return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case 26:
            return "A sharing violation occurred. ";
        case 27:
            return "The filename association is\nincomplete or invalid.";
        case 28:
            return "The DDE transaction could not\nbe completed because the request timed out.";
        case 29:
            return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not\nbe completed because other DDE "
                   "transactions\nwere being processed.";
        case 31:
            return "There is no application associated\nwith the given filename extension.";
        case 32:
            return "The specified dynamic-link library was not found.";
        default:
            break;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Unknown Error (%d) occurred.", result);
    return buffer;
}

std::string HyperlinkErrorMessage(int result) {
    return "Unable to open hyperlink:\n\n" + HyperlinkResultText(result);
}

namespace {

constexpr std::array<std::string_view, 5> kPlaceholders = {"%1", "%u", "%U", "%f", "%F"};

// Where the command line is cut, or npos when it holds no placeholder.
std::size_t CutPosition(std::string_view commandLine) {
    for (std::string_view placeholder : kPlaceholders) {
        std::string quoted = "\"" + std::string(placeholder) + "\"";
        std::size_t pos = commandLine.find(quoted);
        if (pos != std::string_view::npos) {
            return pos;
        }
        pos = commandLine.find(placeholder);
        if (pos != std::string_view::npos) {
            return pos;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::string CutAndAppendUrl(std::string_view commandLine, std::string_view url) {
    std::string result(commandLine.substr(0, CutPosition(commandLine)));
    result += ' ';
    result += url;
    return result;
}

std::optional<std::vector<std::string>> SplitExecLine(std::string_view execLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    std::size_t i = 0;
    while (i < execLine.size()) {
        char c = execLine[i];
        if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
            ++i;
            continue;
        }
        inWord = true;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < execLine.size()) {
                char q = execLine[i];
                if (q == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (q == '\\' && i + 1 < execLine.size()) {
                    char next = execLine[i + 1];
                    if (next == '"' || next == '`' || next == '$' || next == '\\') {
                        word += next;
                        i += 2;
                        continue;
                    }
                }
                word += q;
                ++i;
            }
            if (!closed) {
                return std::nullopt;
            }
            continue;
        }
        if (c == '%' && i + 1 < execLine.size()) {
            char code = execLine[i + 1];
            if (code == '%') {
                word += '%';
            }
            // Any other field code expands to nothing here.
            i += 2;
            continue;
        }
        word += c;
        ++i;
    }
    if (inWord) {
        words.push_back(word);
    }
    // A field code alone leaves an empty word behind; drop such words.
    std::vector<std::string> kept;
    for (std::string& w : words) {
        if (!w.empty()) {
            kept.push_back(std::move(w));
        }
    }
    if (kept.empty()) {
        return std::nullopt;
    }
    return kept;
}

std::optional<BrowserLaunch> PrepareBrowserLaunch(std::string_view execLine, std::string_view url) {
    std::optional<std::vector<std::string>> words =
        SplitExecLine(execLine.substr(0, CutPosition(execLine)));
    if (!words) {
        return std::nullopt;
    }
    BrowserLaunch launch;
    launch.program = (*words)[0];
    launch.arguments.assign(words->begin() + 1, words->end());
    launch.arguments.emplace_back(url);
    return launch;
}

std::optional<std::string> DesktopEntryExec(std::string_view text) {
    bool inEntryGroup = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        pos = end + 1;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntryGroup) {
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        std::string_view key = line.substr(0, eq);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) {
            key.remove_suffix(1);
        }
        if (key != "Exec") {
            continue;
        }
        std::string_view value = line.substr(eq + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        std::string unescaped;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) {
                char next = value[++i];
                switch (next) {
                    case 's':
                        unescaped += ' ';
                        break;
                    case 'n':
                        unescaped += '\n';
                        break;
                    case 't':
                        unescaped += '\t';
                        break;
                    case 'r':
                        unescaped += '\r';
                        break;
                    case '\\':
                        unescaped += '\\';
                        break;
                    default:
                        unescaped += '\\';
                        unescaped += next;
                        break;
                }
            } else {
                unescaped += value[i];
            }
        }
        return unescaped;
    }
    return std::nullopt;
}

}  // namespace shell
