// Owning wrappers for GDI handles (move-only, released once) and scope guards for the
// device-context state that drawing code changes for a while.
#pragma once

#include "framework/win32/platform.h"

#include <utility>

namespace zaprelay::win32 {

// Owns one handle and releases it with Release(handle) when it goes or is replaced.
template <typename Handle, auto Release>
class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(Handle handle) : m_handle(handle) {}
    ~TOwnedHandle() { Reset(); }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_handle, nullptr));
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Gives up ownership without releasing.
    Handle Detach() { return std::exchange(m_handle, nullptr); }
    void Reset(Handle handle = nullptr) {
        Handle old = std::exchange(m_handle, handle);
        if (old != nullptr) {
            Release(old);
        }
    }

private:
    Handle m_handle = nullptr;
};

namespace detail {
inline void DeleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void DeleteMemoryDC(HDC dc) {
    DeleteDC(dc);
}
inline void DestroyIconHandle(HICON icon) {
    DestroyIcon(icon);
}
inline void DestroyMenuHandle(HMENU menu) {
    DestroyMenu(menu);
}
inline void CloseKernelHandle(HANDLE handle) {
    CloseHandle(handle);
}
}  // namespace detail

using TBitmapHandle = TOwnedHandle<HBITMAP, &detail::DeleteGdiObject>;
using TFontHandle = TOwnedHandle<HFONT, &detail::DeleteGdiObject>;
using TBrushHandle = TOwnedHandle<HBRUSH, &detail::DeleteGdiObject>;
using TPenHandle = TOwnedHandle<HPEN, &detail::DeleteGdiObject>;
using TRegionHandle = TOwnedHandle<HRGN, &detail::DeleteGdiObject>;
using TMemoryDC = TOwnedHandle<HDC, &detail::DeleteMemoryDC>;
using TIconHandle = TOwnedHandle<HICON, &detail::DestroyIconHandle>;
using TMenuHandle = TOwnedHandle<HMENU, &detail::DestroyMenuHandle>;
// Processes, threads, events, tokens: kernel objects closed with CloseHandle (never a file's
// INVALID_HANDLE_VALUE, which is not null).
using TKernelHandle = TOwnedHandle<HANDLE, &detail::CloseKernelHandle>;

// A window's (or the screen's, for none) device context, released when it goes: its client
// area, or with wholeWindow the frame too.
class TWindowDC {
public:
    explicit TWindowDC(HWND window, bool wholeWindow = false)
        : m_window(window), m_dc(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~TWindowDC() {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
        }
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a context for the guard's life.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~TSelectObject() {
        if (m_old != nullptr && m_old != HGDI_ERROR) {
            SelectObject(m_dc, m_old);
        }
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Saves a context's state (clip, origin, selected objects) for the guard's life.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    ~TSavedDC() {
        if (m_saved != 0) {
            RestoreDC(m_dc, m_saved);
        }
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

}  // namespace zaprelay::win32
