#pragma once
#include "String.h"

#include <cstdint>
#include <vector>

// The framework's iteration handle; its tag type is ours (a name with two
// leading underscores belongs to the compiler).
struct PositionTag {};
typedef PositionTag* POSITION;

// The framework's string hash: the key's bytes folded as hash * 33 + byte.
inline uint32_t HashKey(const CString& key) {
    uint32_t h = 0;
    for (const char* p = key.GetString(); *p; ++p)
        h = (h << 5) + h + static_cast<unsigned char>(*p);
    return h;
}

// The framework's hash map: a fixed number of buckets, each a chain with the
// most recently inserted node first.  Iteration walks bucket by bucket.
template <typename KEY, typename VALUE> class CMap {
public:
    explicit CMap(unsigned nHashSize = 17) : m_buckets(nHashSize, nullptr) {}
    CMap(const CMap& other) : m_buckets(other.m_buckets.size(), nullptr) { CopyFrom(other); }
    CMap& operator=(const CMap& other) {
        if (this != &other) {
            RemoveAll();
            m_buckets.assign(other.m_buckets.size(), nullptr);
            CopyFrom(other);
        }
        return *this;
    }
    ~CMap() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    bool Lookup(const KEY& key, VALUE& value) const {
        const Assoc* a = Find(key);
        if (!a)
            return false;
        value = a->value;
        return true;
    }

    void SetAt(const KEY& key, const VALUE& value) { (*this)[key] = value; }

    VALUE& operator[](const KEY& key) {
        if (Assoc* a = Find(key))
            return a->value;
        Assoc*& head = m_buckets[Bucket(key)];
        head = new Assoc{head, key, VALUE()};
        ++m_nCount;
        return head->value;
    }

    bool RemoveKey(const KEY& key) {
        for (Assoc** pp = &m_buckets[Bucket(key)]; *pp; pp = &(*pp)->next) {
            if ((*pp)->key == key) {
                Assoc* dead = *pp;
                *pp = dead->next;
                delete dead;
                --m_nCount;
                return true;
            }
        }
        return false;
    }

    void RemoveAll() {
        for (Assoc*& head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                delete head;
                head = next;
            }
        }
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return reinterpret_cast<POSITION>(First(0)); }

    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
        const Assoc* a = reinterpret_cast<const Assoc*>(pos);
        key = a->key;
        value = a->value;
        const Assoc* next = a->next ? a->next : First(Bucket(a->key) + 1);
        pos = reinterpret_cast<POSITION>(const_cast<Assoc*>(next));
    }

private:
    struct Assoc {
        Assoc* next;
        KEY key;
        VALUE value;
    };

    unsigned Bucket(const KEY& key) const {
        return HashKey(key) % static_cast<uint32_t>(m_buckets.size());
    }

    Assoc* Find(const KEY& key) const {
        for (Assoc* a = m_buckets[Bucket(key)]; a; a = a->next)
            if (a->key == key)
                return a;
        return nullptr;
    }

    Assoc* First(unsigned bucket) const {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket])
                return m_buckets[bucket];
        return nullptr;
    }

    // Keeps the other map's order within each bucket.
    void CopyFrom(const CMap& other) {
        for (size_t b = 0; b < other.m_buckets.size(); ++b) {
            Assoc** tail = &m_buckets[b];
            for (const Assoc* a = other.m_buckets[b]; a; a = a->next) {
                *tail = new Assoc{nullptr, a->key, a->value};
                tail = &(*tail)->next;
                ++m_nCount;
            }
        }
    }

    std::vector<Assoc*> m_buckets;
    int m_nCount = 0;
};
