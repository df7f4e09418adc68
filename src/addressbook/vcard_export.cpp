#include "addressbook/vcard_export.h"

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
    const std::vector<std::string> uids = ExportUids(list);
    std::string cards;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        AppendCard(cards, list.EntryAt(row), version, uids[static_cast<std::size_t>(row)]);
        if (cards.size() >= (std::size_t{1} << 16) || row + 1 == rows) {
            if (!writer.Write(cards)) {
                return -1;
            }
            cards.clear();
        }
    }
    return rows;
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
