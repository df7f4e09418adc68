#include "addressbook/vcard_export.h"

#include <vector>

#include "addressbook/entry_identity.h"

namespace addressbook {

namespace {

void AppendCard(std::string& out, const CAddressEntry& entry, vcard::Version version,
                std::string_view uid, std::vector<std::string>& lines) {
    lines.clear();
    vcard::CardLines(entry, version, uid, lines);
    for (const std::string& line : lines) {
        vcard::AppendFolded(out, line);
    }
}

}  // namespace

std::string VCardText(const CAddressEntry& entry, vcard::Version version, std::string_view uid) {
    std::string out;
    std::vector<std::string> lines;
    AppendCard(out, entry, version, uid, lines);
    return out;
}

int ExportVCardToWriter(const IAddressList& list, vcard::Version version,
                        fileio::AtomicFileWriter& writer) {
    const std::vector<std::string> uids = ExportUids(list);
    std::string card;
    std::vector<std::string> lines;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        card.clear();
        AppendCard(card, list.EntryAt(row), version, uids[static_cast<std::size_t>(row)], lines);
        if (!writer.Write(card)) {
            return -1;
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
