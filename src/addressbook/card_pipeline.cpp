#include "addressbook/card_pipeline.h"

#include <utility>

namespace addressbook {

namespace {

// Cards per batch: enough that the lock is taken rarely, few enough that
// both threads start working at once.
constexpr std::size_t kBatchCards = 256;
// Batches waiting for the mapper before the reader waits.
constexpr std::size_t kWaitingBatches = 4;

}  // namespace

CCardPipeline::CCardPipeline(std::vector<std::unique_ptr<CAddressEntry>>& entries,
                             vcard::KeptTally& kept)
    : m_entries(entries), m_kept(kept), m_mapper([this] { MapCards(); }) {
    m_filling.reserve(kBatchCards);
}

CCardPipeline::~CCardPipeline() {
    if (m_mapper.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bDone = true;
        }
        m_changed.notify_all();
        m_mapper.join();
    }
}

void CCardPipeline::Add(vcard::Card& card) {
    m_filling.push_back(std::move(card));
    if (m_filling.size() < kBatchCards) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.size() < kWaitingBatches || m_failure; });
    if (m_failure) {
        m_filling.clear();  // Finish reports the failure; nothing maps any more
        return;
    }
    m_waiting.push_back(std::move(m_filling));
    std::vector<std::vector<vcard::Card>> mapped = std::move(m_mapped);
    m_mapped = {};
    lock.unlock();
    m_changed.notify_all();
    m_filling = {};
    m_filling.reserve(kBatchCards);
    mapped.clear();
}

void CCardPipeline::Finish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_filling.empty()) {
            m_waiting.push_back(std::move(m_filling));
            m_filling = {};
        }
        m_bDone = true;
    }
    m_changed.notify_all();
    m_mapper.join();
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

void CCardPipeline::MapCards() {
    std::vector<vcard::Card> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!batch.empty()) {
                m_mapped.push_back(std::move(batch));
                batch = {};
            }
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_bDone; });
            if (m_waiting.empty()) {
                return;
            }
            batch = std::move(m_waiting.front());
            m_waiting.erase(m_waiting.begin());
        }
        m_changed.notify_all();
        try {
            for (const vcard::Card& card : batch) {
                m_entries.push_back(
                    std::make_unique<CAddressEntry>(vcard::EntryFromCard(card, m_kept)));
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = std::current_exception();
            m_waiting.clear();
            m_changed.notify_all();
            return;
        }
    }
}

}  // namespace addressbook
