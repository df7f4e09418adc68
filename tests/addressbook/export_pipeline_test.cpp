// The export through a second thread writes exactly what the exporter alone
// writes, across many batches, and stops as it does when the sink fails.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "addressbook/delimited_export.h"
#include "addressbook/export_pipeline.h"
#include "support/book_generator.h"

namespace addressbook {
namespace {

ColumnMapping AllColumns() {
    ColumnMapping columns{};
    for (int i = 0; i < kFieldCount; ++i) {
        columns[static_cast<std::size_t>(i)] = i + 1;
    }
    return columns;
}

// Exports `count` generated contacts, through the pipeline or not, into
// `out`; the sink refuses block `failAt` (counted from 1; 0: none).
int Export(bool pipelined, int count, int failAt, std::string& out) {
    out.clear();
    int blocks = 0;
    DelimitedExporter exporter(AllColumns(), ',', [&](std::string_view bytes) {
        if (++blocks == failAt) {
            return false;
        }
        out.append(bytes);
        return true;
    });
    std::optional<CExportPipeline> pipeline;
    if (pipelined) {
        pipeline.emplace(exporter);
    }
    for (int i = 0; i < count; ++i) {
        const bench::Contact contact = bench::MakeContact(3, static_cast<std::uint64_t>(i));
        std::array<std::string_view, kFieldCount> texts;
        for (std::size_t k = 0; k < texts.size(); ++k) {
            texts[k] = contact[k];
        }
        if (pipeline) {
            pipeline->Add(texts);
        } else {
            exporter.Add(texts);
        }
    }
    return pipeline ? pipeline->Finish() : exporter.Finish();
}

TEST(ExportPipeline, WritesWhatTheExporterAloneWrites) {
    // 20,000 contacts make about 30 batches and 15 blocks.
    for (const auto& [count, failAt] : {std::pair{0, 0}, {1, 0}, {20000, 0}, {20000, 3}}) {
        SCOPED_TRACE(std::to_string(count) + " contacts, failing block " + std::to_string(failAt));
        std::string expected, written;
        const int lines = Export(false, count, failAt, expected);
        EXPECT_EQ(lines, failAt == 0 ? count + 1 : kExportWriteFailed);
        EXPECT_EQ(Export(true, count, failAt, written), lines);
        EXPECT_TRUE(written == expected);
    }
}

}  // namespace
}  // namespace addressbook
