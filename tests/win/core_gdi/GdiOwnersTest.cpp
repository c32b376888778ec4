// The GDI owners and kernel handle owner: what they delete, how they move,
// the region's hand-over to a window, and the one DIB-section builder.
#include <gtest/gtest.h>

#include "core/Gdi.h"
#include "tests/win/support/LeakCheck.h"

namespace {

long Alive(TGdiKind kind) { return GdiCounts().Of(kind); }

// A plain top-level window of the system's static class, for the region.
struct TPlainWindow {
    HWND Handle = CreateWindowExA(0, "STATIC", "region", WS_POPUP, 10, 10, 120, 80, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ~TPlainWindow() {
        if (Handle) DestroyWindow(Handle);
    }
};

}  // namespace

TEST(GdiOwners, DeleteWhatTheyOwnAndMoveOwnership) {
    TLeakCheck leaks;
    const long brushes = Alive(TGdiKind::Brush);
    HBRUSH raw = nullptr;
    {
        TGdiBrush brush = CreateSolidBrushOwned(RGB(10, 20, 30));
        raw = brush.Handle();
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
        EXPECT_EQ(Alive(TGdiKind::Brush), brushes + 1);

        TGdiBrush moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_EQ(moved.Handle(), raw);
        EXPECT_EQ(Alive(TGdiKind::Brush), brushes + 1) << "a move neither creates nor deletes";

        // Assigning over an owner deletes what it held.
        TGdiBrush other = CreateSolidBrushOwned(RGB(1, 2, 3));
        HBRUSH otherRaw = other.Handle();
        other = std::move(moved);
        EXPECT_EQ(GetObjectType(otherRaw), 0u) << "the replaced brush is deleted";
        EXPECT_EQ(other.Handle(), raw);
        EXPECT_EQ(Alive(TGdiKind::Brush), brushes + 1);
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "the last owner deletes the brush";
    EXPECT_EQ(Alive(TGdiKind::Brush), brushes);

    {
        TGdiPen pen = CreatePenOwned(PS_SOLID, 1, RGB(0, 0, 0));
        LOGFONTA lf{};
        lf.lfHeight = -11;
        lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
        TGdiFont font = CreateFontOwned(lf);
        TGdiBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        TMemoryDC dc = TMemoryDC::Create(nullptr);
        EXPECT_EQ(GetObjectType(pen.Handle()), static_cast<DWORD>(OBJ_PEN));
        EXPECT_EQ(GetObjectType(font.Handle()), static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(GetObjectType(bitmap.Handle()), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_EQ(GetObjectType(dc.Handle()), static_cast<DWORD>(OBJ_MEMDC));
        {
            SelectGuard selected(dc.Handle(), bitmap.Handle());
            EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BITMAP), bitmap.Handle());
        }
        EXPECT_NE(GetCurrentObject(dc.Handle(), OBJ_BITMAP), bitmap.Handle()) << "the guard restores the old bitmap";
        {
            SavedDCGuard saved(dc.Handle());
            SetViewportOrgEx(dc.Handle(), 5, 7, nullptr);
        }
        POINT origin{};
        GetViewportOrgEx(dc.Handle(), &origin);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);

        // Lent out and taken back: counted once, deleted once.
        HPEN lent = pen.Release();
        EXPECT_FALSE(pen);
        EXPECT_EQ(GetObjectType(lent), static_cast<DWORD>(OBJ_PEN));
        pen = TGdiPen::Reclaim(lent);
    }
    leaks.ExpectNone("owners of every kind");

    const long handles = GdiCounts().Handles;
    HANDLE event = nullptr;
    {
        TKernelHandle owner(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        event = owner.Handle();
        EXPECT_EQ(GdiCounts().Handles, handles + 1);
        TKernelHandle moved = std::move(owner);
        EXPECT_FALSE(owner);
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(moved.Handle(), &flags));
        TKernelHandle failed(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(failed) << "INVALID_HANDLE_VALUE is no handle to close";
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the owner closes the event";
    EXPECT_EQ(GdiCounts().Handles, handles);
}

TEST(GdiOwners, RegionHandedToTheWindowBelongsToIt) {
    TPlainWindow window;
    ASSERT_NE(window.Handle, nullptr);
    TLeakCheck leaks;

    TGdiRegion refused(CreateRectRgn(0, 0, 10, 10));
    EXPECT_FALSE(refused.HandToWindow(nullptr, false));
    EXPECT_TRUE(refused) << "a refused region stays with its owner";
    refused.Reset();

    TGdiRegion region(CreateRectRgn(0, 0, 50, 30));
    ASSERT_TRUE(region.HandToWindow(window.Handle, false));
    EXPECT_FALSE(region) << "the window owns the region now; the system deletes it";
    region.Reset();  // nothing left to delete

    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window.Handle, probe), SIMPLEREGION);
    RECT box{};
    GetRgnBox(probe, &box);
    DeleteObject(probe);  // the test's own probe, made outside the module
    EXPECT_EQ(box.right, 50);
    EXPECT_EQ(box.bottom, 30);
    leaks.ExpectNone("a region given to a window");
}

TEST(GdiOwners, DibSectionsAreTopDownWithTheSharedStride) {
    EXPECT_EQ(DibRowStride(0, 24), 0);
    for (int w = 1; w < 70; ++w) {
        EXPECT_EQ(DibRowStride(w, 24), (w * 3 + 3) & ~3) << w;
        EXPECT_EQ(DibRowStride(w, 24), w * 3 + w % 4) << w;
        EXPECT_EQ(DibRowStride(w, 32), w * 4) << w;
    }
    TLeakCheck leaks;
    {
        TDibSection dib = CreateDibSection(3, 2, 24);
        ASSERT_TRUE(dib);
        DIBSECTION info{};
        ASSERT_EQ(GetObjectA(dib.Bitmap.Handle(), sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.dsBm.bmWidthBytes, DibRowStride(3, 24));
        EXPECT_EQ(info.dsBmih.biBitCount, 24);
        // Blue, green, red at (1, 1): the second row in memory is the bottom row.
        auto* bits = static_cast<uint8_t*>(dib.Bits);
        uint8_t* p = bits + DibRowStride(3, 24) + 3;
        p[0] = 0x30;
        p[1] = 0x20;
        p[2] = 0x10;
        TMemoryDC dc = TMemoryDC::Create(nullptr);
        SelectGuard selected(dc.Handle(), dib.Bitmap.Handle());
        EXPECT_EQ(GetPixel(dc.Handle(), 1, 1), RGB(0x10, 0x20, 0x30));
        EXPECT_EQ(GetPixel(dc.Handle(), 1, 0), RGB(0, 0, 0)) << "memory starts zero-filled";
    }
    leaks.ExpectNone("DIB sections");
}
