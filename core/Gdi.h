#pragma once
// Owners of GDI objects and kernel handles (Windows only). Each owner is
// move-only, deletes what it holds, and counts what it takes over and what
// it deletes, so that a test can prove a scenario leaves no object behind:
// the platform's own per-process count is not available everywhere.
//
// Taking a handle: the Create* functions, or the constructor from a handle
// made elsewhere (LoadImage, ExtCreateRegion, GetIconInfo...), which counts
// it as ours from then on.
// Lending it out: Release() gives up the handle without deleting it (it
// still counts as alive: someone must delete it); Reclaim() takes a handle
// given out by Release() back without counting it twice. Storage that
// cannot hold an owner (a portable header) keeps raw handles this way.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <utility>

#include "core/DibLayout.h"

enum class TGdiKind { Bitmap, Region, Brush, Pen, Font, DC, Count };
const char* GdiKindName(TGdiKind kind);

// Objects alive per kind: taken over by an owner and neither deleted nor
// handed to the system. Kernel handles are counted apart.
struct TGdiCounts {
    long Alive[static_cast<int>(TGdiKind::Count)] = {};
    long Handles = 0;
    long Of(TGdiKind kind) const { return Alive[static_cast<int>(kind)]; }
    long Total() const;
};
TGdiCounts GdiCounts();

namespace gdi_detail {
void Count(TGdiKind kind, long delta);
void CountHandles(long delta);
}  // namespace gdi_detail

// An owned handle: move-only, destroyed and counted by its Traits
// (Count(delta), Destroy(handle)).
template <class H, class Traits>
class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(H handle) : FHandle(handle) {
        if (FHandle) Traits::Count(+1);
    }
    TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            FHandle = std::exchange(other.FHandle, nullptr);
        }
        return *this;
    }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    ~TOwnedHandle() { Reset(); }

    H Handle() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Destroys the object now.
    void Reset() {
        if (!FHandle) return;
        Traits::Destroy(std::exchange(FHandle, nullptr));
        Traits::Count(-1);
    }
    // Gives the handle up undestroyed; see the top of this file.
    [[nodiscard]] H Release() { return std::exchange(FHandle, nullptr); }
    static TOwnedHandle Reclaim(H handle) {
        TOwnedHandle owner;
        owner.FHandle = handle;
        return owner;
    }

protected:
    H FHandle = nullptr;
};

namespace gdi_detail {
template <TGdiKind Kind>
struct ObjectTraits {
    static void Count(long delta) { gdi_detail::Count(Kind, delta); }
    static void Destroy(HGDIOBJ object) { DeleteObject(object); }
};
struct MemoryDCTraits {
    static void Count(long delta) { gdi_detail::Count(TGdiKind::DC, delta); }
    static void Destroy(HDC dc) { DeleteDC(dc); }
};
struct KernelTraits {
    static void Count(long delta) { CountHandles(delta); }
    static void Destroy(HANDLE handle) { CloseHandle(handle); }
};
}  // namespace gdi_detail

// An owned GDI object deleted with DeleteObject.
template <class H, TGdiKind Kind>
using TGdiObject = TOwnedHandle<H, gdi_detail::ObjectTraits<Kind>>;

using TGdiBitmap = TGdiObject<HBITMAP, TGdiKind::Bitmap>;
using TGdiBrush = TGdiObject<HBRUSH, TGdiKind::Brush>;
using TGdiPen = TGdiObject<HPEN, TGdiKind::Pen>;
using TGdiFont = TGdiObject<HFONT, TGdiKind::Font>;

TGdiBrush CreateSolidBrushOwned(COLORREF color);
TGdiPen CreatePenOwned(int style, int width, COLORREF color);
TGdiFont CreateFontOwned(const LOGFONTA& font);

// A region. Once SetWindowRgn accepts it the window owns it and the system
// deletes it; HandToWindow makes that hand-over the only way to give it up.
class TGdiRegion : public TGdiObject<HRGN, TGdiKind::Region> {
public:
    TGdiRegion() = default;
    explicit TGdiRegion(HRGN region) : TGdiObject<HRGN, TGdiKind::Region>(region) {}
    // Sets the region as the window's; on success this owner is empty. When
    // the window refuses it, this owner keeps (and later deletes) it.
    bool HandToWindow(HWND window, bool redraw);
};

// A memory device context (CreateCompatibleDC), deleted with DeleteDC.
class TMemoryDC : public TOwnedHandle<HDC, gdi_detail::MemoryDCTraits> {
public:
    TMemoryDC() = default;
    // A context compatible with `dc` (nullptr: with the screen).
    static TMemoryDC Create(HDC dc) { return TMemoryDC(CreateCompatibleDC(dc)); }
    static TMemoryDC Reclaim(HDC dc) {
        TMemoryDC memory;
        memory.FHandle = dc;
        return memory;
    }

private:
    explicit TMemoryDC(HDC dc) : TOwnedHandle(dc) {}
};

// A memory context compatible with the screen (the same fonts and pixels per
// inch), to measure text in or read bitmaps with. Taking the screen's own
// context costs round trips to the window system each time; this does not.
inline TMemoryDC ScreenCompatibleDC() { return TMemoryDC::Create(nullptr); }

// Selects an object into a device context until the guard ends (or Restore).
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : FDC(dc), FOld(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(SelectGuard&& other) noexcept
        : FDC(std::exchange(other.FDC, nullptr)), FOld(std::exchange(other.FOld, nullptr)) {}
    SelectGuard& operator=(SelectGuard&&) = delete;
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { Restore(); }
    void Restore() {
        if (FDC && FOld) SelectObject(FDC, FOld);
        FDC = nullptr;
        FOld = nullptr;
    }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// SaveDC now, RestoreDC at the end of the scope: clipping, origins, selections.
class SavedDCGuard {
public:
    explicit SavedDCGuard(HDC dc) : FDC(dc), FSaved(dc ? SaveDC(dc) : 0) {}
    SavedDCGuard(const SavedDCGuard&) = delete;
    SavedDCGuard& operator=(const SavedDCGuard&) = delete;
    ~SavedDCGuard() {
        if (FSaved) RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved;
};

// The one way the program makes a DIB section: top-down rows, RGB colours.
struct TDibSection {
    TGdiBitmap Bitmap;
    void* Bits = nullptr;  // zero-filled; rows DibRowStride(width, bits) apart
    explicit operator bool() const { return Bitmap && Bits; }
};
// A top-down header of `bitsPerPixel` (24 or 32) with its image size.
BITMAPINFOHEADER DibHeader(int width, int height, int bitsPerPixel);
// Empty when the system cannot make it. `dc` only matters for palettes.
TDibSection CreateDibSection(const BITMAPINFOHEADER& header, HDC dc = nullptr);
inline TDibSection CreateDibSection(int width, int height, int bitsPerPixel, HDC dc = nullptr) {
    return CreateDibSection(DibHeader(width, height, bitsPerPixel), dc);
}

// A kernel handle (thread, event, process, snapshot) closed with CloseHandle.
// INVALID_HANDLE_VALUE, which some functions return on failure, counts as empty.
class TKernelHandle : public TOwnedHandle<HANDLE, gdi_detail::KernelTraits> {
public:
    TKernelHandle() = default;
    explicit TKernelHandle(HANDLE handle) : TOwnedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
};
