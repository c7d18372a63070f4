#pragma once
// Move-only owners of the system's handles, one template over a small traits
// type per kind. Each closes its handle with the kind's own release call when
// it goes. Icons loaded with LoadIcon are shared by the system and must not
// be destroyed, so they are kept as plain HICON values, never in an owner.

#include <windows.h>

#include <utility>

template <typename Traits>
class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Type handle) : m_handle(handle) {}
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    ~CUniqueHandle() { Reset(); }

    Type Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    Type Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) {
        const Type old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Type m_handle = Traits::Invalid();
};

struct CKernelHandleTraits {  // mutexes, processes, threads: null when absent
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};
struct CFileHandleTraits {  // CreateFile and FindFirstFile give INVALID_HANDLE_VALUE when they fail
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};
struct CFindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::FindClose(handle); }
};
struct CRegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { ::RegCloseKey(key); }
};
struct CMenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type menu) { ::DestroyMenu(menu); }
};
struct CModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type module) { ::FreeLibrary(module); }
};
template <typename Object>
struct CGdiObjectTraits {  // fonts, brushes, bitmaps, palettes, pens
    using Type = Object;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { ::DeleteObject(object); }
};
struct CMemoryDcTraits {  // CreateCompatibleDC
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type dc) { ::DeleteDC(dc); }
};
struct CCreatedIconTraits {  // only icons the program made itself, never LoadIcon's
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type icon) { ::DestroyIcon(icon); }
};

using CHandle = CUniqueHandle<CKernelHandleTraits>;
using CWin32FileHandle = CUniqueHandle<CFileHandleTraits>;  // CFileHandle is the file seam's own
using CFindHandle = CUniqueHandle<CFindHandleTraits>;
using CRegistryKey = CUniqueHandle<CRegistryKeyTraits>;
using CMenu = CUniqueHandle<CMenuTraits>;
using CModule = CUniqueHandle<CModuleTraits>;
using CFont = CUniqueHandle<CGdiObjectTraits<HFONT>>;
using CBrush = CUniqueHandle<CGdiObjectTraits<HBRUSH>>;
using CBitmap = CUniqueHandle<CGdiObjectTraits<HBITMAP>>;
using CPalette = CUniqueHandle<CGdiObjectTraits<HPALETTE>>;
using CMemoryDc = CUniqueHandle<CMemoryDcTraits>;
using CCreatedIcon = CUniqueHandle<CCreatedIconTraits>;

// A device context from GetDC, given back with ReleaseDC.
class CWindowDc {
public:
    explicit CWindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;
    ~CWindowDc() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint's device context for one WM_PAINT, ended with EndPaint.
class CPaintDc {
public:
    explicit CPaintDc(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    CPaintDc(const CPaintDc&) = delete;
    CPaintDc& operator=(const CPaintDc&) = delete;
    ~CPaintDc() { ::EndPaint(m_window, &m_paint); }
    HDC Get() const { return m_dc; }
    const RECT& Update() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// An object selected into a device context for as long as this lives; the
// object it replaced goes back in. Nothing is selected for a null object.
class CGdiSelection {
public:
    CGdiSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    CGdiSelection(const CGdiSelection&) = delete;
    CGdiSelection& operator=(const CGdiSelection&) = delete;
    ~CGdiSelection() {
        if (m_old) ::SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A palette selected (in the background) and realised for as long as this
// lives.
class CPaletteSelection {
public:
    CPaletteSelection(HDC dc, HPALETTE palette)
        : m_dc(dc), m_old(dc && palette ? ::SelectPalette(dc, palette, FALSE) : nullptr) {
        if (m_old) ::RealizePalette(dc);
    }
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;
    ~CPaletteSelection() {
        if (m_old) ::SelectPalette(m_dc, m_old, FALSE);
    }

private:
    HDC m_dc;
    HPALETTE m_old;
};
