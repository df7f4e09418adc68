#include "addressbook/vcard_export.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "addressbook/entry_identity.h"

namespace addressbook {

namespace {

void AppendCard(std::string& out, const CAddressEntry& entry, vcard::Version version,
                std::string_view uid) {
    vcard::ForEachCardLine(entry, version, uid,
                           [&out](std::string_view line) { vcard::AppendFolded(out, line); });
}

}  // namespace

std::string VCardText(const CAddressEntry& entry, vcard::Version version, std::string_view uid) {
    std::string out;
    AppendCard(out, entry, version, uid);
    return out;
}

int ExportVCardToWriter(const IAddressList& list, vcard::Version version,
                        fileio::AtomicFileWriter& writer) {
    std::vector<int> rows(static_cast<std::size_t>(list.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return ExportVCardRows(list, rows, ExportUids(list), version, writer);
}

int ExportVCardRows(const IAddressList& list, std::span<const int> rows,
                    std::span<const std::string> uids, vcard::Version version,
                    fileio::AtomicFileWriter& writer) {
    std::string cards;
    const std::size_t count = std::min(rows.size(), uids.size());
    for (std::size_t i = 0; i < count; ++i) {
        AppendCard(cards, list.EntryAt(rows[i]), version, uids[i]);
        if (cards.size() >= (std::size_t{1} << 16) || i + 1 == count) {
            if (!writer.Write(cards)) {
                return -1;
            }
            cards.clear();
        }
    }
    return static_cast<int>(count);
}

int ExportVCardFile(const IAddressList& list, vcard::Version version, const std::string& path,
                    std::string* errorText) {
    fileio::AtomicFileWriter writer;
    int count = -1;
    if (writer.Open(path)) {
        count = ExportVCardToWriter(list, version, writer);
    }
    if (count < 0 || !writer.Commit()) {
        if (errorText != nullptr) {
            *errorText = writer.ErrorText();
        }
        return -1;
    }
    return count;
}

}  // namespace addressbook
