// quillbox-tool: the command-line face of the Quillbox core.  Every command
// runs the same library code as the window program: "check" and "dump" open a
// book as File Open does, "convert" saves as File Save does, and "import" and
// "export" run the delimited-text engines of the File menu.  All of them
// stream through the clause database, one clause at a time; the delimited
// export and the convert of a plain UTF-8 book write each contact as they
// read it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/book_copy.h"
#include "addressbook/book_file.h"
#include "addressbook/book_reader.h"
#include "addressbook/column_aliases.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/existing_entries.h"
#include "addressbook/export_pipeline.h"
#include "addressbook/field_table.h"
#include "addressbook/header_import.h"
#include "addressbook/import_into_book.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "column_spec.h"
#include "extra_json.h"
#include "fileio/atomic_file.h"
#include "json_lines.h"
#include "resources/version.h"
#include "sync_command.h"
#include "tool_books.h"

namespace {

using quillbox::tool::ColumnMapping;
using quillbox::tool::ExitFor;
using quillbox::tool::kExitOk;
using quillbox::tool::kExitRefused;
using quillbox::tool::kExitUsage;
using quillbox::tool::OpenBook;
using quillbox::tool::OpenResult;
using quillbox::tool::ReportCannotRead;
using quillbox::tool::ReportCannotWrite;
using quillbox::tool::SaveBook;
using quillbox::tool::TakeOptionValue;
using quillbox::tool::UsageError;

constexpr const char* kUsage =
    "Usage: quillbox-tool COMMAND ARGUMENTS\n"
    "       quillbox-tool --version\n"
    "\n"
    "Commands:\n"
    "  check BOOK           Read BOOK as the program opens it; print the number of\n"
    "                       entries, or every reader error with its line number.\n"
    "  dump BOOK            Print the entries as JSON Lines, one object per entry.\n"
    "  convert IN OUT       Open IN and save it as OUT, as the program saves.\n"
    "  import (--comma|--tab) --columns SPEC [--book BOOK] TEXTFILE OUT\n"
    "                       Import delimited text (after the entries of BOOK when\n"
    "                       given) and save the result as OUT.\n"
    "  import (--comma|--tab) --columns header [--book BOOK] [--skip-existing]\n"
    "         TEXTFILE OUT  The same for a file whose first line names its columns\n"
    "                       (CSV of mail programs, webmail, phones, spreadsheets):\n"
    "                       fields matched by those names, the first line skipped,\n"
    "                       RFC 4180 quoting, other columns kept as extra data.\n"
    "  export (--comma|--tab) --columns SPEC [--rfc4180] BOOK OUT\n"
    "                       Export the entries of BOOK as delimited text; with\n"
    "                       --rfc4180 quoted for spreadsheets.\n"
    "  import --vcard [--book BOOK] [--skip-existing] FILE.vcf OUT\n"
    "                       Import the cards of a vCard file (2.1, 3.0 or 4.0).\n"
    "                       --skip-existing leaves out every entry that BOOK already\n"
    "                       holds (the same name, e-mail address, phone number or\n"
    "                       UID, as Find Duplicates matches them) and counts it.\n"
    "  export --vcard [--vcard-version 3.0|4.0] BOOK OUT\n"
    "                       Export the entries of BOOK as vCards (3.0 unless asked).\n"
    "  sync [--url URL] [--user USER] [--password-file FILE]\n"
    "       [--accept-certificate SHA256] BOOK\n"
    "                       Synchronize BOOK both ways with a CardDAV address book\n"
    "                       (URL and USER may be left out once BOOK is linked).  The\n"
    "                       password comes from QUILLBOX_PASSWORD or from FILE.\n"
    "\n"
    "SPEC maps fields to 1-based columns, e.g. LastName=1,FirstName=2,Email1=4;\n"
    "fields not named get 0.  Field names: LastName FirstName MiddleInitial Title\n"
    "Address1 Address2 City Country State ZipCode Company Department Position\n"
    "Manager Additional1 Additional2 HomePhone HomeExt WorkPhone WorkExt CellPhone\n"
    "CellExt Pager PagerCard PagerExt FaxPhone FaxExt Email1 Email2 Web1 Web2 Notes.\n"
    "\n"
    "Exit status: 0 success; 1 book refused (syntax errors), nothing imported, or the\n"
    "server refused something (entries skipped as already in BOOK do not count as\n"
    "nothing: OUT is written); 2 usage error, a file that cannot be read or written,\n"
    "or no connection to the server.\n";

int RunCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return UsageError("check takes one book");
    }
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    OpenResult result = OpenBook(args[0], db, list);
    if (result != OpenResult::Opened) {
        return ExitFor(result);
    }
    std::printf("%s: %d entries\n", args[0].c_str(), list.RowCount());
    return kExitOk;
}

int RunDump(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return UsageError("dump takes one book");
    }
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    OpenResult result = OpenBook(args[0], db, list);
    if (result != OpenResult::Opened) {
        return ExitFor(result);
    }
    std::string line;
    for (int row = 0; row < list.RowCount(); ++row) {
        const addressbook::CAddressEntry& entry = list.EntryAt(row);
        line.clear();
        line += '{';
        for (int field = 0; field < addressbook::kFieldCount; ++field) {
            if (field > 0) {
                line += ',';
            }
            quillbox::tool::AppendJsonString(line, addressbook::FieldAt(field).attribute);
            line += ':';
            quillbox::tool::AppendJsonString(line, entry.GetField(field));
        }
        quillbox::tool::AppendExtraMembers(line, entry.Extra());
        line += "}\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}

int RunConvert(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return UsageError("convert takes an input book and an output book");
    }
    {
        // A plain UTF-8 book is read on this thread while another writes it.
        clausedb::CExprDatabase readDb;
        clausedb::CExprDatabase writeDb;
        clausedb::ParseErrors errors;
        bool saved = false;
        const addressbook::BookRead read =
            addressbook::CopyPlainBook(readDb, writeDb, args[0], args[1], &errors, saved);
        if (read == addressbook::BookRead::kRefused) {
            return ExitFor(quillbox::tool::ReportRefusedBook(args[0], readDb, errors));
        }
        if (read == addressbook::BookRead::kRead) {
            if (!saved) {
                return ReportCannotWrite(args[1], writeDb.LastFileError());
            }
            return kExitOk;
        }
    }
    // Any other book as the window opens and saves it.
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    std::optional<addressbook::CExtraData> link;
    OpenResult result = OpenBook(args[0], db, list, &link);
    if (result != OpenResult::Opened) {
        return ExitFor(result);
    }
    return SaveBook(list, db, args[1], link ? &*link : nullptr) ? kExitOk : kExitUsage;
}

// Options shared by import and export.
struct DelimitedOptions {
    bool comma = false;
    bool tab = false;
    bool haveColumns = false;
    bool header = false;        // --columns header: matched by the first line's names
    bool rfc4180 = false;       // --rfc4180 (export)
    bool skipExisting = false;  // --skip-existing (import with --columns header)
    ColumnMapping columns{};
    std::string book;
    std::vector<std::string> positional;
};

// `importing`: --book and --columns header are allowed; otherwise --rfc4180.
bool ParseDelimitedOptions(const std::vector<std::string>& args, bool importing,
                           DelimitedOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) { return TakeOptionValue(args, i, out, error); };
        if (arg == "--comma") {
            options.comma = true;
        } else if (arg == "--tab") {
            options.tab = true;
        } else if (arg == "--columns" || arg.rfind("--columns=", 0) == 0) {
            std::string spec;
            if (arg == "--columns") {
                if (!value(spec)) {
                    return false;
                }
            } else {
                spec = arg.substr(std::strlen("--columns="));
            }
            options.header = importing && spec == "header";
            if (!options.header && !quillbox::tool::ParseColumnSpec(spec, options.columns, error)) {
                return false;
            }
            options.haveColumns = true;
        } else if (!importing && arg == "--rfc4180") {
            options.rfc4180 = true;
        } else if (importing && arg == "--skip-existing") {
            options.skipExisting = true;
        } else if (importing && arg == "--book") {
            if (!value(options.book)) {
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return false;
        } else {
            options.positional.push_back(arg);
        }
    }
    if (options.comma == options.tab) {
        error = "give exactly one of --comma and --tab";
        return false;
    }
    if (!options.haveColumns) {
        error = "--columns is required";
        return false;
    }
    if (options.skipExisting && !options.header) {
        error = "--skip-existing needs --columns header (or --vcard)";
        return false;
    }
    return true;
}

bool HasOption(const std::vector<std::string>& args, std::string_view option) {
    return std::find(args.begin(), args.end(), option) != args.end();
}

int RunImportVCard(const std::vector<std::string>& args) {
    std::string book;
    bool skipExisting = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--vcard") {
            continue;
        }
        if (args[i] == "--skip-existing") {
            skipExisting = true;
            continue;
        }
        if (args[i] == "--book") {
            std::string error;
            if (!TakeOptionValue(args, i, book, error)) {
                return UsageError(error);
            }
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return UsageError("unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        return UsageError("import --vcard takes a vCard file and an output book");
    }
    const std::string& cardPath = positional[0];
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    std::optional<addressbook::CExtraData> link;  // the book's, kept
    if (!book.empty()) {
        OpenResult result = OpenBook(book, db, list, &link);
        if (result != OpenResult::Opened) {
            return ExitFor(result);
        }
    }
    std::optional<addressbook::CExistingEntries> existing;
    if (skipExisting) {
        existing.emplace(list);
    }
    addressbook::StagedEntries staged;
    addressbook::VCardImportReport report;
    std::string error;
    const int count = addressbook::ImportVCardEntries(cardPath, staged, report, &error, nullptr, {},
                                                      existing ? &*existing : nullptr);
    if (count < 0) {
        return ReportCannotRead(cardPath, error);
    }
    const std::string text = addressbook::ImportReportText(report, cardPath);
    if (count == 0 && report.skipped == 0) {
        std::printf("%s\n", text.c_str());
        return kExitRefused;
    }
    addressbook::LoadEntries(staged, list);
    if (!SaveBook(list, db, positional[1], link ? &*link : nullptr)) {
        return kExitUsage;
    }
    std::printf("%s\n", text.c_str());
    return kExitOk;
}

int RunExportVCard(const std::vector<std::string>& args) {
    addressbook::vcard::Version version = addressbook::vcard::Version::V30;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--vcard") {
            continue;
        }
        if (args[i] == "--vcard-version") {
            if (i + 1 >= args.size() || (args[i + 1] != "3.0" && args[i + 1] != "4.0")) {
                return UsageError("--vcard-version takes 3.0 or 4.0");
            }
            version = addressbook::vcard::VersionOf(args[++i]);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return UsageError("unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        return UsageError("export --vcard takes a book and an output file");
    }
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    OpenResult result = OpenBook(positional[0], db, list);
    if (result != OpenResult::Opened) {
        return ExitFor(result);
    }
    std::string error;
    const int count = addressbook::ExportVCardFile(list, version, positional[1], &error);
    if (count < 0) {
        return ReportCannotWrite(positional[1], error);
    }
    std::printf("%d addresses exported.\n", count);
    return kExitOk;
}

int RunImport(const std::vector<std::string>& args) {
    if (HasOption(args, "--vcard")) {
        return RunImportVCard(args);
    }
    DelimitedOptions options;
    std::string error;
    if (!ParseDelimitedOptions(args, true, options, error)) {
        return UsageError(error);
    }
    if (options.positional.size() != 2) {
        return UsageError("import takes a text file and an output book");
    }
    const std::string& textPath = options.positional[0];
    const std::string& outPath = options.positional[1];

    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    std::optional<addressbook::CExtraData> link;  // the book's, kept
    if (!options.book.empty()) {
        OpenResult result = OpenBook(options.book, db, list, &link);
        if (result != OpenResult::Opened) {
            return ExitFor(result);
        }
    }

    addressbook::CDelimitedTextFile file;
    auto cannotRead = [&]() { return ReportCannotRead(textPath, file.ErrorText()); };
    if (!file.Open(textPath)) {
        return cannotRead();
    }
    if (!file.FirstLine()) {
        if (!file.ErrorText().empty()) {
            return cannotRead();
        }
        std::printf("Could not read first line of file.\n");
        return kExitRefused;
    }
    addressbook::StagedEntries staged;
    int count = 0;
    int skipped = 0;
    bool saved = false;  // without a header: the import went straight into OUT
    std::string report;
    if (options.header) {
        const char separator = options.comma ? ',' : '\t';
        addressbook::CsvHeader header;
        if (!addressbook::ReadCsvHeader(file, separator, header)) {
            return cannotRead();
        }
        std::optional<addressbook::CExistingEntries> existing;
        if (options.skipExisting) {
            existing.emplace(list);
        }
        addressbook::HeaderImportReport result;
        count =
            addressbook::ImportWithHeader(file, separator, addressbook::MatchColumns(header.names),
                                          staged, result, existing ? &*existing : nullptr);
        report = addressbook::HeaderImportReportText(result);
        skipped = result.skipped;
    } else {
        // The comma set splits at commas and drops tabs around fields; the
        // tab set splits at tabs and drops spaces.
        std::string_view white = options.comma ? "\t" : " ";
        std::string_view breaks = options.comma ? "," : "\t";
        count = addressbook::ImportDelimitedIntoBook(file, options.columns, white, breaks, list,
                                                     link ? &*link : nullptr, db, outPath, saved);
        report = count > 0 ? std::to_string(count) + " addresses imported."
                           : "No addresses could be imported.";
    }
    if (count < 0) {
        return cannotRead();
    }
    if (count == 0 && skipped == 0) {
        std::printf("%s\n", report.c_str());
        return kExitRefused;
    }
    if (options.header) {
        addressbook::LoadEntries(staged, list);
        if (!SaveBook(list, db, outPath, link ? &*link : nullptr)) {
            return kExitUsage;
        }
    } else if (!saved) {
        return ReportCannotWrite(outPath, db.LastFileError());
    }
    std::printf("%s\n", report.c_str());
    return kExitOk;
}

int RunExport(const std::vector<std::string>& args) {
    if (HasOption(args, "--vcard")) {
        return RunExportVCard(args);
    }
    DelimitedOptions options;
    std::string error;
    if (!ParseDelimitedOptions(args, false, options, error)) {
        return UsageError(error);
    }
    if (options.positional.size() != 2) {
        return UsageError("export takes a book and an output file");
    }
    const std::string& bookPath = options.positional[0];
    const std::string& outPath = options.positional[1];
    const char separator = options.comma ? ',' : '\t';
    const addressbook::ExportQuoting quoting = options.rfc4180
                                                   ? addressbook::ExportQuoting::kRfc4180
                                                   : addressbook::ExportQuoting::kBackslash;
    const bool columnsFit = *std::max_element(options.columns.begin(), options.columns.end()) <=
                            addressbook::kMaxExportColumn;

    // The lines go straight into a new version of the file, which replaces
    // the old one only once complete.
    fileio::AtomicFileWriter writer;
    int count = -1;
    std::optional<addressbook::BookRead> streamed;
    if (columnsFit && writer.Open(outPath)) {
        // Each contact becomes its line as soon as it is read (no entry is
        // made); the lines are made and written on a second thread.  The new
        // file is dropped if the book is refused or must be read otherwise.
        addressbook::DelimitedExporter exporter(
            options.columns, separator,
            [&writer](std::string_view bytes) { return writer.Write(bytes); }, quoting);
        clausedb::CExprDatabase db;
        clausedb::ParseErrors errors;
        {
            addressbook::CExportPipeline pipeline(exporter);
            streamed = addressbook::ReadBookFields(
                db, bookPath, [&pipeline](const auto& texts) { pipeline.Add(texts); }, &errors);
            if (streamed == addressbook::BookRead::kRead) {
                count = pipeline.Finish();
            }
        }  // the second thread is done with the writer
        if (streamed != addressbook::BookRead::kRead) {
            writer.Discard();
        }
        if (streamed == addressbook::BookRead::kRefused) {
            return ExitFor(quillbox::tool::ReportRefusedBook(bookPath, db, errors));
        }
    }
    if (streamed != addressbook::BookRead::kRead) {
        // Any other file, and any other case, as the window opens and
        // exports: the book first, its errors before any other.
        clausedb::CExprDatabase db;
        addressbook::VectorAddressList list;
        OpenResult result = OpenBook(bookPath, db, list);
        if (result != OpenResult::Opened) {
            return ExitFor(result);
        }
        if (!columnsFit) {
            return UsageError("column numbers above " +
                              std::to_string(addressbook::kMaxExportColumn) +
                              " cannot be exported");
        }
        if (writer.Open(outPath)) {
            count = addressbook::ExportDelimited(list, options.columns, separator, writer, quoting);
        }
    }
    if (count < 0 || !writer.Commit()) {
        return ReportCannotWrite(outPath, writer.ErrorText());
    }
    std::printf("%d addresses exported.\n", count);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("quillbox-tool %s\n", resources::kVersion);
        return kExitOk;
    }
    if (command == "check") {
        return RunCheck(args);
    }
    if (command == "dump") {
        return RunDump(args);
    }
    if (command == "convert") {
        return RunConvert(args);
    }
    if (command == "import") {
        return RunImport(args);
    }
    if (command == "export") {
        return RunExport(args);
    }
    if (command == "sync") {
        return quillbox::tool::RunSync(args);
    }
    return UsageError("unknown command '" + command + "'");
}
