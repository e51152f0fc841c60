#pragma once
#include "Win_win.h"

#include <unknwn.h>

#include <utility>

// An owner of one reference to a COM interface: Release when it goes, moves
// but never copies.  Attach takes over a reference the caller already holds;
// Share adds one of its own.
template <typename T> class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(CComPtr&& o) noexcept : m_p(o.Detach()) {}
    CComPtr& operator=(CComPtr&& o) noexcept {
        if (this != &o)
            Attach(o.Detach());
        return *this;
    }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    static CComPtr Share(T* p) {
        CComPtr owner;
        if (p)
            p->AddRef();
        owner.m_p = p;
        return owner;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For an API that hands a new reference back through a pointer.
    T** Receive() {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Attach(T* p) {
        Reset();
        m_p = p;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset() {
        if (T* p = Detach())
            p->Release();
    }

private:
    T* m_p = nullptr;
};
