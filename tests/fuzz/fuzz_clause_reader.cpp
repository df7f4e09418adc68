// Feeds arbitrary bytes to the clause reader, writes what was read and reads
// it back.  Also reads the same bytes as a file through a tiny buffer and
// checks that the result matches reading them from memory.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "clausedb/clause_reader.h"
#include "clausedb/expr_database.h"
#include "fileio/text_encoding.h"

namespace {

std::string Written(const clausedb::CExprDatabase& db) {
    std::string text;
    db.WriteToString(text);
    return text;
}

// CR LF taken as LF, as the file reader does.
std::string WithoutCrLf(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
            text += bytes[i];
        }
    }
    return text;
}

void CheckFileRead(std::string_view input, const std::string& expected, int expectedErrors) {
    int fd = memfd_create("clause-fuzz", 0);
    if (fd < 0) {
        return;
    }
    if (write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size())) {
        clausedb::SetStreamBufferSizeForTesting(1 + input.size() % 7);
        clausedb::CExprDatabase db;
        db.ReadFile("/proc/self/fd/" + std::to_string(fd));
        clausedb::SetStreamBufferSizeForTesting(0);
        if (Written(db) != expected || db.ErrorCount() != expectedErrors) {
            __builtin_trap();
        }
    }
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    clausedb::CExprDatabase db;
    db.ReadText(input);
    std::string first = Written(db);

    // Some terms do not read back (a word holding a quote, a clause without
    // a word in front); when the text does read back, one more round must
    // give the same text (reals settle after their first rounding).
    clausedb::CExprDatabase back;
    if (back.ReadText(first)) {
        std::string second = Written(back);
        clausedb::CExprDatabase again;
        if (!again.ReadText(second) || Written(again) != second) {
            __builtin_trap();
        }
    }

    // Plain UTF-8 is read from a file the same as from memory.
    bool bom = input.size() >= 3 && input.substr(0, 3) == "\xEF\xBB\xBF";
    if (!bom && quillbox::IsValidUtf8(input)) {
        std::string text = WithoutCrLf(input);
        clausedb::CExprDatabase reference;
        reference.ReadText(text);
        CheckFileRead(input, Written(reference), reference.ErrorCount());
    }
    return 0;
}
