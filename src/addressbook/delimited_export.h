// Delimited-text export without the window.
//
// A header line holding the header words, then one line per list row in
// display order, each of M fields, M being the highest column number; field
// k is the text of the field whose column number is k (a later field wins
// when two share a number), or empty.  Lines end with
// CR LF, and a line break inside a value is written as CR LF too.  Every
// field is written in double quotes, in one of two ways:
//
// - kBackslash, the export of the File menu: a double quote or a backslash
//   inside a value gets a backslash before it (the delimited import reads
//   it as the character itself, so the file reads back); every other byte
//   is written as it is; every field is followed by the separator, the last
//   one included.
// - kRfc4180, "For spreadsheets": a double quote inside a value is doubled,
//   "<p>" in Notes is written as a line break inside the quotes, and there
//   is no separator after the last field (RFC 4180, as spreadsheets and
//   mail programs read CSV).
//
// The texts are read straight from the entries, and the lines go out in
// blocks, so the export holds no more than one block of text.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/delimited_import.h"

namespace fileio {
class AtomicFileWriter;
}

namespace addressbook {

// Column numbers above this make the export fail: each line would carry that
// many fields, so a stray large number in the settings would otherwise fill
// the disk (or exhaust memory) with empty fields.
inline constexpr int kMaxExportColumn = 1000;

// Results of ExportDelimited besides a line count.
inline constexpr int kExportColumnTooLarge = -1;  // a column above kMaxExportColumn
inline constexpr int kExportWriteFailed = -2;     // the sink refused bytes

enum class ExportQuoting { kBackslash, kRfc4180 };

// Receives exported text in order, in blocks; false stops the export.
using TextSink = std::function<bool(std::string_view bytes)>;

// The export engine: the header line, then one line per Add, into blocks of
// about 256 KB for `sink`.
class DelimitedExporter {
public:
    DelimitedExporter(const ColumnMapping& columns, char separator, TextSink sink,
                      ExportQuoting quoting = ExportQuoting::kBackslash);
    ~DelimitedExporter();
    DelimitedExporter(const DelimitedExporter&) = delete;
    DelimitedExporter& operator=(const DelimitedExporter&) = delete;

    // Adds the line of one entry's field texts.  False, adding nothing, once
    // the sink has refused a block, when a column is above kMaxExportColumn
    // or when no column is above 0 (nothing is written then).
    bool Add(const std::array<std::string_view, kFieldCount>& texts);
    // Sends what is left; the number of lines (the header's included; 0 when
    // no column is above 0), kExportColumnTooLarge with nothing sent, or
    // kExportWriteFailed.
    int Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// Writes the header line, then the line of each row of `list` in display
// order.  The text goes to `sink` in blocks of about 256 KB.  Returns the number of lines (0, with
// nothing sent, when no column number is above 0), kExportColumnTooLarge with nothing sent, or
// kExportWriteFailed when the sink refused a block.
int ExportDelimited(const IAddressList& list, const ColumnMapping& columns, char separator,
                    const TextSink& sink, ExportQuoting quoting = ExportQuoting::kBackslash);

// The same into a writer the caller has opened and will commit or discard.
int ExportDelimited(const IAddressList& list, const ColumnMapping& columns, char separator,
                    fileio::AtomicFileWriter& writer,
                    ExportQuoting quoting = ExportQuoting::kBackslash);

}  // namespace addressbook
