// Hands the field texts of entries from one thread to another in batches,
// so that making entries and writing them share the machine's cores.  The
// texts are copied; they come out in the order they went in.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/field_table.h"

namespace addressbook {

class CFieldTextQueue {
public:
    CFieldTextQueue() = default;
    CFieldTextQueue(const CFieldTextQueue&) = delete;
    CFieldTextQueue& operator=(const CFieldTextQueue&) = delete;

    // The giving thread: takes a copy of one entry's texts.  Waits while the
    // taking thread is far behind, so that memory holds a bounded number of
    // batches; once it has given up, the texts are dropped.  Throws
    // std::length_error, as CAddressEntry does, for more than 4 GB of text.
    void Add(const FieldTexts& texts);
    // The giving thread: there are no more texts.
    void Close();

    // The taking thread: the next entry's texts, valid until the next call;
    // false once the queue is closed and empty.
    bool Next(FieldTexts& texts);
    // The taking thread: it takes no more; Add drops texts from now on.
    void GiveUp();

private:
    // The texts of several entries: kFieldCount sizes per entry, and their
    // bytes end to end.
    struct Batch {
        std::vector<std::uint32_t> sizes;
        std::string bytes;
    };

    void Hand(std::unique_lock<std::mutex>& lock);

    Batch m_filling;  // the giving thread's batch
    Batch m_taking;   // the taking thread's batch, and where it has got to
    std::size_t m_nTakenSizes = 0;
    std::size_t m_nTakenBytes = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Batch> m_waiting;  // batches for the taking thread, oldest first
    std::vector<Batch> m_spare;    // taken batches, emptied, to refill
    bool m_bClosed = false;
    bool m_bGivenUp = false;
};

}  // namespace addressbook
