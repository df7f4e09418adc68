#include "clausedb/wx_list.h"

#include <cstring>

namespace clausedb {

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* cls = this; cls != nullptr; cls = cls->m_pBaseClass) {
        if (cls == base) {
            return true;
        }
    }
    return false;
}

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass wxNode::classwxNode = {"wxNode", &CObject::classCObject};
const CRuntimeClass wxList::classwxList = {"wxList", &CObject::classCObject};
const CRuntimeClass wxStringList::classwxStringList = {"wxStringList", &wxList::classwxList};
const CRuntimeClass wxHashTable::classwxHashTable = {"wxHashTable", &CObject::classCObject};

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}
const CRuntimeClass* wxNode::GetRuntimeClass() const {
    return &classwxNode;
}
const CRuntimeClass* wxList::GetRuntimeClass() const {
    return &classwxList;
}
const CRuntimeClass* wxStringList::GetRuntimeClass() const {
    return &classwxStringList;
}
const CRuntimeClass* wxHashTable::GetRuntimeClass() const {
    return &classwxHashTable;
}

char* CopyText(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    std::size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

// ---------------------------------------------------------------------------
// wxNode

wxNode::wxNode(wxList* list, wxNode* previous, wxNode* next, void* data)
    : m_pData(data), m_pNext(next), m_pPrevious(previous), m_pList(list) {
    m_key.integer = 0;
    if (previous != nullptr) {
        previous->m_pNext = this;
    }
    if (next != nullptr) {
        next->m_pPrevious = this;
    }
}

wxNode::wxNode(wxList* list, wxNode* previous, wxNode* next, void* data, long key)
    : wxNode(list, previous, next, data) {
    m_key.integer = key;
}

wxNode::wxNode(wxList* list, wxNode* previous, wxNode* next, void* data, const char* key)
    : wxNode(list, previous, next, data) {
    m_key.string = CopyText(key);
    m_bStringKey = true;
}

wxNode::~wxNode() {
    // (1) the owning list loses one node;
    if (m_pList != nullptr) {
        --m_pList->m_nCount;
    }
    // (2) the carried object goes with the node when the list owns data;
    if (m_pList != nullptr && m_pList->m_bDestroyData && m_pData != nullptr) {
        delete static_cast<CObject*>(m_pData);
    }
    // (3) the node's copy of a string key is freed;
    if (m_bStringKey) {
        delete[] m_key.string;
    }
    // (4) the next node (or the list's last) skips back over this node;
    if (m_pNext != nullptr) {
        m_pNext->m_pPrevious = m_pPrevious;
    } else if (m_pList != nullptr) {
        m_pList->m_pLast = m_pPrevious;
    }
    // (5) the previous node (or the list's first) skips forward over it.
    if (m_pPrevious != nullptr) {
        m_pPrevious->m_pNext = m_pNext;
    } else if (m_pList != nullptr) {
        m_pList->m_pFirst = m_pNext;
    }
}

// ---------------------------------------------------------------------------
// wxList

wxList::wxList(int keyKind) : m_nKeyKind(keyKind) {}

wxList::~wxList() {
    while (m_pFirst != nullptr) {
        delete m_pFirst;
    }
}

wxNode* wxList::Link(wxNode* node) {
    if (m_pFirst == nullptr) {
        m_pFirst = node;
    }
    m_pLast = node;
    ++m_nCount;
    return node;
}

wxNode* wxList::AddLast(void* data) {
    return Link(new wxNode(this, m_pLast, nullptr, data));
}

wxNode* wxList::AddLast(long key, void* data) {
    return Link(new wxNode(this, m_pLast, nullptr, data, key));
}

wxNode* wxList::AddLast(const char* key, void* data) {
    return Link(new wxNode(this, m_pLast, nullptr, data, key));
}

void wxList::DeleteAllNodes() {
    while (m_pFirst != nullptr) {
        delete m_pFirst;
    }
    m_pFirst = nullptr;
    m_pLast = nullptr;
    m_nCount = 0;
}

int wxList::CountNodes() const {
    int count = 0;
    for (wxNode* node = m_pFirst; node != nullptr; node = node->m_pNext) {
        ++count;
    }
    return count;
}

// ---------------------------------------------------------------------------
// wxHashTable

wxHashTable::wxHashTable(int buckets) : m_nBuckets(buckets < 1 ? 1 : buckets) {
    m_ppBuckets = new wxList*[static_cast<std::size_t>(m_nBuckets)]();
}

wxHashTable::~wxHashTable() {
    for (int i = 0; i < m_nBuckets; ++i) {
        delete m_ppBuckets[i];
    }
    delete[] m_ppBuckets;
}

long wxHashTable::HashString(const char* text) {
    long sum = 0;
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        sum += static_cast<unsigned char>(*p);
    }
    return sum;
}

int wxHashTable::BucketIndex(long hash) const {
    // The magnitude is taken in unsigned arithmetic so that the most negative
    // value has one too.
    unsigned long magnitude =
        hash < 0 ? 0UL - static_cast<unsigned long>(hash) : static_cast<unsigned long>(hash);
    return static_cast<int>(magnitude % static_cast<unsigned long>(m_nBuckets));
}

wxList* wxHashTable::BucketFor(long hash, int keyKind) {
    wxList*& bucket = m_ppBuckets[BucketIndex(hash)];
    if (bucket == nullptr) {
        bucket = new wxList(keyKind);
    }
    return bucket;
}

void wxHashTable::PutByInteger(long hash, long key, CObject* object) {
    BucketFor(hash, wxKEY_INTEGER)->AddLast(key, object);
}

void wxHashTable::PutByString(long hash, const char* key, CObject* object) {
    BucketFor(hash, wxKEY_STRING)->AddLast(key, object);
}

void wxHashTable::EmptyBuckets() {
    for (int i = 0; i < m_nBuckets; ++i) {
        if (m_ppBuckets[i] != nullptr) {
            m_ppBuckets[i]->DeleteAllNodes();
        }
    }
}

}  // namespace clausedb
