// vCard import without the window: reads a vCard file card by card
// (vcard_reader.h), turns each card into an entry (vcard_mapping.h) and
// stages the entries like the delimited import does; the window and the
// tool then append them with LoadEntries (book_file.h).
//
// Every entry gets a UID: the card's own, or one derived from its fields
// (entry_identity.h).  The report says how many entries were made, what was
// kept as extra data instead of a field, and what was skipped with its line.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/book_file.h"
#include "addressbook/existing_entries.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_reader.h"

namespace addressbook {

struct VCardImportReport {
    int imported = 0;
    int skipped = 0;  // already in the book (CExistingEntries)
    vcard::KeptTally kept;
    vcard::ReadProblems problems;
};

// Reads the vCard file at `path` into `staged` (emptied first).  Returns the
// number of entries staged, or -1 when the file cannot be read (`staged` is
// then empty, and `errorText` and `errorNumber` say why).  Memory: one card
// at a time besides the staged entries.  `onProgress`, when given, hears
// after each block read how many of the file's bytes have been read.  With
// `existing`, a card whose entry the book already holds is left out and
// counted in report.skipped (what it kept as extra data is not counted).
int ImportVCardEntries(const std::string& path, StagedEntries& staged, VCardImportReport& report,
                       std::string* errorText = nullptr, int* errorNumber = nullptr,
                       const vcard::CVCardReader::ProgressFn& onProgress = {},
                       const CExistingEntries* existing = nullptr);
// The same from the bytes of a file in memory.
int ImportVCardEntriesFromBytes(std::string_view bytes, StagedEntries& staged,
                                VCardImportReport& report,
                                const CExistingEntries* existing = nullptr);

// The text shown after an import, e.g. "312 addresses imported. 12 already
// in the book were skipped. Kept as extra data: BDAY 120, PHOTO 98, a third
// e-mail 4. Skipped: 1 card (line 4012, no END:VCARD)."  With no card read:
// "No contacts found in FILE." and what was skipped.
std::string ImportReportText(const VCardImportReport& report, std::string_view fileName);

}  // namespace addressbook
