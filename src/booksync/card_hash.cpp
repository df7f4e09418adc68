#include "booksync/card_hash.h"

#include <algorithm>
#include <vector>

#include "addressbook/sha1.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_reader.h"

namespace booksync {

namespace vcard = addressbook::vcard;

std::string CardHash(std::string_view cardText) {
    std::vector<std::string> lines;
    bool first = true;
    vcard::CVCardReader reader;
    reader.ReadBytes(cardText, [&](vcard::Card& card) {
        if (!first) {
            return;
        }
        first = false;
        for (const vcard::Property& property : card.properties) {
            if (!property.Is("VERSION") && !property.Is("PRODID")) {
                lines.push_back(vcard::CanonicalPropertyText(property));
            }
        }
    });
    std::sort(lines.begin(), lines.end());
    addressbook::Sha1 sha;
    for (const std::string& line : lines) {
        sha.Update(line);
        sha.Update("\n");
    }
    return addressbook::HexDigest(sha.Final());
}

std::string EntryCardText(const addressbook::CAddressEntry& entry, std::string_view uid) {
    return addressbook::VCardText(entry, vcard::Version::V30, uid);
}

std::string EntryHash(const addressbook::CAddressEntry& entry, std::string_view uid) {
    return CardHash(EntryCardText(entry, uid));
}

}  // namespace booksync
