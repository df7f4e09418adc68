#include "clausedb/clause_file_parts.h"

#include <memory>

#include "fileio/file_reading.h"

namespace clausedb {
namespace {

// How far after an even share a part's start is looked for.
constexpr std::size_t kSearchBytes = std::size_t{1} << 16;

}  // namespace

std::size_t FindPartStart(std::string_view bytes) {
    for (std::size_t at = bytes.find(")."); at != std::string_view::npos;
         at = bytes.find(").", at + 1)) {
        std::size_t next = at + 2;
        if (next < bytes.size() && bytes[next] == '\r') {
            ++next;
        }
        if (next < bytes.size() && bytes[next] == '\n') {
            return next + 1;
        }
    }
    return std::string_view::npos;
}

std::vector<FilePart> SplitClauseFile(int fd, std::uint64_t begin, std::uint64_t end,
                                      std::size_t count) {
    std::vector<FilePart> parts;
    parts.push_back(FilePart{fd, begin, end, 1});
    if (end <= begin || count < 2) {
        return parts;
    }
    std::unique_ptr<char[]> window(new char[kSearchBytes]);
    const std::uint64_t size = end - begin;
    for (std::size_t i = 1; i < count; ++i) {
        const std::uint64_t share = begin + size * i / count;
        const ssize_t n = fileio::ReadSomeAt(fd, window.get(), kSearchBytes, share);
        if (n <= 0) {
            break;
        }
        const std::size_t start =
            FindPartStart(std::string_view(window.get(), static_cast<std::size_t>(n)));
        if (start == std::string_view::npos || share + start >= end ||
            share + start <= parts.back().begin) {
            continue;
        }
        parts.back().end = share + start;
        parts.push_back(FilePart{fd, share + start, end, 1});
    }
    return parts;
}

}  // namespace clausedb
