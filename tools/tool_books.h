// Opening and saving books for the tool's commands, as File Open and File
// Save do, and the exit statuses the commands share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "addressbook/extra_data.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "clausedb/parse_errors.h"

namespace quillbox::tool {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

// The value of the option args[i] (the next argument) into `out`, with i
// moved onto it; false, with `error` set, when the option is the last.
bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string& out,
                     std::string& error);

// Prints "quillbox-tool: MESSAGE" and the hint to --help; kExitUsage.
int UsageError(const std::string& message);
// Print "quillbox-tool: cannot read PATH: REASON" (or write); kExitUsage.
int ReportCannotRead(const std::string& path, const std::string& reason);
int ReportCannotWrite(const std::string& path, const std::string& reason);

enum class OpenResult { Opened, Refused, Unreadable };

// Opens a book the way File Open does: read the clause file, turning its
// contact clauses into entries, and show them only when it read without
// error.  Every syntax error is printed with the file name and its line.
// `link` receives the arguments of the book's `carddav` clause, when it has
// one.
OpenResult OpenBook(const std::string& path, clausedb::CExprDatabase& db,
                    addressbook::VectorAddressList& list,
                    std::optional<addressbook::CExtraData>* link = nullptr);
int ExitFor(OpenResult result);
// Prints why a book was not opened: the read error, or every syntax error
// with the file name and its line.  Unreadable or Refused.
OpenResult ReportRefusedBook(const std::string& path, const clausedb::CExprDatabase& db,
                             const clausedb::ParseErrors& errors);

// Saves as File Save does (the old file replaced only once the new one is
// complete), with the link clause when given; prints why it failed.
bool SaveBook(const addressbook::VectorAddressList& list, clausedb::CExprDatabase& db,
              const std::string& path, const addressbook::CExtraData* link = nullptr);

}  // namespace quillbox::tool
