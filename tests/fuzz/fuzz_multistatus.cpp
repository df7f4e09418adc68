// Feeds arbitrary bytes to the reader of the server's multistatus answers
// and checks that a refused answer says why and only a refused one is cut
// off, and that every status read, even from an answer refused half-way, is
// a real HTTP status or 0 and every card goes through a sync's content hash.
#include <cstddef>
#include <cstdint>

#include "booksync/card_hash.h"
#include "carddav/dav_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto check = [](bool condition) {
        if (!condition) {
            __builtin_trap();
        }
    };
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    carddav::Multistatus answer;
    QString error;
    bool cutOff = false;
    const bool read = carddav::ParseMultistatus(body, answer, error, &cutOff);
    check(read == error.isEmpty() && !(read && cutOff));
    for (const carddav::DavResponse& response : answer.responses) {
        check(response.status == 0 || (response.status >= 100 && response.status <= 599));
        check(!response.hasAddressData ||
              booksync::CardHash(response.addressData.toStdString()).size() == 40);
    }
    return 0;
}
