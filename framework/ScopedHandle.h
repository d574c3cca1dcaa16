// Move-only owner of one Win32 handle, released by its traits. One template serves registry keys,
// find handles, kernel handles, menus and GDI objects. Closing keeps GetLastError intact so that a
// caller can still read the error of the call that failed before the handle went out of scope.
#pragma once

#include <windows.h>

namespace framework {

template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle h) : m_h(h) {}
    ~ScopedHandle() { Close(); }

    ScopedHandle(ScopedHandle&& other) noexcept : m_h(other.Take()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Take());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool IsValid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return IsValid(); }
    Handle Get() const { return m_h; }

    // For APIs that return the handle through an out-parameter.
    Handle* Receive()
    {
        Close();
        return &m_h;
    }

    Handle Take()
    {
        Handle h = m_h;
        m_h = Traits::Null();
        return h;
    }

    void Reset(Handle h = Traits::Null())
    {
        Close();
        m_h = h;
    }

    void Close()
    {
        if (Traits::IsValid(m_h)) {
            DWORD err = GetLastError();
            Traits::Close(m_h);
            SetLastError(err);
        }
        m_h = Traits::Null();
    }

private:
    Handle m_h = Traits::Null();
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

struct KernelHandleTraits {  // CreateFile, CreateEvent, threads: INVALID_HANDLE_VALUE or null
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};

template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedMenu = ScopedHandle<MenuTraits>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;

}  // namespace framework
