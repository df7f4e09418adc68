// vCard export without the window: one card per entry (vcard_mapping.h),
// version 3.0 or 4.0, lines folded at 75 octets and ended by CR LF, written
// through an AtomicFileWriter so that the old file stays whole until the new
// one is complete.  An entry without a UID gets the one ExportUids derives
// (entry_identity.h), so two exports of the same book agree.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/vcard_mapping.h"
#include "fileio/atomic_file.h"

namespace addressbook {

// The text of one card: folded content lines, each ended by CR LF.
std::string VCardText(const CAddressEntry& entry, vcard::Version version, std::string_view uid);

// Writes a card for every row of `list`, top row first, to `writer`
// (opened by the caller, who commits it).  The number of cards, or -1 when a
// write failed (writer.ErrorText() says why).
int ExportVCardToWriter(const IAddressList& list, vcard::Version version,
                        fileio::AtomicFileWriter& writer);
// The same for some rows only, in the order given: the card of row rows[i]
// of `list` carries the UID uids[i] (the two spans are of one size).  The
// window chooses the rows and the UIDs (ExportUids of the whole list), so
// that an export of a few rows gives them the UIDs they would have in an
// export of all.
int ExportVCardRows(const IAddressList& list, std::span<const int> rows,
                    std::span<const std::string> uids, vcard::Version version,
                    fileio::AtomicFileWriter& writer);
// The same into the file at `path`, replaced only once complete.  The number
// of cards, or -1 with `errorText` set.
int ExportVCardFile(const IAddressList& list, vcard::Version version, const std::string& path,
                    std::string* errorText = nullptr);

}  // namespace addressbook
