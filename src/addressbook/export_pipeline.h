// Runs a DelimitedExporter on a second thread while the caller goes on
// reading, so that reading a book and writing its lines share the machine's
// cores.  The texts handed to Add are copied into batches; the lines come
// out in the order of the calls, exactly as the exporter alone writes them.
#pragma once

#include <thread>

#include "addressbook/delimited_export.h"
#include "addressbook/field_text_queue.h"

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
    void Add(const FieldTexts& texts) { m_queue.Add(texts); }
    // Writes what is left and waits for it; then the exporter's Finish.
    int Finish();

private:
    void Join();

    DelimitedExporter& m_exporter;
    CFieldTextQueue m_queue;
    std::thread m_writer;
};

}  // namespace addressbook
