#include "tool_books.h"

#include <cstdio>

#include "addressbook/book_file.h"

namespace quillbox::tool {

bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string& out,
                     std::string& error) {
    if (i + 1 >= args.size()) {
        error = args[i] + " needs a value";
        return false;
    }
    out = args[++i];
    return true;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "quillbox-tool: %s\n", message.c_str());
    std::fprintf(stderr, "Try 'quillbox-tool --help'.\n");
    return kExitUsage;
}

int ReportCannotRead(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "quillbox-tool: cannot read %s: %s\n", path.c_str(), reason.c_str());
    return kExitUsage;
}

int ReportCannotWrite(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "quillbox-tool: cannot write %s: %s\n", path.c_str(), reason.c_str());
    return kExitUsage;
}

OpenResult ReportRefusedBook(const std::string& path, const clausedb::CExprDatabase& db,
                             const clausedb::ParseErrors& errors) {
    if (!db.LastFileError().empty()) {
        ReportCannotRead(path, db.LastFileError());
        return OpenResult::Unreadable;
    }
    for (const clausedb::SyntaxError& error : errors.Errors()) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
    }
    return OpenResult::Refused;
}

OpenResult OpenBook(const std::string& path, clausedb::CExprDatabase& db,
                    addressbook::VectorAddressList& list,
                    std::optional<addressbook::CExtraData>* link) {
    addressbook::StagedEntries staged;
    clausedb::ParseErrors errors;
    if (!addressbook::ReadBook(db, path, staged, &errors)) {
        return ReportRefusedBook(path, db, errors);
    }
    if (link != nullptr) {
        *link = std::move(staged.link);
    }
    addressbook::LoadEntries(staged, list);
    return OpenResult::Opened;
}

int ExitFor(OpenResult result) {
    return result == OpenResult::Refused ? kExitRefused : kExitUsage;
}

bool SaveBook(const addressbook::VectorAddressList& list, clausedb::CExprDatabase& db,
              const std::string& path, const addressbook::CExtraData* link) {
    if (!addressbook::SaveBook(list, db, path, link)) {
        ReportCannotWrite(path, db.LastFileError());
        return false;
    }
    return true;
}

}  // namespace quillbox::tool
