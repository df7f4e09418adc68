// The container layer of the clause database: a root class with a run-time
// class record, a doubly linked list of nodes, and a hash table whose buckets
// are lists.  Only what the clause database needs is here: appending, deleting
// every node, counting, and filing objects in hash buckets.
#pragma once

#include <cstdint>

namespace clausedb {

// Run-time class record: the class name and the record of the base class.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

// Root of the container classes and of the objects a list can own.  Deleting
// a list's data deletes it through this class's virtual destructor.
class CObject {
public:
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass classCObject;
};

// Key kind of a list, fixed at construction.
enum : int {
    wxKEY_NONE = 0,
    wxKEY_INTEGER = 1,
    wxKEY_STRING = 2,
};

class wxList;

class wxNode : public CObject {
public:
    // Stores the fields and links itself between `previous` and `next`
    // (either may be null).  A string key is copied; the node frees its copy.
    wxNode(wxList* list, wxNode* previous, wxNode* next, void* data);
    wxNode(wxList* list, wxNode* previous, wxNode* next, void* data, long key);
    wxNode(wxList* list, wxNode* previous, wxNode* next, void* data, const char* key);
    // Unlinks the node from its list (see wx_list.cpp for the steps).
    ~wxNode() override;
    wxNode(const wxNode&) = delete;
    wxNode& operator=(const wxNode&) = delete;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classwxNode;

    wxNode* Next() const { return m_pNext; }
    wxNode* Previous() const { return m_pPrevious; }
    void* Data() const { return m_pData; }
    wxList* List() const { return m_pList; }
    // Null when the node has no string key.
    const char* StringKey() const { return m_bStringKey ? m_key.string : nullptr; }
    long IntegerKey() const { return m_bStringKey ? 0 : m_key.integer; }

private:
    void* m_pData;
    wxNode* m_pNext;
    wxNode* m_pPrevious;
    wxList* m_pList;
    union {
        long integer;
        char* string;
    } m_key;
    // Whether m_key holds an owned string copy.  Kept per node, so that a
    // node never frees an integer key as a pointer, whatever list holds it.
    bool m_bStringKey = false;

    friend class wxList;
};

class wxList : public CObject {
public:
    explicit wxList(int keyKind = wxKEY_NONE);
    // Deletes every node from first to last.
    ~wxList() override;
    wxList(const wxList&) = delete;
    wxList& operator=(const wxList&) = delete;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classwxList;

    // Append a new node after the last one; constant time.
    wxNode* AddLast(void* data);
    wxNode* AddLast(long key, void* data);
    wxNode* AddLast(const char* key, void* data);

    // Deletes every node from first to last; the list is then empty.
    void DeleteAllNodes();
    // Walks the chain and counts its nodes.
    int CountNodes() const;

    // When set, deleting a node also deletes its data as a CObject.
    void DeleteContents(bool destroy) { m_bDestroyData = destroy; }
    bool DestroysData() const { return m_bDestroyData; }

    wxNode* First() const { return m_pFirst; }
    wxNode* Last() const { return m_pLast; }
    // The count field, kept by AddLast and node deletion.
    int Number() const { return m_nCount; }
    int KeyKind() const { return m_nKeyKind; }

private:
    wxNode* Link(wxNode* node);

    int m_nCount = 0;
    bool m_bDestroyData = false;
    wxNode* m_pFirst = nullptr;
    wxNode* m_pLast = nullptr;
    int m_nKeyKind;

    friend class wxNode;
};

// A list of texts; registered as its own run-time class and otherwise a list.
class wxStringList : public wxList {
public:
    wxStringList() : wxList(wxKEY_NONE) {}

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classwxStringList;
};

class wxHashTable : public CObject {
public:
    // `buckets` is the bucket count n (at least 1).
    explicit wxHashTable(int buckets = 1000);
    ~wxHashTable() override;
    wxHashTable(const wxHashTable&) = delete;
    wxHashTable& operator=(const wxHashTable&) = delete;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classwxHashTable;

    // Files `object` in bucket |hash| mod n under the key, creating the
    // bucket's list (integer or string keyed) on first use.
    void PutByInteger(long hash, long key, CObject* object);
    void PutByString(long hash, const char* key, CObject* object);
    // Deletes the nodes of every existing bucket; the buckets stay.
    void EmptyBuckets();

    int BucketCount() const { return m_nBuckets; }
    // The bucket list, or null while nothing was filed in it.
    wxList* Bucket(int index) const { return m_ppBuckets[index]; }
    int BucketIndex(long hash) const;

    // Sum of the text's bytes as unsigned values; 0 for the empty text.
    static long HashString(const char* text);

private:
    wxList* BucketFor(long hash, int keyKind);

    int m_nBuckets;
    wxList** m_ppBuckets;
};

// A new heap copy (new[]) of a zero-terminated text; null is copied as "".
char* CopyText(const char* text);

}  // namespace clausedb
