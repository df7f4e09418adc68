// Finding and merging duplicates over generated books in which 5% of the
// entries are near copies of earlier ones (swapped names, capitals, a
// country code before the phone numbers, fields left out).  Besides the
// planted copies the sample names repeat, so a large book also holds many
// namesakes and shared company addresses, which the finder groups as well.
//
//   quillbox_duplicate_bench [--benchmark_filter=REGEX] [...]
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "addressbook/duplicate_finder.h"
#include "addressbook/duplicate_merge.h"
#include "addressbook/vector_address_list.h"
#include "support/duplicate_books.h"

namespace {

constexpr int kDoublesPerMille = 50;

// The book of `count` entries, made once per size.
const addressbook::VectorAddressList& Book(int count) {
    static std::map<int, std::unique_ptr<addressbook::VectorAddressList>> cache;
    auto& list = cache[count];
    if (!list) {
        list = std::make_unique<addressbook::VectorAddressList>();
        const bench::BookWithDoubles book = bench::MakeBookWithDoubles(
            static_cast<std::uint64_t>(count), bench::kDefaultSeed, kDoublesPerMille);
        for (const bench::Contact& contact : book.contacts) {
            auto entry = std::make_unique<addressbook::CAddressEntry>();
            for (int field = 0; field < addressbook::kFieldCount; ++field) {
                entry->SetField(field, contact[static_cast<std::size_t>(field)]);
            }
            list->AppendEntry(std::move(entry));
        }
    }
    return *list;
}

void BM_FindDuplicates(benchmark::State& state) {
    const addressbook::VectorAddressList& list = Book(static_cast<int>(state.range(0)));
    std::size_t groups = 0;
    std::size_t grouped = 0;
    std::size_t largest = 0;
    for (auto _ : state) {
        const std::vector<addressbook::DuplicateGroup> found = addressbook::FindDuplicates(list);
        groups = found.size();
        grouped = 0;
        largest = 0;
        for (const addressbook::DuplicateGroup& group : found) {
            grouped += group.rows.size();
            largest = std::max(largest, group.rows.size());
        }
        benchmark::DoNotOptimize(found.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["groups"] = static_cast<double>(groups);
    state.counters["grouped"] = static_cast<double>(grouped);
    state.counters["largest"] = static_cast<double>(largest);
}
BENCHMARK(BM_FindDuplicates)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Merge All: the default merge of every group, as the dialog does it.
void BM_MergeAllGroups(benchmark::State& state) {
    const addressbook::VectorAddressList& list = Book(static_cast<int>(state.range(0)));
    const std::vector<addressbook::DuplicateGroup> found = addressbook::FindDuplicates(list);
    for (auto _ : state) {
        for (const addressbook::DuplicateGroup& group : found) {
            std::vector<const addressbook::CAddressEntry*> entries;
            for (const int row : group.rows) {
                entries.push_back(&list.EntryAt(row));
            }
            const addressbook::CAddressEntry merged =
                addressbook::MergeEntries(entries, addressbook::DefaultMerge(entries));
            benchmark::DoNotOptimize(&merged);
        }
    }
    state.counters["groups"] = static_cast<double>(found.size());
}
BENCHMARK(BM_MergeAllGroups)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
