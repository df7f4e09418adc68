#include "clausedb/wx_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace clausedb {
namespace {

// Counts its own destruction, to see when a list deletes its data.
class Tracked : public CObject {
public:
    explicit Tracked(int* deaths) : m_pDeaths(deaths) {}
    ~Tracked() override { ++*m_pDeaths; }

private:
    int* m_pDeaths;
};

std::vector<long> Keys(const wxList& list) {
    std::vector<long> keys;
    for (wxNode* n = list.First(); n != nullptr; n = n->Next()) {
        keys.push_back(n->IntegerKey());
    }
    return keys;
}

std::vector<long> KeysBackwards(const wxList& list) {
    std::vector<long> keys;
    for (wxNode* n = list.Last(); n != nullptr; n = n->Previous()) {
        keys.insert(keys.begin(), n->IntegerKey());
    }
    return keys;
}

TEST(WxList, DeletingANodeRelinksTheChain) {
    struct Case {
        int size;
        int victim;
        std::vector<long> left;
    };
    const Case cases[] = {
        {1, 0, {}},         // the only node
        {3, 0, {1, 2}},     // first
        {3, 1, {0, 2}},     // middle
        {3, 2, {0, 1}},     // last
        {4, 2, {0, 1, 3}},  // inner
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " nodes, deleting " << c.victim);
        wxList list(wxKEY_INTEGER);
        std::vector<wxNode*> nodes;
        for (int i = 0; i < c.size; ++i) {
            nodes.push_back(list.AddLast(long{i}, nullptr));
        }
        delete nodes[static_cast<std::size_t>(c.victim)];
        EXPECT_EQ(Keys(list), c.left);
        EXPECT_EQ(KeysBackwards(list), c.left);
        EXPECT_EQ(list.Number(), static_cast<int>(c.left.size()));
        EXPECT_EQ(list.CountNodes(), static_cast<int>(c.left.size()));
        EXPECT_EQ(list.First() == nullptr, list.Last() == nullptr);
        if (list.First() != nullptr) {
            EXPECT_EQ(list.First()->Previous(), nullptr);
            EXPECT_EQ(list.Last()->Next(), nullptr);
        }
    }
}

TEST(WxList, AddLastKeepsOrderAndCount) {
    wxList list;
    EXPECT_EQ(list.CountNodes(), 0);
    EXPECT_EQ(list.First(), nullptr);
    int a = 0, b = 0, c = 0;
    list.AddLast(&a);
    list.AddLast(&b);
    wxNode* last = list.AddLast(&c);
    EXPECT_EQ(list.Number(), 3);
    EXPECT_EQ(list.CountNodes(), 3);
    EXPECT_EQ(list.First()->Data(), &a);
    EXPECT_EQ(list.First()->Next()->Data(), &b);
    EXPECT_EQ(list.Last(), last);
    EXPECT_EQ(last->List(), &list);
    list.DeleteAllNodes();
    EXPECT_EQ(list.Number(), 0);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Last(), nullptr);
}

TEST(WxList, DestroyDataDecidesWhetherDataDies) {
    for (bool destroy : {false, true}) {
        int deaths = 0;
        std::vector<Tracked*> objects;
        {
            wxList list;
            list.DeleteContents(destroy);
            for (int i = 0; i < 3; ++i) {
                objects.push_back(new Tracked(&deaths));
                list.AddLast(objects.back());
            }
            delete list.First();
            EXPECT_EQ(deaths, destroy ? 1 : 0);
            list.AddLast(static_cast<void*>(nullptr));  // null data is skipped
        }
        EXPECT_EQ(deaths, destroy ? 3 : 0);
        if (!destroy) {
            for (Tracked* t : objects) {
                delete t;
            }
        }
    }
}

TEST(WxList, KeysAreCopiedAndFreedByTheirNode) {
    std::string key = "Smith";
    wxList strings(wxKEY_STRING);
    wxNode* node = strings.AddLast(key.c_str(), nullptr);
    key[0] = 'X';
    EXPECT_STREQ(node->StringKey(), "Smith");
    EXPECT_STREQ(strings.AddLast(static_cast<const char*>(nullptr), nullptr)->StringKey(), "");

    // An integer key in a string-keyed list is never freed as a pointer.
    strings.AddLast(12345L, nullptr);
    wxList integers(wxKEY_INTEGER);
    EXPECT_STREQ(integers.AddLast("x", nullptr)->StringKey(), "x");
    EXPECT_EQ(integers.AddLast(7L, nullptr)->IntegerKey(), 7);
}

TEST(WxList, FreeNodeLinksItselfAndUnlinksWithoutAList) {
    wxNode* a = new wxNode(nullptr, nullptr, nullptr, nullptr, 1L);
    wxNode* c = new wxNode(nullptr, a, nullptr, nullptr, 3L);
    wxNode* b = new wxNode(nullptr, a, c, nullptr, 2L);
    EXPECT_EQ(a->Next(), b);
    EXPECT_EQ(c->Previous(), b);
    delete b;
    EXPECT_EQ(a->Next(), c);
    EXPECT_EQ(c->Previous(), a);
    delete a;
    delete c;
}

TEST(WxHashTable, HashStringSumsUnsignedBytes) {
    struct Case {
        const char* text;
        long hash;
    };
    const Case cases[] = {
        {"", 0}, {nullptr, 0}, {"A", 65}, {"ab", 97 + 98}, {"\xE9", 233}, {"\xFF\x80", 255 + 128},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wxHashTable::HashString(c.text), c.hash) << (c.text ? c.text : "(null)");
    }
}

TEST(WxHashTable, BucketIsMagnitudeModuloCount) {
    wxHashTable table(7);
    struct Case {
        long hash;
        int bucket;
    };
    const Case cases[] = {{0, 0},  {6, 6},   {7, 0},
                          {-6, 6}, {-15, 1}, {LONG_MIN, 1}};  // 2^63 = 8^21, and 8 mod 7 is 1
    for (const Case& c : cases) {
        EXPECT_EQ(table.BucketIndex(c.hash), c.bucket) << c.hash;
    }
}

TEST(WxHashTable, PutCreatesKeyedBucketsAndEmptyKeepsThem) {
    int deaths = 0;
    Tracked one(&deaths), two(&deaths);
    wxHashTable table(10);
    table.PutByInteger(-13, 13, &one);
    table.PutByString(wxHashTable::HashString("ab"), "ab", &two);  // 195 -> bucket 5
    table.PutByInteger(3, 3, &two);
    ASSERT_NE(table.Bucket(3), nullptr);
    ASSERT_NE(table.Bucket(5), nullptr);
    EXPECT_EQ(table.Bucket(0), nullptr);
    EXPECT_EQ(table.Bucket(3)->KeyKind(), wxKEY_INTEGER);
    EXPECT_EQ(table.Bucket(5)->KeyKind(), wxKEY_STRING);
    EXPECT_EQ(table.Bucket(3)->CountNodes(), 2);
    EXPECT_EQ(table.Bucket(3)->First()->IntegerKey(), 13);
    EXPECT_STREQ(table.Bucket(5)->First()->StringKey(), "ab");
    table.EmptyBuckets();
    ASSERT_NE(table.Bucket(3), nullptr);
    EXPECT_EQ(table.Bucket(3)->CountNodes(), 0);
    EXPECT_EQ(deaths, 0);  // buckets do not own their objects
}

}  // namespace
}  // namespace clausedb
