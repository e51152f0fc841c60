#pragma once
#include "Win_win.h"

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

struct MemoryDCTraits {
    using Handle = HDC;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::DeleteDC(h); }
};

// A window made with CreateWindow and destroyed by the thread that made
// it, for windows that no CWnd holds.
struct WindowTraits {
    using Handle = HWND;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::DestroyWindow(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::FreeLibrary(h); }
};

// Memory that an API hands back for LocalFree (a security descriptor, a
// formatted message).
template <typename T> struct LocalMemoryTraits {
    using Handle = T;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::LocalFree(h) == nullptr; }
};

// Memory of the process heap that an API hands back for HeapFree.
template <typename T> struct HeapMemoryTraits {
    using Handle = T;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) { return ::HeapFree(::GetProcessHeap(), 0, h); }
};

using CHandle = CScopedHandle<KernelHandleTraits>;
using CFileHandle = CScopedHandle<FileHandleTraits>;
using CFindHandle = CScopedHandle<FindHandleTraits>;
using CRegKeyHandle = CScopedHandle<RegKeyTraits>;
template <typename T> using CGdiObject = CScopedHandle<GdiObjectTraits<T>>;
using CMemoryDC = CScopedHandle<MemoryDCTraits>;
using CModuleHandle = CScopedHandle<ModuleTraits>;
using CWindowHandle = CScopedHandle<WindowTraits>;
template <typename T> using CLocalMemory = CScopedHandle<LocalMemoryTraits<T>>;
template <typename T> using CHeapMemory = CScopedHandle<HeapMemoryTraits<T>>;

// A window's device context (the screen's for no window), released with
// the window it came from.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CClientDC() {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// An object selected into a device context for a while: what the context
// held before is selected back when the selection goes, so that the object
// can be deleted after it.  Declare it after the owners of the context and
// of the object.
class CObjectSelection {
public:
    CObjectSelection(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hDC && hObject ? ::SelectObject(hDC, hObject) : nullptr) {}
    ~CObjectSelection() {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    CObjectSelection(const CObjectSelection&) = delete;
    CObjectSelection& operator=(const CObjectSelection&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// Both handles CreateProcess hands back, closed together.
struct CProcessHandles {
    CProcessHandles() = default;
    explicit CProcessHandles(const PROCESS_INFORMATION& pi)
        : hProcess(pi.hProcess), hThread(pi.hThread) {}
    CHandle hProcess;
    CHandle hThread;
};
