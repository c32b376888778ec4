// The MDI tab bar: a tab per child form, laid out at every paint, drawn
// from the skin's tab element (or its "resizebutton" look, or plainly),
// with hot tracking, activation, the child's system menu and dragging.
#include <windowsx.h>

#include <algorithm>

#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlTextPen.h"
#include "skin/form/vlSkinMDITabs.h"
#include "skin/form/vlFormMenus.h"
#include "skin/form/vlSkinMenus.h"

using namespace vlLookPieces;

namespace {
constexpr uint32_t kHotFill = 13811126;     // RGB 182, 189, 210
constexpr uint32_t kActiveFill = 11899781;  // RGB 133, 147, 181

std::string FormCaption(TForm* f) { return f ? f->Caption() : std::string(); }

// Text cut with "..." to `width` and drawn centred in `r`, single line.
void CentredText(HDC dc, const std::string& text, const RECT& r) {
    std::string shown = FitTextWithEllipsis(dc, text, r.right - r.left);
    RECT place = r;
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &place,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}
}  // namespace

TvlSkinMDITabsBar::TvlSkinMDITabsBar(TComponent* owner, TWinControl* parent) : TvlSkinControl(owner, parent) {
    SkinDataName = "tab";
    SetBounds(0, 0, 150, 21);
}

TvlSkinMDITabsBar::~TvlSkinMDITabsBar() {
    BeginDestroy();
    FTabs.clear();
}

const TvlDataSkinTabControl* TvlSkinMDITabsBar::Element() const {
    // Any other kind counts as no element.
    return ElementAs<TvlDataSkinTabControl>();
}

void TvlSkinMDITabsBar::Notification(TComponent* component, bool removing) {
    TvlSkinControl::Notification(component, removing);
    if (!removing) return;
    if (component == FLacquer) FLacquer = nullptr;
    for (size_t i = 0; i < FTabs.size(); ++i)
        if (FTabs[i]->Child == component) {
            FTabs.erase(FTabs.begin() + static_cast<std::ptrdiff_t>(i));
            FHotTab = FPressedTab = -1;
            FDragging = false;
            if (!Destroying()) Invalidate();
            break;
        }
}

void TvlSkinMDITabsBar::SetLacquer(TvlFormMenus* menus) {
    if (FLacquer) RemoveFreeNotification(FLacquer);
    FLacquer = menus;
    if (FLacquer) FreeNotification(FLacquer);
}

void TvlSkinMDITabsBar::SetTabKind(TvlSkinMDITabKind kind) {
    FTabKind = kind;
    if (Element()) Invalidate();
}

void TvlSkinMDITabsBar::SetDefaultHeight(int h) {
    FDefaultHeight = h;
    if (!Element() && h > 0) SetHeight(h);
}

void TvlSkinMDITabsBar::SkinChanged() {
    TvlSkinControl::SkinChanged();
    const TvlDataSkinTabControl* e = Element();
    if (e && UseSkinSize)
        SetHeight(e->TabRect.Height());
    else if (FDefaultHeight > 0)
        SetHeight(Px(FDefaultHeight));
    Invalidate();
}

void TvlSkinMDITabsBar::AddTab(TForm* child) {
    if (!child || IndexOfChild(child) >= 0) return;
    auto tab = std::make_unique<TvlMDITab>();
    tab->Bar = this;
    tab->Child = child;
    FTabs.push_back(std::move(tab));
    FreeNotification(child);
    Invalidate();
}

void TvlSkinMDITabsBar::RemoveTab(TForm* child) {
    int i = IndexOfChild(child);
    if (i < 0) return;
    FTabs.erase(FTabs.begin() + i);
    RemoveFreeNotification(child);
    FHotTab = FPressedTab = -1;
    FDragging = false;
    Invalidate();
}

int TvlSkinMDITabsBar::IndexOfChild(TForm* child) const {
    for (int i = 0; i < TabCount(); ++i)
        if (FTabs[static_cast<size_t>(i)]->Child == child) return i;
    return -1;
}

void TvlSkinMDITabsBar::SetActiveChild(TForm* child) {
    if (!child) return;  // nothing while there is no active child
    for (auto& t : FTabs) t->Active = t->Child == child;
    Invalidate();
}

void TvlSkinMDITabsBar::ChildCaptionChanged(TForm* child) {
    if (IndexOfChild(child) >= 0) Invalidate();
}

void TvlSkinMDITabsBar::LayoutTabs() {
    int n = TabCount();
    if (n == 0) return;
    int tabWidth = Px(DefaultTabWidth);
    int w = std::min(Width() / n, tabWidth);
    for (int i = 0; i < n; ++i) FTabs[static_cast<size_t>(i)]->Rect = {i * w, 0, (i + 1) * w, Height()};
    if (w < tabWidth) FTabs.back()->Rect.Right = Width();
    if (FDragging && FPressedTab >= 0 && FPressedTab < n) {
        TRect& r = FTabs[static_cast<size_t>(FPressedTab)]->Rect;
        int width = r.Width();
        r = Offset(r, FDragOffset, 0);
        if (r.Right > Width()) r = {Width() - width, r.Top, Width(), r.Bottom};
        if (r.Left < 0) r = {0, r.Top, width, r.Bottom};
    }
}

int TvlSkinMDITabsBar::TabAt(int x, int y) const {
    for (int i = 0; i < TabCount(); ++i) {
        const TRect& r = FTabs[static_cast<size_t>(i)]->Rect;
        if (x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom) return i;
    }
    return -1;
}

int TvlSkinMDITabsBar::DropIndex() const {
    if (!FDragging || FPressedTab < 0) return -1;
    const TRect& dragged = FTabs[static_cast<size_t>(FPressedTab)]->Rect;
    int found = -1;
    if (FDragOffset > 0) {
        for (int i = FPressedTab + 1; i < TabCount(); ++i) {
            const TRect& r = FTabs[static_cast<size_t>(i)]->Rect;
            if (r.Left + r.Width() / 2 < dragged.Right) found = i;
        }
    } else if (FDragOffset < 0) {
        for (int i = 0; i < FPressedTab; ++i) {
            const TRect& r = FTabs[static_cast<size_t>(i)]->Rect;
            if (r.Left + r.Width() / 2 > dragged.Left) {
                found = i;
                break;
            }
        }
    }
    return found;
}

void TvlSkinMDITabsBar::Compose(TvlFBitmap& bitmap) {
    int w = Width(), h = Height();
    bitmap.SetSize(w, h);
    const TvlDataSkinTabControl* e = Element();
    const TPixelImage* picture = e ? SkinPicture(SkinData(), e->PictureIndex) : nullptr;
    // An empty background piece would never advance: the plain fill instead.
    if (e && picture && e->TabsBGRect.Width() > 0 && e->TabsBGRect.Height() > 0) {
        int bw = e->TabsBGRect.Width();
        TRect source = e->TabsBGRect;
        if (source.Height() > h) source.Bottom = source.Top + h;
        for (int x = 0; x < w; x += bw)
            StretchPiece(bitmap, {x, 0, std::min(x + bw, w), h}, PictureView(*picture),
                         {source.Left, source.Top, source.Left + std::min(bw, w - x), source.Bottom});
    } else {
        bitmap.Fill(ColorToRGB(clBtnFace));
    }
    LayoutTabs();
    for (int i = 0; i < TabCount(); ++i)
        if (!(FDragging && i == FPressedTab)) DrawTab(bitmap, *FTabs[static_cast<size_t>(i)]);
    if (FDragging && FPressedTab >= 0) {
        DrawTab(bitmap, *FTabs[static_cast<size_t>(FPressedTab)]);
        int drop = DropIndex();
        if (drop >= 0) {
            const TRect& r = FTabs[static_cast<size_t>(drop)]->Rect;
            int x = FDragOffset <= 0 ? r.Left : r.Right;
            GdiFlush();
            HDC dc = bitmap.Canvas();
            int old = SetROP2(dc, R2_NOT);
            for (int dx = -1; dx <= 1; ++dx) {
                MoveToEx(dc, x + dx, 0, nullptr);
                LineTo(dc, x + dx, h);
            }
            POINT right[] = {{x + 2, h / 2}, {x + 5, h / 2 - 3}, {x + 5, h / 2 + 3}, {x + 2, h / 2}};
            POINT left[] = {{x - 2, h / 2}, {x - 5, h / 2 - 3}, {x - 5, h / 2 + 3}, {x - 2, h / 2}};
            Polyline(dc, right, 4);
            Polyline(dc, left, 4);
            SetROP2(dc, old);
            GdiFlush();
        }
    }
}

void TvlSkinMDITabsBar::DrawTab(TvlFBitmap& bitmap, const TvlMDITab& tab) {
    int w = tab.Rect.Width(), h = tab.Rect.Height();
    if (w <= 0 || h <= 0) return;
    const TvlDataSkinTabControl* e = Element();
    TvlFBitmap look;
    look.SetSize(w, h);
    TFont font = DefaultFont;
    uint32_t colour = ColorToRGB(DefaultFont.Color());
    TRect textRect{2, 0, w - 2, h};
    if (e && FTabKind == vltkButton) {
        const TvlSkinData* skin = SkinData();
        int bi = skin->FindControlIndex("resizebutton");
        auto* b = bi < 0 ? nullptr : dynamic_cast<const TvlDataSkinButtonControl*>(skin->SkinControls[static_cast<size_t>(bi)].get());
        const TPixelImage* picture = b ? SkinPicture(skin, b->PictureIndex) : nullptr;
        if (!b || !picture) return;
        TRect source = b->SkinRect;
        if (tab.Active)
            source = !b->DownSkinRect.IsEmpty() ? b->DownSkinRect : !b->ActiveSkinRect.IsEmpty() ? b->ActiveSkinRect : b->SkinRect;
        else if (tab.Hot && !b->ActiveSkinRect.IsEmpty())
            source = b->ActiveSkinRect;
        TvlFrameCuts cuts{b->LTPoint, b->RTPoint, b->LBPoint, b->RBPoint, b->ClientRect};
        TvlFrameCuts target = FitFrameCuts(cuts, b->SkinRect.Width(), b->SkinRect.Height(), w, h);
        ComposeTiledImage(cuts, source, PictureView(*picture), w, h, target, true, look);
        colour = tab.Active ? b->DownFontColor : tab.Hot ? b->ActiveFontColor : b->FontColor;
        font = UseSkinFont ? TFont(b->FontName, b->FontHeight, b->FontStyle) : DefaultFont;
        textRect = target.CR;
    } else if (!e) {
        look.Fill(tab.Active ? kActiveFill : tab.Hot ? kHotFill : ColorToRGB(clBtnFace));
    } else {
        const TPixelImage* picture = SkinPicture(SkinData(), e->PictureIndex);
        const TRect& normal = e->TabRect;
        // The active look wins over the hot look.
        TRect source = tab.Active ? (e->ActiveTabRect.IsEmpty() ? normal : e->ActiveTabRect)
                       : tab.Hot  ? (e->MouseInTabRect.IsEmpty() ? normal : e->MouseInTabRect)
                                  : normal;
        TvlFBitmap strip;
        if (picture) ComposeHorizontal(e->TabLeftOffset, e->TabRightOffset, source, PictureView(*picture), w, strip);
        if (!strip.Empty()) {
            TvlFBitmap oriented = strip;
            if (Align() == alBottom) {
                TvlEffectBmp flip;
                flip.Assign(strip.View());
                flip.FlipVertical(oriented);
            }
            if (UseSkinSize)
                CopyPiece(look, 0, 0, oriented, {0, 0, oriented.Width(), oriented.Height()});
            else
                StretchPiece(look, {0, 0, w, h}, oriented, {0, 0, oriented.Width(), oriented.Height()});
        }
        font = UseSkinFont ? TFont(e->FontName, e->FontHeight, e->FontStyle) : DefaultFont;
        colour = tab.Active ? e->FocusFontColor : tab.Hot ? e->MouseInFontColor : e->FontColor;
        textRect = {e->TabLeftOffset, 0, w - e->TabRightOffset, h};
    }
    if (SkinData() && SkinData()->ResourceStrData()) font.SetCharSet(SkinData()->ResourceStrData()->CharSet);
    auto pen = std::make_unique<TvlTextPen>(look, font);
    HDC dc = pen->DC();
    SetTextColor(dc, colour);
    RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
    SIZE size{};
    std::string caption = FormCaption(tab.Child);
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    if (size.cy > r.bottom - r.top) {
        r.top = (h - size.cy) / 2;
        r.bottom = r.top + size.cy;
    }
    CentredText(dc, caption, r);
    pen.reset();  // the text is in the pixels before they are copied
    CopyPiece(bitmap, tab.Rect.Left, tab.Rect.Top, look, {0, 0, w, h});
}

void TvlSkinMDITabsBar::Redraw() { Invalidate(); }

void TvlSkinMDITabsBar::SetHot(int index) {
    if (index == FHotTab) return;
    int old = FHotTab;
    FPreviousHot = old;
    FHotTab = index;
    if (old >= 0 && old < TabCount()) {
        FTabs[static_cast<size_t>(old)]->Hot = false;
        if (OnTabMouseLeave) OnTabMouseLeave(FTabs[static_cast<size_t>(old)].get());
    }
    if (index >= 0 && index < TabCount()) {
        FTabs[static_cast<size_t>(index)]->Hot = true;
        if (OnTabMouseEnter) OnTabMouseEnter(FTabs[static_cast<size_t>(index)].get());
    }
    Redraw();
}

void TvlSkinMDITabsBar::OnMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = (m.WParam & MK_SHIFT ? ssShift : 0) | (m.WParam & MK_CONTROL ? ssCtrl : 0);
    LayoutTabs();
    switch (m.Msg) {
        case WM_LBUTTONDOWN: {
            int i = TabAt(x, y);
            if (i < 0) break;
            TvlMDITab* tab = FTabs[static_cast<size_t>(i)].get();
            if (TForm* child = tab->Child) {
                TvlFormMenus* menus = FindFormMenus(child);
                TvlWindowCommands* frame = menus ? menus->Commands() : nullptr;
                if (frame && frame->FrameWindowState() == fwsMinimized) frame->SetFrameWindowState(fwsNormal);
                child->Show();
                SetActiveChild(child);
            }
            FMouseDown = true;
            if (MoveTabs) FPressedTab = i;
            FPressX = x;
            FDragOffset = 0;
            SetCapture(Handle());
            if (OnTabMouseDown) OnTabMouseDown(mbLeft, shift, tab);
            break;
        }
        case WM_RBUTTONDOWN: {
            int i = TabAt(x, y);
            if (i < 0) break;
            TvlMDITab* tab = FTabs[static_cast<size_t>(i)].get();
            TvlFormMenus* childMenus = FindFormMenus(tab->Child);
            if (SupportChildMenus && childMenus && childMenus->Commands() && FLacquer) {
                POINT p{x, y};
                ClientToScreen(Handle(), &p);
                FLacquer->MenuOpened();
                childMenus->BuildSystemMenu();
                FLacquer->SkinMenu()->Popup(this, FLacquer->MenuSkin(), false,
                                            childMenus->BuiltInSystemMenu()->RootItem(), {p.x, p.y, p.x, p.y}, 0);
            }
            if (OnTabMouseDown) OnTabMouseDown(mbRight, shift, tab);
            break;
        }
        case WM_MOUSEMOVE:
            if (FMouseDown && FPressedTab >= 0 && !FDragging && x != FPressX) FDragging = true;
            if (FDragging) {
                FDragOffset = x - FPressX;
                Redraw();
            } else {
                SetHot(TabAt(x, y));
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSELEAVE:
            if (!FDragging) SetHot(-1);
            break;
        case WM_LBUTTONUP:
            FMouseDown = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            if (FDragging) {
                int drop = DropIndex();
                FDragging = false;
                if (drop >= 0 && drop != FPressedTab) {
                    auto tab = std::move(FTabs[static_cast<size_t>(FPressedTab)]);
                    FTabs.erase(FTabs.begin() + FPressedTab);
                    FTabs.insert(FTabs.begin() + drop, std::move(tab));
                }
                FPressedTab = -1;
                FPressX = FDragOffset = 0;
                Redraw();
            } else {
                FPressedTab = -1;
                int i = TabAt(x, y);
                if (i >= 0 && OnTabMouseUp) OnTabMouseUp(mbLeft, shift, FTabs[static_cast<size_t>(i)].get());
            }
            break;
        default: break;
    }
    m.Result = 0;
}
