#pragma once
#include "Win.h"

#include <utility>

// An owner of one Win32 handle: closes it when it goes, moves but never
// copies.  The traits name the close call and the value that means "none";
// kernel handles know two such values, since CreateFile and its kin fail
// with INVALID_HANDLE_VALUE while CreateMutex, OpenProcess and the like fail
// with NULL, and neither is ever closed.
template <typename Traits> class CScopedHandle {
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() = default;
    explicit CScopedHandle(Handle h) : m_h(h) {}
    ~CScopedHandle() { Close(); }
    CScopedHandle(CScopedHandle&& o) noexcept : m_h(o.Detach()) {}
    CScopedHandle& operator=(CScopedHandle&& o) noexcept {
        if (this != &o)
            Attach(o.Detach());
        return *this;
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    Handle Get() const { return m_h; }
    explicit operator bool() const { return Traits::IsValid(m_h); }
    // For an API that hands the handle back through a pointer.
    Handle* Receive() {
        Close();
        return &m_h;
    }
    void Attach(Handle h) {
        Close();
        m_h = h;
    }
    Handle Detach() { return std::exchange(m_h, Traits::None()); }
    // FALSE when the close call failed (GetLastError tells why).
    BOOL Close() {
        const Handle h = Detach();
        return Traits::IsValid(h) ? Traits::Close(h) : TRUE;
    }

private:
    Handle m_h = Traits::None();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static BOOL Close(Handle h) { return ::CloseHandle(h); }
};

// A kernel handle whose "none" is INVALID_HANDLE_VALUE, as CreateFile gives.
struct FileHandleTraits : KernelHandleTraits {
    static Handle None() { return INVALID_HANDLE_VALUE; }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static BOOL Close(Handle h) { return ::FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

template <typename T> struct GdiObjectTraits {
    using Handle = T;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::DeleteObject(h); }
};

using CHandle = CScopedHandle<KernelHandleTraits>;
using CFileHandle = CScopedHandle<FileHandleTraits>;
using CFindHandle = CScopedHandle<FindHandleTraits>;
using CRegKeyHandle = CScopedHandle<RegKeyTraits>;
template <typename T> using CGdiObject = CScopedHandle<GdiObjectTraits<T>>;

// Both handles CreateProcess hands back, closed together.
struct CProcessHandles {
    CProcessHandles() = default;
    explicit CProcessHandles(const PROCESS_INFORMATION& pi)
        : hProcess(pi.hProcess), hThread(pi.hThread) {}
    CHandle hProcess;
    CHandle hThread;
};
