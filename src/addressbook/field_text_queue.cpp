#include "addressbook/field_text_queue.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace addressbook {

namespace {

// Bytes of text per batch: enough that the lock is taken rarely, few enough
// that both threads start working at once and a batch stays in the cache.
constexpr std::size_t kBatchBytes = std::size_t{1} << 17;
// Batches waiting for the taking thread before the giving thread waits.
constexpr std::size_t kWaitingBatches = 4;

}  // namespace

void CFieldTextQueue::Add(const FieldTexts& texts) {
    // Room for the whole entry first, then plain copies: this runs for every
    // contact.
    std::size_t total = 0;
    for (std::string_view text : texts) {
        total += text.size();
    }
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        // Refused as an entry refuses it, rather than cut short.
        throw std::length_error("address entry text too long");
    }
    const std::size_t sizesAt = m_filling.sizes.size();
    m_filling.sizes.resize(sizesAt + texts.size());
    std::uint32_t* size = m_filling.sizes.data() + sizesAt;
    const std::size_t bytesAt = m_filling.bytes.size();
    m_filling.bytes.resize(bytesAt + total);
    char* out = m_filling.bytes.data() + bytesAt;
    for (std::string_view text : texts) {
        *size++ = static_cast<std::uint32_t>(text.size());
        if (!text.empty()) {
            std::memcpy(out, text.data(), text.size());
            out += text.size();
        }
    }
    if (m_filling.bytes.size() < kBatchBytes) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.size() < kWaitingBatches || m_bGivenUp; });
    Hand(lock);
}

// Queues the filling batch (or drops it when the taker has given up) and
// takes a spare one to fill next.
void CFieldTextQueue::Hand(std::unique_lock<std::mutex>& lock) {
    if (m_bGivenUp) {
        m_filling.sizes.clear();
        m_filling.bytes.clear();
        return;
    }
    m_waiting.push_back(std::move(m_filling));
    m_filling = Batch();
    if (!m_spare.empty()) {
        m_filling = std::move(m_spare.back());
        m_spare.pop_back();
    }
    lock.unlock();
    m_changed.notify_all();
}

void CFieldTextQueue::Close() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bClosed = true;
    Hand(lock);
    m_changed.notify_all();
}

bool CFieldTextQueue::Next(FieldTexts& texts) {
    constexpr auto kCount = static_cast<std::size_t>(kFieldCount);
    while (m_nTakenSizes == m_taking.sizes.size()) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_taking.sizes.empty()) {
                m_taking.sizes.clear();
                m_taking.bytes.clear();
                m_spare.push_back(std::move(m_taking));
                m_taking = Batch();
            }
            m_nTakenSizes = 0;
            m_nTakenBytes = 0;
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_bClosed; });
            if (m_waiting.empty()) {
                return false;
            }
            m_taking = std::move(m_waiting.front());
            m_waiting.erase(m_waiting.begin());
        }
        m_changed.notify_all();
    }
    const char* text = m_taking.bytes.data() + m_nTakenBytes;
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::uint32_t size = m_taking.sizes[m_nTakenSizes + i];
        texts[i] = std::string_view(text, size);
        text += size;
        m_nTakenBytes += size;
    }
    m_nTakenSizes += kCount;
    return true;
}

void CFieldTextQueue::GiveUp() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bGivenUp = true;
        m_waiting.clear();
    }
    m_changed.notify_all();
}

}  // namespace addressbook
