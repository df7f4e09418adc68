#include "addressbook/export_pipeline.h"

#include <cstring>
#include <utility>

namespace addressbook {

namespace {

// Bytes of text per batch: enough that the lock is taken rarely, few enough
// that both threads start working at once and a batch stays in the cache.
constexpr std::size_t kBatchBytes = std::size_t{1} << 17;
// Batches waiting for the writing thread before the caller waits.
constexpr std::size_t kWaitingBatches = 4;

}  // namespace

CExportPipeline::CExportPipeline(DelimitedExporter& exporter)
    : m_exporter(exporter), m_writer([this] { WriteBatches(); }) {}

CExportPipeline::~CExportPipeline() {
    Join();
}

void CExportPipeline::Add(const std::array<std::string_view, kFieldCount>& texts) {
    // Room for the whole entry first, then plain copies: this runs on the
    // reading thread, for every contact.
    std::size_t total = 0;
    for (std::string_view text : texts) {
        total += text.size();
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
    m_changed.wait(lock, [this] { return m_waiting.size() < kWaitingBatches; });
    Hand(lock);
}

// Queues the filling batch and takes a spare one to fill next.
void CExportPipeline::Hand(std::unique_lock<std::mutex>& lock) {
    m_waiting.push_back(std::move(m_filling));
    m_filling = Batch();
    if (!m_spare.empty()) {
        m_filling = std::move(m_spare.back());
        m_spare.pop_back();
    }
    lock.unlock();
    m_changed.notify_all();
}

void CExportPipeline::Join() {
    if (m_writer.joinable()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_bDone = true;
        Hand(lock);
        m_writer.join();
    }
}

int CExportPipeline::Finish() {
    Join();
    return m_exporter.Finish();
}

void CExportPipeline::WriteBatches() {
    Batch batch;
    std::array<std::string_view, kFieldCount> texts;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!batch.sizes.empty()) {
                batch.sizes.clear();
                batch.bytes.clear();
                m_spare.push_back(std::move(batch));
                batch = Batch();
            }
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_bDone; });
            if (m_waiting.empty()) {
                return;
            }
            batch = std::move(m_waiting.front());
            m_waiting.erase(m_waiting.begin());
        }
        m_changed.notify_all();
        const char* text = batch.bytes.data();
        constexpr auto kCount = static_cast<std::size_t>(kFieldCount);
        for (std::size_t at = 0; at < batch.sizes.size(); at += kCount) {
            for (std::size_t i = 0; i < kCount; ++i) {
                texts[i] = std::string_view(text, batch.sizes[at + i]);
                text += batch.sizes[at + i];
            }
            m_exporter.Add(texts);
        }
    }
}

}  // namespace addressbook
