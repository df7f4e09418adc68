#include "addressbook/export_pipeline.h"

namespace addressbook {

CExportPipeline::CExportPipeline(DelimitedExporter& exporter)
    : m_exporter(exporter), m_writer([this] {
          FieldTexts texts;
          while (m_queue.Next(texts)) {
              m_exporter.Add(texts);
          }
      }) {}

CExportPipeline::~CExportPipeline() {
    Join();
}

void CExportPipeline::Join() {
    if (m_writer.joinable()) {
        m_queue.Close();
        m_writer.join();
    }
}

int CExportPipeline::Finish() {
    Join();
    return m_exporter.Finish();
}

}  // namespace addressbook
