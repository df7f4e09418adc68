#include "entries/notes_text.h"

namespace entries {

std::string NotesToEditor(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size();) {
        if (stored.substr(i, kStoredLineBreak.size()) == kStoredLineBreak) {
            out += '\n';
            i += kStoredLineBreak.size();
        } else if (stored.substr(i, 2) == "\r\n") {
            out += '\n';
            i += 2;
        } else if (stored[i] == '\r') {
            out += kLoneCrSymbol;
            ++i;
        } else if (stored[i] == '\n') {
            out += kLoneLfSymbol;
            ++i;
        } else {
            out += stored[i];
            ++i;
        }
    }
    return out;
}

std::string NotesFromEditor(std::string_view edited) {
    std::string out;
    out.reserve(edited.size() + edited.size() / 8);
    for (std::size_t i = 0; i < edited.size();) {
        if (edited.substr(i, 2) == "\r\n") {
            out += kStoredLineBreak;
            i += 2;
        } else if (edited[i] == '\n') {
            out += kStoredLineBreak;
            ++i;
        } else if (edited.substr(i, kLoneCrSymbol.size()) == kLoneCrSymbol) {
            out += '\r';
            i += kLoneCrSymbol.size();
        } else if (edited.substr(i, kLoneLfSymbol.size()) == kLoneLfSymbol) {
            out += '\n';
            i += kLoneLfSymbol.size();
        } else {
            out += edited[i];
            ++i;
        }
    }
    return out;
}

}  // namespace entries
