#include "skin/widgets/vlSkinTabs.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"

namespace {
constexpr TColor HotFill = 13811126;      // RGB 182, 189, 210
constexpr TColor FocusedFill = 11899781;  // RGB 133, 147, 181

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// A disabled sheet's picture: its pixels turned to light greys, so that it
// reads as unavailable on any tab look, light or dark.
void DrawDimmedImage(TvlFBitmap& target, HIMAGELIST images, int index, int x, int y) {
    int w = 0, h = 0;
    ImageList_GetIconSize(images, &w, &h);
    if (w <= 0 || h <= 0) return;
    constexpr uint32_t key = 0xFF00FF;
    TvlFBitmap piece(w, h);
    piece.Fill(key);
    ImageList_Draw(images, index, piece.Canvas(), 0, 0, ILD_TRANSPARENT);
    GdiFlush();
    for (int py = 0; py < h; ++py) {
        int ty = y + py;
        if (ty < 0 || ty >= target.Height()) continue;
        for (int px = 0; px < w; ++px) {
            int tx = x + px;
            uint32_t c = piece.Pixel(px, py);
            if (c == key || tx < 0 || tx >= target.Width()) continue;
            int grey = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
            int v = 128 + grey / 2;
            target.SetPixel(tx, ty, RGB(v, v, v));
        }
    }
}

// The frame's margins around the display area: l, t from the client rect's
// corner, r, b from the skin rect's far edges.
struct TMargins {
    int L, T, R, B;
};
TMargins FrameMargins(const TvlDataSkinTabControl& e) {
    return {e.ClientRect.Left, e.ClientRect.Top, e.SkinRect.Width() - e.ClientRect.Right,
            e.SkinRect.Height() - e.ClientRect.Bottom};
}
}  // namespace

// ---- TvlSkinCustomTabSheet ----

TvlSkinPageControl* TvlSkinCustomTabSheet::PageControl() const { return dynamic_cast<TvlSkinPageControl*>(Parent()); }

void TvlSkinCustomTabSheet::OnSize(TMessage& m) {
    TvlSkinElement<TTabSheet>::OnSize(m);
    Invalidate();
}

void TvlSkinCustomTabSheet::PaintWindow(TCanvas& canvas) {
    int w = ClientWidth(), h = ClientHeight();
    if (w < 1 || h < 1) return;
    TvlSkinPageControl* pages = PageControl();
    if (pages) pages->ReadElement();
    const TvlDataSkinTabControl* e = pages ? pages->Element() : nullptr;
    const TPixelImage* tile = nullptr;
    TRect piece;
    if (e) {
        // The skin's own background picture, or the element's client part; a
        // background index that names no picture falls back to the client part.
        if (const TPixelImage* bg = e->BGPictureIndex >= 0 ? pages->ElementPicture(e->BGPictureIndex) : nullptr) {
            tile = bg;
            piece = TRect{0, 0, bg->Width, bg->Height};
        } else if ((tile = pages->ElementPicture(e->PictureIndex)) != nullptr) {
            piece = TRect{e->SkinRect.Left + e->ClientRect.Left, e->SkinRect.Top + e->ClientRect.Top,
                          e->SkinRect.Left + e->ClientRect.Right, e->SkinRect.Top + e->ClientRect.Bottom};
        }
    }
    if (tile && !piece.IsEmpty()) {
        DrawTiled(canvas.Handle(), TRect{0, 0, w, h}, PictureView(*tile), piece);
    } else {
        canvas.FillRect(RECT{0, 0, w, h}, clBtnFace);
    }
    PaintControls(canvas);
}

// ---- TvlSkinPageControl ----

TvlSkinPageControl::TvlSkinPageControl(TComponent* owner, TWinControl* parent, bool tabsAtBottom)
    : TvlSkinPageControl(owner, parent, tabsAtBottom ? tpBottom : tpTop) {}

TvlSkinPageControl::TvlSkinPageControl(TComponent* owner, TWinControl* parent, TvlTabPosition position)
    : TvlSkinElement<TPageControl>(owner, parent, position == tpBottom), FTabPosition(position) {
    SkinDataName = "tab";
    Font = DefaultFont;
    FKeys = new TMessageHook(this, [this](MSG& msg) {
        if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
        if (!HandleAllocated() || !IsWindowVisible(Handle()) || !IsWindowEnabled(Handle()) || PageCount() < 2)
            return false;
        HWND top = GetAncestor(Handle(), GA_ROOT);
        if (msg.hwnd != top && !IsChild(top, msg.hwnd)) return false;
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        return true;
    });
}

TvlSkinPageControl::~TvlSkinPageControl() = default;

// Tabs at a side stand on top of one another: the platform lays them out
// only in rows (TCS_RIGHT is the bottom style's bit).
void TvlSkinPageControl::CreateParams(TCreateParams& params) {
    TvlSkinElement<TPageControl>::CreateParams(params);
    if (!VerticalTabs()) return;
    params.Style &= ~TCS_BOTTOM;
    params.Style |= TCS_VERTICAL | TCS_MULTILINE | (FTabPosition == tpRight ? TCS_RIGHT : 0);
}

void TvlSkinPageControl::CreateWnd() {
    TvlSkinElement<TPageControl>::CreateWnd();
    FontChanged();
    ApplyTabHeight();
    ApplyImages();
}

void TvlSkinPageControl::SetImages(TImageList* images) {
    FImages.Set(images);
    ApplyImages();
}

void TvlSkinPageControl::Notification(TComponent* component, bool removing) {
    TvlSkinElement<TPageControl>::Notification(component, removing);
    if (removing && FImages.Removed(component)) ApplyImages();
}

int TvlSkinPageControl::SheetImage(int index) const {
    int image = Pages(index)->ImageIndex;
    return image < 0 ? index : image;
}

// The platform measures the tabs with their pictures; the pictures
// themselves are drawn by the control.
void TvlSkinPageControl::ApplyImages() {
    if (!HandleAllocated()) return;
    SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    for (int i = 0; i < PageCount(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_IMAGE;
        item.iImage = FImages && FImages->Count() > i ? SheetImage(i) : -1;
        SendMessageA(Handle(), TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    Invalidate();
}

void TvlSkinPageControl::SetDefaultItemHeight(int value) {
    FDefaultItemHeight = value;
    ReadElement();
    if (!FElement) ApplyTabHeight();
}

void TvlSkinPageControl::SetTabHeight(int value) {
    FTabHeight = value;
    ApplyTabHeight();
}

void TvlSkinPageControl::ApplyTabHeight() {
    if (!HandleAllocated()) return;
    // The element's tab is at the skin's scale; the default height is at 96 DPI.
    int defaultHeight = ScaleForDpi(FDefaultItemHeight, ControlDpi(this));
    int height = FTabHeight > 0 ? FTabHeight : FElement ? FElement->TabRect.Height() : defaultHeight;
    if (height < 1) height = defaultHeight;
    SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(0, height));
    Realign();
}

void TvlSkinPageControl::ReadElement() {
    TvlSkinData* skin = SkinData();
    FElement = nullptr;
    FElementIndex = -1;
    if (!skin || skin->IsEmpty()) return;
    int index = skin->FindControlIndex(SkinDataName);
    if (index < 0) return;
    // A record of another kind counts as no element.
    FElement = dynamic_cast<TvlDataSkinTabControl*>(skin->SkinControls[static_cast<size_t>(index)].get());
    if (FElement) FElementIndex = index;
}

const TPixelImage* TvlSkinPageControl::ElementPicture(int index) const {
    const TvlSkinData* skin = SkinData();
    if (!skin || index < 0 || index >= static_cast<int>(skin->PictureList.size())) return nullptr;
    const TPixelImage& p = skin->PictureList[static_cast<size_t>(index)];
    return p.Width > 0 && p.Height > 0 ? &p : nullptr;
}

void TvlSkinPageControl::SetSkinData(TvlSkinData* skinData) {
    TvlSkinElement<TPageControl>::SetSkinData(skinData);
    if (skinData && !skinData->IsEmpty()) SkinChanged();
}

void TvlSkinPageControl::SkinChanging() {
    FElement = nullptr;
    FElementIndex = -1;
}

void TvlSkinPageControl::SkinChanged() {
    ReadElement();
    TFont font = FElement && UseSkinFont ? TFont(FElement->FontName, FElement->FontHeight, FElement->FontStyle,
                                                 FElement->FontColor)
                                         : DefaultFont;
    if (!(FElement && UseSkinFont)) font.SetHeight(ScaleFontForDpi(font.Height(), ControlDpi(this)));
    // The default font still wears the element's colour.
    if (FElement) font.SetColor(FElement->FontColor);
    if (const TvlSkinData* skin = SkinData(); skin && skin->ResourceStrData())
        font.SetCharSet(skin->ResourceStrData()->CharSet);
    Font = font;
    FontChanged();
    ApplyTabHeight();
    // A scroller of the old skin is made again with the new one.
    FreeScroller();
    UpdateScroller();
    Realign();
    if (HandleAllocated() && IsOnScreen(Handle())) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

TRect TvlSkinPageControl::TabRect(int index) const {
    RECT r{};
    if (!HandleAllocated() ||
        !SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
        return {};
    return {r.left, r.top, r.right, r.bottom};
}

int TvlSkinPageControl::TabAt(int x, int y) const {
    for (int i = 0; i < PageCount(); ++i) {
        TRect r = TabRect(i);
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return i;
    }
    return -1;
}

void TvlSkinPageControl::AdjustDisplayRect(RECT& r) const {
    int W = ClientWidth(), H = ClientHeight();
    if (FElement) {
        TMargins m = FrameMargins(*FElement);
        switch (FTabPosition) {
            case tpTop: r = {m.L, r.top + m.T - 6, W - m.R, H - m.B}; break;
            case tpBottom: r = {m.L, r.top + m.T - 4, W - m.R, r.bottom + 4 - m.B}; break;
            case tpLeft: r = {r.left + m.L - 4, r.top + m.T - 4, W - m.R, H - m.B}; break;
            case tpRight: r = {m.L, r.top + m.T - 4, r.right + 4 - m.R, H - m.B}; break;
        }
    } else {
        switch (FTabPosition) {
            case tpTop: r = {1, r.top - 5, W - 1, H - 1}; break;
            case tpBottom: r = {1, 1, W - 1, r.bottom + 3}; break;
            case tpLeft: r = {r.left - 3, r.top - 5, W - 1, H - 1}; break;
            case tpRight: r = {r.left - 3, r.top - 5, r.right + 3, H - 1}; break;
        }
    }
}

void TvlSkinPageControl::AdjustItemRect(RECT& r) const {
    if (GetWindowLongA(Handle(), GWL_STYLE) & TCS_BUTTONS) return;
    bool singleLine = !(GetWindowLongA(Handle(), GWL_STYLE) & TCS_MULTILINE);
    switch (FTabPosition) {
        case tpTop: OffsetRect(&r, singleLine ? -2 : 0, -2); break;
        case tpBottom: OffsetRect(&r, singleLine ? -2 : 0, 2); break;
        case tpLeft: OffsetRect(&r, -2, 0); break;
        case tpRight: OffsetRect(&r, 2, 0); break;
    }
}

void TvlSkinPageControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case TCM_ADJUSTRECT:
            DefaultHandler(m);
            if (!m.WParam && m.LParam) {
                ReadElement();
                AdjustDisplayRect(*reinterpret_cast<RECT*>(m.LParam));
            }
            break;
        case TCM_GETITEMRECT:
            DefaultHandler(m);
            if (m.Result && m.LParam) AdjustItemRect(*reinterpret_cast<RECT*>(m.LParam));
            break;
        case TCM_INSERTITEMA:
        case TCM_DELETEITEM:
            DefaultHandler(m);
            UpdateScroller();
            break;
        case WM_HSCROLL:
            if (m.LParam) {  // a scroll bar on a sheet speaks to its own control
                TvlSkinElement<TPageControl>::WndProc(m);
                break;
            }
            DefaultHandler(m);
            Invalidate();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TvlSkinElement<TPageControl>::WndProc(m);
            Invalidate();  // the selected tab shows where the focus is
            break;
        default: TvlSkinElement<TPageControl>::WndProc(m); break;
    }
}

void TvlSkinPageControl::OnEraseBkgnd(TMessage& m) {
    if (PageCount() > 0) {
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

void TvlSkinPageControl::OnPaint(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    TvlFBitmap bitmap;
    ComposeLook(bitmap);
    if (!bitmap.Empty()) bitmap.DrawTo(dc, 0, 0);
    EndPaint(Handle(), &ps);
    m.Result = 0;
}

void TvlSkinPageControl::OnPrintClient(TMessage& m) {
    TvlFBitmap bitmap;
    ComposeLook(bitmap);
    if (!bitmap.Empty()) bitmap.DrawTo(reinterpret_cast<HDC>(m.WParam), 0, 0);
    m.Result = 0;
}

void TvlSkinPageControl::ComposeLook(TvlFBitmap& bitmap) {
    int W = ClientWidth(), H = ClientHeight();
    if (W < 1 || H < 1) return;
    ReadElement();
    bitmap.SetSize(W, H);
    RECT display = LayoutRect();
    const TPixelImage* picture = FElement ? ElementPicture(FElement->PictureIndex) : nullptr;
    if (!FElement || !picture) {
        bitmap.Fill(ColorToRGB(clBtnFace));
        TCanvas canvas(bitmap.Canvas());
        RECT frame{display.left - 1, display.top - 1, display.right + 1, display.bottom + 1};
        canvas.FrameRect(frame, clBtnShadow);
    } else {
        // Without a strip picture the band shows the control's colour.
        bitmap.Fill(ColorToRGB(Color));
        TMargins mg = FrameMargins(*FElement);
        RECT f{display.left - mg.L, display.top - mg.T, display.right + mg.R, display.bottom + mg.B};
        if (!FElement->TabsBGRect.IsEmpty()) {
            TRect band = FTabPosition == tpTop      ? TRect{0, 0, W, f.top}
                         : FTabPosition == tpBottom ? TRect{0, f.bottom, W, H}
                         : FTabPosition == tpLeft   ? TRect{0, 0, f.left, H}
                                                    : TRect{f.right, 0, W, H};
            if (!band.IsEmpty()) TilePiece(bitmap, band, PictureView(*picture), FElement->TabsBGRect);
        }
        DrawFrame(bitmap, f);
    }
    int selected = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < PageCount(); ++i) DrawTab(bitmap, i, i == FHotTab && i != selected, i == selected);
}

void TvlSkinPageControl::DrawFrame(TvlFBitmap& bitmap, const RECT& f) {
    const TvlDataSkinTabControl& e = *FElement;
    int fw = f.right - f.left, fh = f.bottom - f.top;
    if (fw < 1 || fh < 1) return;
    TvlFrameCuts cuts{e.LTPoint, e.RTPoint, e.LBPoint, e.RBPoint, e.ClientRect};
    TvlFrameCuts target = FitFrameCuts(cuts, e.SkinRect.Width(), e.SkinRect.Height(), fw, fh);
    TvlFBitmap frame;
    ComposeTiledImage(cuts, e.SkinRect, PictureView(*ElementPicture(e.PictureIndex)), fw, fh, target, true, frame);
    if (!frame.Empty()) CopyPiece(bitmap, f.left, f.top, frame.View(), TRect{0, 0, frame.Width(), frame.Height()});
}

void TvlSkinPageControl::DrawTab(TvlFBitmap& target, int index, bool hot, bool selected) {
    TRect r = TabRect(index);
    if (r.Width() < 1 || r.Height() < 1 || r.Right <= 0 || r.Left >= target.Width()) return;
    // A side tab is drawn lying down, as a top tab, and turned at the end.
    bool vertical = VerticalTabs();
    int w = vertical ? r.Height() : r.Width(), h = vertical ? r.Width() : r.Height();
    bool focused = Focused();
    const TPixelImage* picture = FElement ? ElementPicture(FElement->PictureIndex) : nullptr;
    TvlEffectBmp image;
    TColor colour = clWindowText;
    if (FElement && picture) {
        const TvlDataSkinTabControl& e = *FElement;
        const TRect& active = e.ActiveTabRect.IsEmpty() ? e.TabRect : e.ActiveTabRect;
        const TRect& focus = e.FocusTabRect.IsEmpty() ? active : e.FocusTabRect;
        TRect source = hot && !e.MouseInTabRect.IsEmpty() ? e.MouseInTabRect
                       : selected && focused             ? focus
                       : !selected                       ? e.TabRect
                                                         : active;
        TvlFBitmap strip;
        ComposeHorizontal(e.TabLeftOffset, e.TabRightOffset, source, PictureView(*picture), w, strip);
        image.SetSize(w, h);
        if (!strip.Empty()) StretchPiece(image, TRect{0, 0, w, h}, strip.View(), TRect{0, 0, strip.Width(), strip.Height()});
        if (FTabPosition == tpBottom) {
            // The picture is turned upside down; the caption drawn next is not.
            TvlFBitmap flipped;
            image.FlipVertical(flipped);
            image.Assign(flipped.View());
        }
        colour = hot ? e.MouseInFontColor : selected && focused ? e.FocusFontColor : !selected ? e.FontColor
                                                                                              : e.ActiveFontColor;
    } else {
        image.SetSize(w, h);
        TCanvas canvas(image.Canvas());
        RECT all{0, 0, w, h};
        if (selected) {
            canvas.FillRect(all, focused ? FocusedFill : HotFill);
            canvas.FrameRect(all, clNavy);
        } else {
            canvas.FillRect(all, hot ? HotFill : clBtnFace);
        }
        colour = Font.Color();
    }
    DrawCaption(image, index, colour);
    if (selected && focused) {
        // Skins may give the focused tab the selected one's look.
        RECT mark{3, 3, w - 3, h - 3};
        DrawFocusRect(image.Canvas(), &mark);
    }
    if (vertical) {
        TvlFBitmap turned;
        if (FTabPosition == tpLeft)
            image.RotateLeft(turned);
        else
            image.RotateRight(turned);
        CopyPiece(target, r.Left, r.Top, turned.View(), TRect{0, 0, turned.Width(), turned.Height()});
        return;
    }
    CopyPiece(target, r.Left, r.Top, image.View(), TRect{0, 0, w, h});
}

// The caption, centred; with a picture for the tab the picture and the
// caption form one centred group, the caption 2 pixels right of it.
void TvlSkinPageControl::DrawCaption(TvlFBitmap& image, int index, TColor colour) {
    int w = image.Width(), h = image.Height();
    TCanvas canvas(image.Canvas());
    canvas.Font = Font;
    canvas.Font.SetColor(colour);
    SetBkMode(canvas.Handle(), TRANSPARENT);
    const std::string& caption = Pages(index)->Caption();
    if (FImages && FImages->Count() > index) {
        int iw = 0, ih = 0;
        ImageList_GetIconSize(FImages->Handle(), &iw, &ih);
        int tw = canvas.TextWidth(caption), th = canvas.TextHeight(caption);
        int left = w / 2 - (iw + tw + 2 + 2) / 2;
        if (Pages(index)->Enabled()) {
            ImageList_Draw(FImages->Handle(), SheetImage(index), canvas.Handle(), left, (h - ih) / 2, ILD_TRANSPARENT);
        } else {
            GdiFlush();
            DrawDimmedImage(image, FImages->Handle(), SheetImage(index), left, (h - ih) / 2);
        }
        canvas.TextRect(RECT{left + iw + 2, (h - th) / 2, w, h}, caption, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        canvas.TextRect(RECT{0, 0, w, h}, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    GdiFlush();
}

void TvlSkinPageControl::OnMouse(TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: SetHot(TabAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam))); break;
        case WM_MOUSELEAVE: SetHot(-1); break;
        default: break;
    }
    TvlSkinElement<TPageControl>::OnMouse(m);
}

void TvlSkinPageControl::SetHot(int index) {
    if (index == FHotTab) return;
    FOldHotTab = FHotTab;
    FHotTab = index;
    for (int i : {FOldHotTab, FHotTab}) {
        if (i < 0) continue;
        RECT r = ToRECT(TabRect(i));
        InvalidateRect(Handle(), &r, FALSE);
    }
}

void TvlSkinPageControl::OnSize(TMessage& m) {
    TvlSkinElement<TPageControl>::OnSize(m);
    UpdateScroller();
    Invalidate();
}

// The platform gives no rectangle for a tab it does not show; such a tab
// counts as hidden, and those before the first shown tab as scrolled out.
int TvlSkinPageControl::HiddenTabCount() const {
    int limit = ClientWidth() - 2 * FDefaultItemHeight - 3, hidden = 0;
    for (int i = 0; i < PageCount(); ++i) {
        TRect r = TabRect(i);
        if (r.IsEmpty() || r.Right > limit || r.Right <= 0) ++hidden;
    }
    return hidden;
}

int TvlSkinPageControl::ScrolledOutCount() const {
    int out = 0;
    for (int i = 0; i < PageCount(); ++i) {
        TRect r = TabRect(i);
        if (!r.IsEmpty() && r.Right > 0) break;
        ++out;
    }
    return out == PageCount() ? 0 : out;
}

void TvlSkinPageControl::UpdateScroller() {
    if (!HandleAllocated() || FUpdatingScroller) return;
    FUpdatingScroller = true;
    // The platform's own scroller gives way to the skinned one.
    while (HWND native = FindWindowExA(Handle(), nullptr, UPDOWN_CLASSA, nullptr)) DestroyWindow(native);
    bool singleLine = !(GetWindowLongA(Handle(), GWL_STYLE) & TCS_MULTILINE);
    int hidden = singleLine ? HiddenTabCount() : 0;
    if (hidden == 0) {
        FreeScroller();
    } else {
        if (!FScroller) {
            FScroller = new TvlSkinUpDown(this, this);
            // The page control sizes its scroller by its tab height.
            FScroller->UseSkinSize = false;
            FScroller->SetMin(0);
            FScroller->Increment = 1;
            FScroller->SkinDataName = FElement ? FElement->UpDown : std::string();
            FScroller->SetSkinData(SkinData());
            FScroller->SetMax(hidden);
            FScroller->SetPosition(ScrolledOutCount());
            FScroller->OnChange = [this](TObject*) { ScrollerChanged(); };
        }
        FScroller->SetMax(hidden);
        int w = 2 * FDefaultItemHeight, h = FDefaultItemHeight;
        FScroller->SetBounds(ClientWidth() - w, FTabPosition == tpTop ? 0 : ClientHeight() - h, w, h);
        FScroller->HandleNeeded();
        SetWindowPos(FScroller->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    FUpdatingScroller = false;
}

void TvlSkinPageControl::FreeScroller() {
    delete FScroller;
    FScroller = nullptr;
}

void TvlSkinPageControl::ScrollerChanged() {
    // The range is the tabs hidden now, which scrolling changes.
    FScroller->SetMax(HiddenTabCount());
    SendMessageA(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FScroller->Position()), 0);
}

namespace {
// Tells assistive tools which tab is selected now; it takes the focus in a
// reader's eyes.
void PageSelected(TvlSkinPageControl* pages) {
    vlAccessEvent(pages, EVENT_OBJECT_SELECTION, pages->ActivePageIndex() + 1);
    vlAccessEvent(pages, EVENT_OBJECT_FOCUS, pages->ActivePageIndex() + 1);
}
}  // namespace

bool TvlSkinPageControl::NotifyNotify(NMHDR* header, LRESULT& result) {
    bool handled = TvlSkinElement<TPageControl>::NotifyNotify(header, result);
    if (header->code == TCN_SELCHANGE) {
        if (FScroller) FScroller->SetPosition(ScrolledOutCount());
        Invalidate();
        PageSelected(this);
    }
    return handled;
}

void TvlSkinPageControl::SelectNextPage(bool forward) {
    int n = PageCount();
    if (n < 1) return;
    int next = ((ActivePageIndex() + (forward ? 1 : -1)) % n + n) % n;
    SetActivePageIndex(next);
    if (FScroller) FScroller->SetPosition(ScrolledOutCount());
    Invalidate();
    PageSelected(this);
}
