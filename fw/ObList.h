#pragma once
#include "Map.h"
#include "Object.h"

// The framework's list of object pointers.  It does not own what it holds:
// whoever fills it deletes the objects.
class CObList {
public:
    CObList() = default;
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;
    ~CObList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    POSITION AddTail(CObject* pObject) {
        Node* node = new Node{nullptr, pObject};
        *m_pTailLink = node;
        m_pTailLink = &node->next;
        ++m_nCount;
        return reinterpret_cast<POSITION>(node);
    }

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pHead); }

    CObject* GetNext(POSITION& pos) const {
        const Node* node = reinterpret_cast<const Node*>(pos);
        pos = reinterpret_cast<POSITION>(node->next);
        return node->object;
    }

    void RemoveAll() {
        while (m_pHead) {
            Node* next = m_pHead->next;
            delete m_pHead;
            m_pHead = next;
        }
        m_pTailLink = &m_pHead;
        m_nCount = 0;
    }

private:
    struct Node {
        Node* next;
        CObject* object;
    };

    Node* m_pHead = nullptr;
    Node** m_pTailLink = &m_pHead;
    int m_nCount = 0;
};
