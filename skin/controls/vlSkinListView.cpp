#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "skin/controls/vlButtonParts.h"
#include "core/DisplayScale.h"
#include "core/Property.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlSkinListViews.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"
#include "toolkit/Forms.h"

// ---- wheel routing ----

namespace {
// Only one hook per application, whatever number of views exist.
TMessageHook* gWheelHook = nullptr;
TApplication* gWheelApplication = nullptr;

class TWheelHookOwner : public TComponent {
public:
    using TComponent::TComponent;
    ~TWheelHookOwner() override { gWheelHook = nullptr; }
};
}  // namespace

void EnsureWheelRouting() {
    if (!Application) return;
    if (gWheelHook && gWheelApplication == Application) return;
    gWheelApplication = Application;
    auto* owner = new TWheelHookOwner(Application);
    gWheelHook = new TMessageHook(owner, [](MSG& msg) {
        if (msg.message != WM_MOUSEWHEEL) return false;
        POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        HWND under = WindowFromPoint(p);
        if (!under || under == msg.hwnd) return false;
        DWORD pid = 0;
        if (GetWindowThreadProcessId(under, &pid) != GetCurrentThreadId()) return false;
        TWinControl* control = TWinControl::FromHandle(under);
        if (dynamic_cast<TvlWheelTarget*>(control)) {
            msg.hwnd = under;
        } else if (auto* bar = dynamic_cast<TvlSkinScrollBar*>(control)) {
            // Over a view's bar the wheel scrolls the view (a focused bar takes it itself).
            bool own = bar->CanFocused() && GetFocus() == under;
            if (!own && bar->WheelControl && bar->WheelControl->HandleAllocated())
                msg.hwnd = bar->WheelControl->Handle();
        }
        return false;
    });
}

// ---- colours the native views would take from the system ----

COLORREF MixColours(COLORREF from, COLORREF to, int part) {
    auto channel = [&](int shift) {
        const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        return static_cast<COLORREF>(a + ((b - a) * part + 128) / 256) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

namespace {
// How far from the background towards the text: grid lines that show
// without competing with the text, and an unfocused selection that stands
// out from the grid.
constexpr int kGridPart = 40;
constexpr int kInactiveSelectionPart = 64;

// The colours the skin gave a view (the system's when it gave none).
void ViewColours(HWND view, bool list, COLORREF& background, COLORREF& text) {
    background = static_cast<COLORREF>(SendMessageA(view, list ? LVM_GETBKCOLOR : TVM_GETBKCOLOR, 0, 0));
    text = static_cast<COLORREF>(SendMessageA(view, list ? LVM_GETTEXTCOLOR : TVM_GETTEXTCOLOR, 0, 0));
    if (background == CLR_NONE || background == CLR_DEFAULT) background = GetSysColor(COLOR_WINDOW);
    if (text == CLR_NONE || text == CLR_DEFAULT) text = GetSysColor(COLOR_WINDOWTEXT);
}

bool IsListView(HWND view) {
    char cls[32] = {};
    GetClassNameA(view, cls, sizeof cls);
    return lstrcmpiA(cls, WC_LISTVIEWA) == 0;
}
}  // namespace

bool DrawInactiveSelection(HWND view, NMHDR* header, LRESULT& result) {
    if (header->code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
    if (draw->dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
        return true;
    }
    if (draw->dwDrawStage != CDDS_ITEMPREPAINT) return false;
    result = CDRF_DODEFAULT;
    if (!(draw->uItemState & CDIS_SELECTED) || GetFocus() == view) return true;
    draw->uItemState &= ~CDIS_SELECTED;
    const bool list = IsListView(view);
    COLORREF background, text;
    ViewColours(view, list, background, text);
    const COLORREF back = MixColours(background, text, kInactiveSelectionPart);
    if (list) {
        auto* item = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        item->clrText = text;
        item->clrTextBk = back;
    } else {
        auto* item = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
        item->clrText = text;
        item->clrTextBk = back;
    }
    return true;
}

// ---- TvlSkinListView ----

TvlSkinListView::TvlSkinListView(TComponent* owner, TWinControl* parent, bool checkBoxes, bool columnClick)
    : TvlSkinScrolledView(owner, parent, checkBoxes, columnClick) {
    SkinDataName = "listview";
}

TvlSkinListView::~TvlSkinListView() { ReleaseHeader(); }

namespace {
DWORD NativeViewStyle(TvlViewStyle style) {
    switch (style) {
        case vsIcon: return LVS_ICON;
        case vsSmallIcon: return LVS_SMALLICON;
        case vsList: return LVS_LIST;
        default: return LVS_REPORT;
    }
}
}  // namespace

void TvlSkinListView::CreateParams(TCreateParams& params) {
    TvlSkinScrolledView::CreateParams(params);
    params.Style = (params.Style & ~LVS_TYPEMASK) | NativeViewStyle(FViewStyle);
}

void TvlSkinListView::SetViewStyle(TvlViewStyle style) {
    if (!SetIfChanged(FViewStyle, style)) return;
    if (!HandleAllocated()) return;
    LONG native = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, (native & ~LVS_TYPEMASK) | NativeViewStyle(style));
    FLastV = FLastH = 0;
    UpdateScrollBars();
    Invalidate();
}

void TvlSkinListView::CreateWnd() {
    TvlSkinScrolledView::CreateWnd();
    TakeHeader(reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0)));
}

namespace {
// The headers whose procedure is ours, and their views. A plain table:
// the platform's subclass helper looks its data up in a window property on
// every message, which under Wine is a round trip to the server, and the
// list sends its header several messages for every cell it is given.
struct TTakenHeader {
    TvlSkinListView* View;  // null once the view has let go
    WNDPROC Previous;
};
std::unordered_map<HWND, TTakenHeader>& TakenHeaders() {
    static std::unordered_map<HWND, TTakenHeader> headers;
    return headers;
}
}  // namespace

void TvlSkinListView::TakeHeader(HWND header) {
    if (header == FHeader) return;
    ReleaseHeader();
    if (!header) return;
    FHeader = header;
    FHeaderPrevious = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header, GWLP_WNDPROC));
    TakenHeaders()[header] = {this, FHeaderPrevious};
    SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TvlSkinListView::HeaderProc));
}

void TvlSkinListView::ReleaseHeader() {
    if (!FHeader) return;
    if (IsWindow(FHeader) &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FHeader, GWLP_WNDPROC)) == &TvlSkinListView::HeaderProc) {
        SetWindowLongPtrW(FHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHeaderPrevious));
        TakenHeaders().erase(FHeader);
    } else if (IsWindow(FHeader)) {
        // Someone took the procedure after us: ours stays in the chain and
        // only passes messages on, until the header goes.
        TakenHeaders()[FHeader].View = nullptr;
    } else {
        TakenHeaders().erase(FHeader);
    }
    FHeader = nullptr;
}

bool TvlSkinListView::NotifyNotify(NMHDR* header, LRESULT& result) {
    if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage == CDDS_POSTPAINT) {
            PaintGridLines(draw->hdc);
            result = CDRF_DODEFAULT;
            return true;
        }
        if (DrawInactiveSelection(Handle(), header, result)) {
            if (draw->dwDrawStage == CDDS_PREPAINT) result |= CDRF_NOTIFYPOSTPAINT;
            return true;
        }
    }
    return TvlSkinScrolledView::NotifyNotify(header, result);
}

// The native grid is drawn with a system colour (light grey, glaring on a
// dark skin) before the post-paint notice; the same lines are drawn over it:
// a line left of every column but one starting at 0, one right of the last
// column, and one on the last pixel row of every row height down the view,
// also below the last row.
void TvlSkinListView::PaintGridLines(HDC dc) {
    const auto ex = static_cast<DWORD>(SendMessageA(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    if (!(ex & LVS_EX_GRIDLINES) || (GetWindowLongA(Handle(), GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) return;
    COLORREF background, text;
    ViewColours(Handle(), true, background, text);
    const COLORREF system = GetSysColor(COLOR_3DFACE), colour = MixColours(background, text, kGridPart);
    RECT view;
    GetClientRect(Handle(), &view);
    int originX = 0;
    if (FHeader && IsWindowVisible(FHeader)) {
        RECT header;
        GetWindowRect(FHeader, &header);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&header), 2);
        view.top = header.bottom;
        originX = header.left;
    }
    TGdiPen pen = CreatePenOwned(PS_SOLID, 1, colour);
    SelectGuard selected(dc, pen.Handle());
    auto line = [&](int x1, int y1, int x2, int y2) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    };
    const int columns = FHeader ? static_cast<int>(SendMessageA(FHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int order = 0; order < columns; ++order) {
        const int index = static_cast<int>(SendMessageA(FHeader, HDM_ORDERTOINDEX, order, 0));
        RECT r{};
        SendMessageA(FHeader, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        if (r.left != 0) line(originX + r.left, view.top, originX + r.left, view.bottom);
        if (order == columns - 1) line(originX + r.right, view.top, originX + r.right, view.bottom);
    }
    if (ItemCount() > 0) {
        RECT first{};
        first.left = LVIR_BOUNDS;
        SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        const int height = first.bottom - first.top;
        if (height <= 0) return;
        int y = first.top > 1 ? first.top - 1 : height - 1 + first.top % height;
        for (; y <= view.bottom; y += height) line(view.left, y, view.right, y);
        return;
    }
    // Without rows there is no row height to ask for; the lines the list drew
    // are the only pixels of that colour at its left edge.
    for (int y = view.top; y < view.bottom; ++y)
        if (GetPixel(dc, view.left, y) == system && system != background) line(view.left, y, view.right, y);
}

void TvlSkinListView::ApplyColours(COLORREF background, COLORREF text) {
    if (!HandleAllocated()) return;
    SendMessageA(Handle(), LVM_SETBKCOLOR, 0, background);
    SendMessageA(Handle(), LVM_SETTEXTBKCOLOR, 0, background);
    SendMessageA(Handle(), LVM_SETTEXTCOLOR, 0, text);
    if (FHeader) InvalidateRect(FHeader, nullptr, TRUE);
}

bool TvlSkinListView::MovesView(UINT msg) const {
    return msg == LVM_ENSUREVISIBLE || msg == LVM_SCROLL || TvlSkinScrolledView::MovesView(msg);
}

void TvlSkinListView::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_PARENTNOTIFY:
            TvlSkinScrolledView::WndProc(m);
            if (LOWORD(m.WParam) == WM_CREATE) {
                char cls[32] = {};
                GetClassNameA(reinterpret_cast<HWND>(m.LParam), cls, sizeof cls);
                if (lstrcmpiA(cls, "SysHeader32") == 0) TakeHeader(reinterpret_cast<HWND>(m.LParam));
            }
            return;
        case WM_DESTROY:
            ReleaseHeader();
            TvlSkinScrolledView::WndProc(m);
            return;
        default: TvlSkinScrolledView::WndProc(m); return;
    }
}

void TvlSkinListView::UpdateScrollBars() {
    if (!HandleAllocated() || FFromScrollBar || FInUpdate || Width() < 6 || Height() < 6) return;
    // A bar the list does not show reads as all zero.
    auto bar = [this](int which) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (!GetScrollInfo(Handle(), which, &info)) info = SCROLLINFO{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        return info;
    };
    SCROLLINFO v = bar(SB_VERT), h = bar(SB_HORZ);
    int perPage = static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
    int items = ItemCount();
    LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    bool nativeV = style & WS_VSCROLL, nativeH = style & WS_HSCROLL;
    bool showV = false, showH = false;
    int vPage = 0, hPage = 0, vSmall = 1, vLarge = 1, hSmall = 1, hLarge = 1;
    switch (FViewStyle) {
        case vsReport:
            // The native range is left as it was when the rows all fit again.
            showV = perPage < v.nMax + 1 && perPage < items && nativeV;
            showH = Width() < h.nMax && nativeH;
            vPage = perPage;
            vLarge = std::max(1, perPage);
            hPage = Width();
            hSmall = 10;
            hLarge = std::max(1, Width() - 10);
            break;
        case vsList: {
            // Columns of items side by side: the bar counts columns.
            RECT first{};
            int itemWidth = items > 0 && ListView_GetItemRect(Handle(), 0, &first, LVIR_BOUNDS)
                                ? static_cast<int>(first.right - first.left)
                                : 0;
            if (itemWidth <= 0) itemWidth = 1;
            showH = perPage < items && nativeH;
            hPage = Width() / itemWidth;
            break;
        }
        case vsIcon:
        case vsSmallIcon: {
            RECT first{};
            int itemHeight = items > 0 && ListView_GetItemRect(Handle(), 0, &first, LVIR_BOUNDS)
                                 ? static_cast<int>(first.bottom - first.top)
                                 : 0;
            int step = std::max(1, itemHeight / 2);
            showV = Height() < v.nMax && nativeV;
            showH = Width() < h.nMax && nativeH;
            vPage = Height();
            hPage = Width();
            vSmall = vLarge = hSmall = hLarge = step;
            break;
        }
    }
    if (TvlSkinScrollBar* bar = VScrollBar(); bar && showV) {
        bar->SetRange(v.nMin, v.nMax, vPage, v.nPos);
        bar->SmallChange = vSmall;
        bar->LargeChange = vLarge;
        FLastV = bar->Position();
    }
    if (TvlSkinScrollBar* bar = HScrollBar(); bar && showH) {
        bar->SetRange(h.nMin, h.nMax, hPage, h.nPos);
        bar->SmallChange = hSmall;
        bar->LargeChange = hLarge;
        FLastH = bar->Position();
    }
    if (!showV) FLastV = 0;
    if (!showH) FLastH = 0;
    ShowBars(showV, showH);
}

void TvlSkinListView::BarChanged(bool vertical) {
    if (!HandleAllocated()) return;
    FFromScrollBar = true;
    if (vertical) {
        TvlSkinScrollBar* bar = VScrollBar();
        int delta = bar->Position() - FLastV;
        // Rows of the first item's height in the rows styles, pixels in the icon ones.
        int unit = 1;
        if (FViewStyle == vsReport || FViewStyle == vsList) unit = ItemCount() > 0 ? ItemRect(0).bottom - ItemRect(0).top : 0;
        SendMessageA(Handle(), LVM_SCROLL, 0, delta * unit);
        FLastV = bar->Position();
    } else {
        TvlSkinScrollBar* bar = HScrollBar();
        int delta = bar->Position() - FLastH;
        if (FViewStyle == vsList) {
            // The list scrolls by whole columns only.
            for (int i = 0; i < std::abs(delta); ++i)
                SendMessageA(Handle(), WM_HSCROLL, delta > 0 ? SB_LINERIGHT : SB_LINELEFT, 0);
        } else {
            SendMessageA(Handle(), LVM_SCROLL, delta, 0);
        }
        FLastH = bar->Position();
    }
    FFromScrollBar = false;
}

// ---- the header ----

LRESULT CALLBACK TvlSkinListView::HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto found = TakenHeaders().find(wnd);
    if (found == TakenHeaders().end()) return DefWindowProcW(wnd, msg, wp, lp);
    if (!found->second.View) {
        const WNDPROC previous = found->second.Previous;
        if (msg == WM_NCDESTROY) TakenHeaders().erase(found);
        return CallWindowProcW(previous, wnd, msg, wp, lp);
    }
    try {
        return found->second.View->HeaderMessage(wnd, msg, wp, lp);
    } catch (...) {
        HandleWindowException();
        return 0;
    }
}

LRESULT TvlSkinListView::HeaderMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_WINDOWPOSCHANGING: {
            // Four pixels wider, so no gap shows at the right end.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            if (!(pos->flags & SWP_NOSIZE)) pos->cx += 4;
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            if (wp) {
                PaintHeader(reinterpret_cast<HDC>(wp));
                return 0;
            }
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            PaintHeader(dc);
            EndPaint(wnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: PaintHeader(reinterpret_cast<HDC>(wp)); return 0;
        case WM_NCDESTROY: {
            WNDPROC previous = FHeaderPrevious;
            ReleaseHeader();
            return CallWindowProcW(previous, wnd, msg, wp, lp);
        }
        default: break;
    }
    LRESULT result = CallWindowProcW(FHeaderPrevious, wnd, msg, wp, lp);
    if (msg == WM_LBUTTONDOWN) {
        HDHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        int section = static_cast<int>(SendMessageA(wnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        FPressedSection = (hit.flags & HHT_ONHEADER) ? section : -1;
        FHeaderPressed = FPressedSection >= 0 && !(hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN));
        InvalidateRect(wnd, nullptr, FALSE);
    } else if (msg == WM_LBUTTONUP || msg == WM_CAPTURECHANGED) {
        if (FHeaderPressed || FPressedSection >= 0) InvalidateRect(wnd, nullptr, FALSE);
        FPressedSection = -1;
        FHeaderPressed = false;
    }
    return result;
}

namespace {
// The header look's background for one w x h piece cut from source: a
// four-point look stretches as a whole, otherwise its middle stretches
// between the two ends.
void PaintHeaderBackground(const TvlSkinLook& look, TvlFBitmap& bitmap, const TRect& source, int w, int h) {
    TvlPixelView picture = PictureView(*look.Picture);
    if (look.LeftBottomPoint.X != 0 || look.LeftBottomPoint.Y != 0) {
        TvlSkinLook fitted = look;
        int fw = w, fh = h;
        fitted.StretchMode = smBoth;
        fitted.AdjustToSkinSize(fw, fh);
        fitted.DrawSkinPicture(bitmap, look.Picture, source, w, h);
    } else {
        TvlFBitmap strip;
        ComposeHorizontal(look.LeftTopPoint.X, look.SkinRect.Width() - look.RightTopPoint.X, source, picture, w, strip);
        bitmap.SetSize(w, h);
        StretchPiece(bitmap, {0, 0, w, h}, strip.View(), {0, 0, strip.Width(), strip.Height()});
    }
}

struct THeaderImages {
    HIMAGELIST List = nullptr;
    int Width = 0, Height = 0;
};

// One section's caption, with its column's picture when it has one, placed
// as the item's justification asks.
void PaintHeaderSectionText(HWND view, HWND header, int index, HDC bdc, const TFont& font, TColor textColour,
                            const THeaderImages& images, int w, int h) {
    char text[260] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    TCanvas canvas(bdc);
    canvas.Font = font;
    canvas.Font.SetColor(textColour);
    SelectGuard g(bdc, canvas.Font.Handle());
    SetBkMode(bdc, TRANSPARENT);
    SetTextColor(bdc, ColorToRGB(textColour));
    // Padding and the picture's lead of the 96-DPI header, at the view's DPI.
    const int dpi = WindowDpi(view), lead = ScaleForDpi(10, dpi);
    // The column's own picture (its header item may only call back for it).
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_IMAGE;
    bool image = images.List && SendMessageA(view, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) &&
                 (column.fmt & LVCFMT_IMAGE) && column.iImage >= 0 &&
                 column.iImage < ImageList_GetImageCount(images.List);
    int pad = ScaleForDpi(5, dpi);
    // A caption that fits its column but not the padding (a larger font's
    // glyphs grow a little more than the scale) takes some of the padding
    // rather than an ellipsis.
    if (const int full = canvas.TextWidth(text), least = ScaleForDpi(2, dpi);
        !image && full > w - 2 * pad && full <= w - 2 * least)
        pad = (w - full) / 2;
    TRect area{pad, 0, w - pad, h};
    std::string shown = FitTextWithEllipsis(bdc, text, image ? w - images.Width - lead : area.Width());
    int textWidth = canvas.TextWidth(shown);
    int x = area.Left;
    int justify = item.fmt & HDF_JUSTIFYMASK;
    if (image) {
        // The picture leads its caption by 10 pixels, the pair
        // placed as the column's text would be.
        int left = area.Left;
        if (justify == HDF_RIGHT && shown == text)
            left = area.Right - textWidth - images.Width - lead;
        else if (justify == HDF_CENTER && shown == text)
            left = w / 2 - (images.Width + lead + textWidth) / 2;
        ImageList_Draw(images.List, column.iImage, bdc, left, (h - images.Height) / 2, ILD_TRANSPARENT);
        x = left + images.Width + lead;
    } else if (justify == HDF_RIGHT && shown == text) {
        x = area.Right - textWidth - lead;
    } else if (justify == HDF_CENTER) {
        x = w / 2 - textWidth / 2;
    }
    RECT clip{area.Left, 0, area.Right, h};
    RECT tr{x, 0, area.Right, h};
    IntersectClipRect(bdc, clip.left, clip.top, clip.right, clip.bottom);
    DrawTextA(bdc, shown.c_str(), static_cast<int>(shown.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    SelectClipRgn(bdc, nullptr);
}

// The rest of the header, right of the last section.
void PaintHeaderFiller(HDC dc, const TvlSkinLook& look, bool skinned, int left, int fillWidth, int height) {
    if (fillWidth <= 0 || height <= 0) return;
    TvlFBitmap filler(fillWidth, height);
    int rightEnd = look.SkinRect.Width() - look.RightTopPoint.X;
    if (skinned && (look.LeftBottomPoint.X != 0 || look.LeftBottomPoint.Y != 0)) {
        // The four-point look one right end wider, that end left off.
        TvlFBitmap whole;
        PaintHeaderBackground(look, whole, look.SkinRect, fillWidth + std::max(0, rightEnd), height);
        if (!whole.Empty()) CopyPiece(filler, 0, 0, whole.View(), {0, 0, fillWidth, height});
    } else if (skinned) {
        TvlPixelView picture = PictureView(*look.Picture);
        TvlFBitmap strip;
        ComposeHorizontalOpen(look.LeftTopPoint.X, rightEnd, look.SkinRect, picture, fillWidth, strip);
        if (!strip.Empty())
            StretchPiece(filler, {0, 0, fillWidth, height}, strip.View(), {0, 0, strip.Width(), strip.Height()});
    } else {
        vlLookPieces::FrameBox(filler, {0, 0, fillWidth, height}, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
    }
    filler.DrawTo(dc, left, 0);
}
}  // namespace

void TvlSkinListView::PaintHeader(HDC dc) {
    if (!FHeader) return;
    RECT client;
    GetClientRect(FHeader, &client);
    TvlSkinLook look;
    look.ReadElement(SkinData(), HeaderSkinDataName, true);
    TvlDataSkinButtonControl data{""};
    bool skinned = vlButtonParts::ReadButtonLooks(look, data) && look.Picture;
    int count = static_cast<int>(SendMessageA(FHeader, HDM_GETITEMCOUNT, 0, 0));
    int lastRight = 0, height = client.bottom;
    THeaderImages images;
    images.List = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    if (images.List) ImageList_GetIconSize(images.List, &images.Width, &images.Height);
    for (int order = 0; order < count; ++order) {
        int index = static_cast<int>(SendMessageA(FHeader, HDM_ORDERTOINDEX, order, 0));
        RECT r{};
        SendMessageA(FHeader, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        int w = r.right - r.left, h = r.bottom - r.top;
        lastRight = std::max(lastRight, static_cast<int>(r.right));
        height = h;
        if (w <= 0 || h <= 0) continue;
        bool pressed = FHeaderPressed && FPressedSection == index;
        TvlFBitmap bitmap(w, h);
        TColor textColour = clSysBase | COLOR_BTNTEXT;
        if (skinned) {
            PaintHeaderBackground(look, bitmap, pressed ? data.DownSkinRect : look.SkinRect, w, h);
            textColour = pressed ? data.DownFontColor : data.FontColor;
        } else {
            vlLookPieces::FrameBox(bitmap, {0, 0, w, h}, ColorToRGB(pressed ? vlButtonParts::kNavy : clBtnShadow),
                                   ColorToRGB(pressed ? vlButtonParts::kDownFill : clBtnFace));
        }
        HDC bdc = bitmap.Canvas();
        if (OnDrawHeaderSection)
            OnDrawHeaderSection(this, bdc, index, pressed, TRect{0, 0, w, h});
        else
            PaintHeaderSectionText(Handle(), FHeader, index, bdc, Font, textColour, images, w, h);
        GdiFlush();
        bitmap.DrawTo(dc, r.left, r.top);
    }
    PaintHeaderFiller(dc, look, skinned, lastRight, client.right + 1 - lastRight, height);
}
