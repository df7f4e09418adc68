// Runs a DelimitedExporter on a second thread while the caller goes on
// reading, so that reading a book and writing its lines share the machine's
// cores.  The texts handed to Add are copied into batches; the lines come
// out in the order of the calls, exactly as the exporter alone writes them.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "addressbook/delimited_export.h"
#include "addressbook/field_table.h"

namespace addressbook {

class CExportPipeline {
public:
    // `exporter` is used by the second thread only, until Finish returns.
    explicit CExportPipeline(DelimitedExporter& exporter);
    // Waits for the texts handed over so far to reach the exporter.
    ~CExportPipeline();
    CExportPipeline(const CExportPipeline&) = delete;
    CExportPipeline& operator=(const CExportPipeline&) = delete;

    // Takes a copy of one entry's field texts.  Waits while the writing is
    // far behind, so that memory holds a bounded number of batches.
    void Add(const std::array<std::string_view, kFieldCount>& texts);
    // Writes what is left and waits for it; then the exporter's Finish.
    int Finish();

private:
    // The texts of several entries: kFieldCount sizes per entry, and their
    // bytes end to end.
    struct Batch {
        std::vector<std::uint32_t> sizes;
        std::string bytes;
    };

    void WriteBatches();
    void Hand(std::unique_lock<std::mutex>& lock);
    void Join();

    DelimitedExporter& m_exporter;
    Batch m_filling;  // the caller's batch

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Batch> m_waiting;  // batches for the writing thread, oldest first
    std::vector<Batch> m_spare;    // written batches, emptied, for the caller to refill
    bool m_bDone = false;
    std::thread m_writer;
};

}  // namespace addressbook
