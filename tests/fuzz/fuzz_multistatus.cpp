// Feeds arbitrary bytes to the reader of the server's multistatus answers
// and checks:
// - reading never fails silently: a refused answer says why, and an answer
//   cut off is only ever one that was refused;
// - reading the same bytes twice gives the same result;
// - every status read is a real HTTP status or 0;
// - every card it hands out goes through the vCard reader and the content
//   hash of a sync, as the cards of a real answer do.
#include <cstddef>
#include <cstdint>

#include "booksync/card_hash.h"
#include "carddav/dav_xml.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    carddav::Multistatus first;
    QString error;
    bool cutOff = false;
    const bool read = carddav::ParseMultistatus(body, first, error, &cutOff);
    Check(read == error.isEmpty());
    Check(!(read && cutOff));

    carddav::Multistatus second;
    QString secondError;
    Check(carddav::ParseMultistatus(body, second, secondError) == read);
    Check(secondError == error);
    if (!read) {
        return 0;
    }
    Check(first.responses.size() == second.responses.size());
    Check(first.syncToken == second.syncToken);
    for (std::size_t i = 0; i < first.responses.size(); ++i) {
        const carddav::DavResponse& response = first.responses[i];
        Check(response.href == second.responses[i].href);
        Check(response.addressData == second.responses[i].addressData);
        Check(response.status == 0 || (response.status >= 100 && response.status <= 599));
        if (response.hasAddressData) {
            Check(booksync::CardHash(response.addressData.toStdString()).size() == 40);
        }
    }
    return 0;
}
