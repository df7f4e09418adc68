// Writes the benchmark books: for each size N, book-N.qxd (address book
// file), book-N.csv and book-N.tdf (delimited exports of all 32 fields, header
// line first) and book-N.abook (the same contacts in abook's own format).
//
//   quillbox_generate_books [--out DIR] [--seed S] [N ...]
//
// Without sizes it writes 1000, 10000 and 100000.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/book_generator.h"

#ifndef QUILLBOX_BENCH_DATA_DIR
#define QUILLBOX_BENCH_DATA_DIR "bench/data"
#endif

namespace {

bool ParseCount(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-') {
        return false;
    }
    value = parsed;
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: quillbox_generate_books [--out DIR] [--seed S] [N ...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = QUILLBOX_BENCH_DATA_DIR;
    std::uint64_t seed = bench::kDefaultSeed;
    std::vector<std::uint64_t> counts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            folder = argv[++i];
        } else if (arg == "--seed" && i + 1 < argc) {
            if (!ParseCount(argv[++i], seed)) {
                return Usage();
            }
        } else if (arg == "-h" || arg == "--help") {
            Usage();
            return 0;
        } else {
            std::uint64_t count = 0;
            if (!ParseCount(argv[i], count) || count == 0) {
                return Usage();
            }
            counts.push_back(count);
        }
    }
    if (counts.empty()) {
        counts = {1000, 10000, 100000};
    }

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    for (std::uint64_t count : counts) {
        bench::BookSizes sizes;
        std::string error;
        if (!bench::WriteBookFiles(folder, count, seed, sizes, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        const bench::BookPaths paths = bench::PathsFor(folder, count);
        std::printf("%s: %llu contacts, %.1f of 32 fields filled on average\n", paths.book.c_str(),
                    static_cast<unsigned long long>(count),
                    static_cast<double>(sizes.filledFields) / static_cast<double>(count));
        std::printf("  qxd %llu bytes, csv %llu, tdf %llu, abook %llu\n",
                    static_cast<unsigned long long>(sizes.book),
                    static_cast<unsigned long long>(sizes.csv),
                    static_cast<unsigned long long>(sizes.tdf),
                    static_cast<unsigned long long>(sizes.abook));
    }
    return 0;
}
