// Turns cards into entries on a second thread while the reader goes on
// reading, so that reading a vCard file and mapping its cards share the
// machine's cores.  The cards are mapped one at a time in the order they were
// read, and the entries come out in that order, exactly as a loop would make
// them.
#pragma once

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_reader.h"

namespace addressbook {

class CCardPipeline {
public:
    // Entries go to the end of `entries`; what was kept as extra data is
    // counted in `kept`.  Neither may be touched until Finish returns.
    CCardPipeline(std::vector<std::unique_ptr<CAddressEntry>>& entries, vcard::KeptTally& kept);
    // Waits for the cards handed over so far (Finish, when not called).
    ~CCardPipeline();
    CCardPipeline(const CCardPipeline&) = delete;
    CCardPipeline& operator=(const CCardPipeline&) = delete;

    // Takes the card's properties.  Waits while the mapping is far behind, so
    // that memory holds a bounded number of cards besides the entries.
    void Add(vcard::Card& card);
    // Maps what is left and waits for it; rethrows what the mapping threw.
    void Finish();

private:
    void MapCards();

    std::vector<std::unique_ptr<CAddressEntry>>& m_entries;
    vcard::KeptTally& m_kept;
    std::vector<vcard::Card> m_filling;  // the reader's batch

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::vector<vcard::Card>> m_waiting;  // batches for the mapper
    // Batches mapped, freed by the reader: memory goes back to the allocator
    // arena of the thread that took it, which the reader's next cards reuse.
    std::vector<std::vector<vcard::Card>> m_mapped;
    bool m_bDone = false;
    std::exception_ptr m_failure;
    std::thread m_mapper;
};

}  // namespace addressbook
