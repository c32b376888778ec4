// The popup window of one menu level: loading the items, size, layout and
// placement, the skinned and the built-in look, and mouse and keyboard.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "core/DisplayScale.h"
#include "skin/access/vlAccess.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlScaledShapes.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlTextPen.h"
#include "skin/form/vlSkinMenus.h"
#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"

using namespace vlLookPieces;

namespace {
const char* const kPopupClass = "TvlSkinPopupWindow";
const char* const kShadowPopupClass = "TvlSkinPopupWindowShadow";
constexpr int kScrollBand = 10;
constexpr uint32_t kHotFill = 13811126;       // RGB 182, 189, 210
constexpr uint32_t kHotBorder = 0x00800000;   // navy

// Menus are drawn at the scale of the skin they wear, which follows the
// window they open from; without a skin at that window's.
int PopupDpi(const TvlSkinPopupWindow& w) {
    if (w.Skin && !w.Skin->IsEmpty() && w.Skin->Dpi() > 0) return w.Skin->Dpi();
    TForm* form = w.OwnerEngine ? w.OwnerEngine->Form() : nullptr;
    return form && form->HandleAllocated() ? WindowDpi(form->Handle()) : SystemDpi();
}

const char* RegisterPopupClass() {
    static const char* name = nullptr;
    if (name) return name;
    bool shadow = IsVersion51();
    WNDCLASSA wc{};
    wc.style = CS_SAVEBITS | (shadow ? 0x00020000 /* CS_DROPSHADOW */ : 0);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = shadow ? kShadowPopupClass : kPopupClass;
    RegisterClassA(&wc);
    name = wc.lpszClassName;
    return name;
}

// The name of the default glyph an item of the frame's menus shows.
bool GlyphOfItem(const std::string& name, TvlGlyph& glyph) {
    if (name == "LQR_CLOSE" || name == "TRAY_LQR_CLOSE") glyph = TvlGlyph::Close;
    else if (name == "LQR_MINITEM") glyph = TvlGlyph::Minimize;
    else if (name == "LQR_MAXITEM") glyph = TvlGlyph::Maximize;
    else if (name == "LQR_RESTORE" || name == "TRAY_LQR_RESTORE") glyph = TvlGlyph::Restore;
    else if (name == "LQR_ROLLUP") glyph = TvlGlyph::RollUp;
    else if (name == "LQR_MINTOTRAY") glyph = TvlGlyph::MinimizeToTray;
    else return false;
    return true;
}

TvlFrameCuts PopupCuts(const TvlDataSkinPopupWindow& pw) {
    return {pw.LTPoint, pw.RTPoint, pw.LBPoint, pw.RBPoint, pw.ItemsRect};
}

}  // namespace

// ---- The item ------------------------------------------------------------------

TvlSkinMenuItem::TvlSkinMenuItem(TvlSkinPopupWindow* parent, TMenuItem* menuItem, const TvlDataSkinMenuItem* itemData,
                                 const TPixelImage* objectPicture)
    : Parent(parent), MenuItem(menuItem), ItemData(itemData), ObjectPicture(objectPicture) {}

bool TvlSkinMenuItem::CanMorph() const {
    if (!Morphing() || !Visible) return false;
    return Highlighted() ? MorphFactor < 1 : MorphFactor > 0;
}

// ---- Creation --------------------------------------------------------------------

TvlSkinPopupWindow::TvlSkinPopupWindow(TvlSkinMenu* engine, TvlSkinData* skin)
    : TCustomControl(nullptr, nullptr), OwnerEngine(engine), Skin(skin) {
    TControl::SetVisible(false);
    if (skin && !skin->IsEmpty()) {
        WindowBitmap = SkinPicture(skin, skin->PopupWindow.WindowPictureIndex);
        if (WindowBitmap) {
            PW = &skin->PopupWindow;
            MaskBitmap = SkinPicture(skin, skin->PopupWindow.MaskPictureIndex);
        }
        for (const auto& rec : skin->SkinObjects)
            if (auto* item = dynamic_cast<const TvlDataSkinMenuItem*>(rec.get())) {
                MenuItemData = item;
                break;
            }
    }
}

TvlSkinPopupWindow::~TvlSkinPopupWindow() {
    BeginDestroy();
    HoverTimer.Stop();
    BlendTimer.Stop();
    ScrollTimer.Stop();
    DestroyHandle();
}

void TvlSkinPopupWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = RegisterPopupClass();
    params.Style = WS_POPUP | WS_CLIPSIBLINGS;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    TForm* form = OwnerEngine->Form();
    params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TvlSkinPopupWindow::Notification(TComponent* component, bool removing) {
    TCustomControl::Notification(component, removing);
    if (!removing) return;
    bool shown = false;
    for (auto& item : ShownItems)
        if (item->MenuItem == component) {
            item->MenuItem = nullptr;
            shown = true;
        }
    if (shown && !Destroying()) OwnerEngine->CloseAllLater();
}

int TvlSkinPopupWindow::IndexOf(const TvlSkinMenuItem* item) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (ShownItems[static_cast<size_t>(i)].get() == item) return i;
    return -1;
}

void TvlSkinPopupWindow::LoadItems(TMenuItem* items, int startIndex) {
    SourceItem = items;
    bool skinFont = PW && MenuItemData && OwnerEngine->UseSkinFont;
    ItemFont = skinFont ? TFont(MenuItemData->FontName, MenuItemData->FontHeight, MenuItemData->FontStyle)
                        : OwnerEngine->DefaultMenuItemFont;
    if (!skinFont) ItemFont.SetHeight(ScaleFontForDpi(ItemFont.Height(), PopupDpi(*this)));
    if (Skin && Skin->ResourceStrData())
        ItemFont.SetCharSet(Skin->ResourceStrData()->CharSet);
    else
        ItemFont.SetCharSet(OwnerEngine->DefaultMenuItemFont.CharSet());
    TMenu* menu = items->GetParentMenu();
    Images = menu ? menu->Images() : nullptr;
    ImageColumnWidth = Px(19);
    if (Images) {
        int iw = 0, ih = 0;
        ImageList_GetIconSize(Images->Handle(), &iw, &ih);
        ImageColumnWidth = iw + Px(5);
    }
    const TPixelImage* picture = MenuItemData ? SkinPicture(Skin, MenuItemData->ActivePictureIndex) : nullptr;
    const TvlDataSkinMenuItem* data = PW ? MenuItemData : nullptr;
    for (int i = std::max(startIndex, 0); i < items->Count(); ++i) {
        TMenuItem* item = items->Item(i);
        // The action first: it may hide the item, show it again, or change
        // what it shows.
        if (TAction* action = item->Action()) action->Update();
        if (!item->Visible) continue;
        ShownItems.push_back(std::make_unique<TvlSkinMenuItem>(this, item, data, picture));
        // A menu item that goes while it is shown closes the menu first.
        FreeNotification(item);
    }
}

int TvlSkinPopupWindow::ItemHeight(const TvlSkinMenuItem& item) const {
    if (HasSkin()) return item.IsSeparator() ? MenuItemData->DividerRect.Height() : MenuItemData->SkinRect.Height();
    return Px(item.IsSeparator() ? 4 : OwnerEngine->DefaultMenuItemHeight);
}

int TvlSkinPopupWindow::Px(int length) const { return ScaleForDpi(length, PopupDpi(*this)); }

TFont TvlSkinPopupWindow::FontFor(const TvlSkinMenuItem& item) const {
    TFont font = ItemFont;
    if (item.MenuItem && item.MenuItem->Default) font.SetStyle(font.Style() | fsBold);
    return font;
}

int TvlSkinPopupWindow::ItemTextWidth(HDC dc, const TvlSkinMenuItem& item) const {
    if (!item.MenuItem || item.IsSeparator()) return 0;
    std::string text = item.MenuItem->Caption;
    if (item.MenuItem->ShortCut != scNone) text += "  " + ShortCutToText(item.MenuItem->ShortCut);
    TFont font = FontFor(item);
    SelectGuard selected(dc, font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left + Px(2);
}

void TvlSkinPopupWindow::CalcSize(int& w, int& h) {
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    int widest = 0;
    for (const auto& item : ShownItems) widest = std::max(widest, ItemTextWidth(dc, *item));
    w = widest + ImageColumnWidth + Px(19);
    int frame = 2 * Px(2);
    if (PW) {
        w += WindowBitmap->Width - PW->ItemsRect.Width();
        if (MenuItemData) w += MenuItemData->SkinRect.Width() - MenuItemData->TextRect.Width();
        frame = WindowBitmap->Height - PW->ItemsRect.Height();
    } else {
        w += Px(10);
    }
    h = frame;
    for (const auto& item : ShownItems) h += ItemHeight(*item);
    Scroll = ScrollLimited = false;
    int limit = OwnerEngine->MaxMenuItemsInWindow;
    if (limit > 0 && limit < ItemCount()) {
        int itemHeight = HasSkin() ? MenuItemData->SkinRect.Height() : Px(OwnerEngine->DefaultMenuItemHeight);
        h = limit * itemHeight + frame + 2 * Px(kScrollBand);
        Scroll = ScrollLimited = true;
    }
    int workHeight = OwnerEngine->WorkArea.Height();
    if (workHeight > 0 && h > workHeight) {
        h = workHeight;
        Scroll = true;
    }
}

void TvlSkinPopupWindow::LayoutItems() {
    int band = Px(kScrollBand);
    int y = ItemsRect.Top + (Scroll ? band : 0);
    int bottom = ItemsRect.Bottom - (Scroll ? band : 0);
    ShownCount = 0;
    bool ended = false;
    for (int i = 0; i < ItemCount(); ++i) {
        TvlSkinMenuItem& item = *ShownItems[static_cast<size_t>(i)];
        if (i < FirstShownIndex || ended) {
            item.Visible = false;
            continue;
        }
        int h = ItemHeight(item);
        item.ItemBounds = {ItemsRect.Left, y, ItemsRect.Right, y + h};
        if (y + h > bottom) {
            item.Visible = false;
            ended = true;
            continue;
        }
        item.Visible = true;
        ++ShownCount;
        y += h;
    }
    // An item scrolled out of sight forgets its highlight and morph.
    for (auto& item : ShownItems)
        if (!item->Visible && item->MorphFactor != 0) {
            item->Active = item->Down = false;
            item->MorphFactor = 0;
        }
}

void TvlSkinPopupWindow::Open(const TRect& anchor, TMenuItem* items, int startIndex, bool isSubmenu, bool popupUp) {
    IsSubmenu = isSubmenu;
    LoadItems(items, startIndex);
    int w = 0, h = 0;
    CalcSize(w, h);
    if (PW) {
        int pw = WindowBitmap->Width, ph = WindowBitmap->Height;
        ItemsRect = {PW->ItemsRect.Left, PW->ItemsRect.Top, PW->ItemsRect.Right + (w - pw),
                     PW->ItemsRect.Bottom + (h - ph)};
    } else {
        int inset = Px(2);
        ItemsRect = {inset, inset, w - inset, h - inset};
    }
    FirstShownIndex = 0;
    LayoutItems();
    vlMenus::TPlacement at = vlMenus::PlaceWindow(anchor, OwnerEngine->WorkArea, w, h, ItemsRect.Top, isSubmenu,
                                                  popupUp, Scroll, ScrollLimited);
    AnchorX = at.X;
    AnchorY = at.Y;
    SetBoundsByLayout(AnchorX, AnchorY, w, h);
    HWND wnd = Handle();
    if (PW && MaskBitmap) {
        TvlFrameCuts cuts = PopupCuts(*PW);
        TvlFrameCuts target = FitFrameCuts(cuts, WindowBitmap->Width, WindowBitmap->Height, w, h);
        if (HRGN rgn = ComposeFrameRegion(PictureView(*MaskBitmap), cuts, w, h, target))
            SetWindowRgn(wnd, rgn, FALSE);  // the system's from here on
    }
    bool layered = SupportsLayeredWindows() && OwnerEngine->AlphaBlend;
    bool fade = layered && OwnerEngine->AlphaBlendAnimation && OwnerEngine->First;
    if (layered) {
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(wnd, fade ? 0 : OwnerEngine->AlphaBlendValue);
    }
    TControl::SetVisible(true);
    SetWindowPos(wnd, HWND_TOPMOST, AnchorX, AnchorY, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (fade) {
        for (int a = 3;; a += 3) {
            int v = std::min<int>(a, OwnerEngine->AlphaBlendValue);
            SetWindowAlpha(wnd, v);
            if (v >= OwnerEngine->AlphaBlendValue) break;
        }
    }
    GetCursorPos(&FLastCursor);
    HoverTimer.Start(wnd);
    vlAccessEvent(this, EVENT_SYSTEM_MENUPOPUPSTART);
    HotItem = -1;
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i)->Selectable()) {
            Item(i)->Preselected = true;
            SetHot(i, true);
            break;
        }
}

void TvlSkinPopupWindow::CloseWindow() {
    HoverTimer.Stop();
    BlendTimer.Stop();
    ScrollTimer.Stop();
    ScrollDirection = 0;
    if (HandleAllocated() && IsWindowVisible(Handle())) vlAccessEvent(this, EVENT_SYSTEM_MENUPOPUPEND);
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    TControl::SetVisible(false);
    for (auto& item : ShownItems)
        if (item->MenuItem) RemoveFreeNotification(item->MenuItem);
}

int TvlSkinPopupWindow::ItemAt(int x, int y) const {
    for (int i = 0; i < ItemCount(); ++i) {
        const TvlSkinMenuItem& item = *ShownItems[static_cast<size_t>(i)];
        if (item.Visible && item.ItemBounds.Contains(x, y)) return i;
    }
    return -1;
}

TRect TvlSkinPopupWindow::ItemScreenRect(int index) const {
    return Offset(Item(index)->ItemBounds, AnchorX, AnchorY);
}

// ---- Painting ------------------------------------------------------------------------

TRect TvlSkinPopupWindow::TopMarker() const {
    if (!PW) return {Px(3), Px(3), Width() - Px(3), Px(13)};
    return {ItemsRect.Left, ItemsRect.Top, ItemsRect.Right, ItemsRect.Top + Px(kScrollBand)};
}

TRect TvlSkinPopupWindow::BottomMarker() const {
    if (!PW) return {Px(3), Height() - Px(10), Width() - Px(3), Height() - Px(3)};
    return {ItemsRect.Left, ItemsRect.Bottom - Px(kScrollBand), ItemsRect.Right, ItemsRect.Bottom};
}

void TvlSkinPopupWindow::Compose(TvlFBitmap& bitmap) {
    ++FCompositions;
    int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    if (PW) {
        TvlFrameCuts cuts = PopupCuts(*PW);
        int pw = WindowBitmap->Width, ph = WindowBitmap->Height;
        TvlFrameCuts target = FitFrameCuts(cuts, pw, ph, w, h);
        TvlStretch stretch{PW->LeftStretch, PW->TopStretch, PW->RightStretch, PW->BottomStretch};
        ComposeFrameImage(cuts, {0, 0, pw, ph}, PictureView(*WindowBitmap), w, h, target, Scroll, stretch, bitmap);
    } else {
        bitmap.SetSize(w, h);
        bitmap.Fill(ColorToRGB(clWindow));
        int band = Images ? ImageColumnWidth + Px(2) : Px(21);
        FillBox(bitmap, {0, 0, band, h}, ColorToRGB(clBtnFace));
        OutlineBox(bitmap, {0, 0, w, h}, ColorToRGB(clBtnShadow));
        OutlineBox(bitmap, {1, 1, w - 1, h - 1}, ColorToRGB(clWindow));
    }
    for (const auto& item : ShownItems)
        if (item->Visible && item->MenuItem) DrawItem(bitmap, *item);
    if (Scroll) DrawScrollMarkers(bitmap);
}

void TvlSkinPopupWindow::DrawScrollMarkers(TvlFBitmap& bitmap) {
    uint32_t normal = PW ? PW->ScrollMarkerColor : ColorToRGB(clBtnShadow);
    uint32_t active = PW ? PW->ScrollMarkerActiveColor : ColorToRGB(clBtnText);
    if (!PW) {
        // The bands lie on the items' background.
        FillBox(bitmap, TopMarker(), ColorToRGB(clWindow));
        FillBox(bitmap, BottomMarker(), ColorToRGB(clWindow));
    }
    const int dpi = PopupDpi(*this);
    DrawArrow(bitmap, TopMarker(), ScrollDirection == 1 ? active : normal, 3, dpi);
    DrawArrow(bitmap, BottomMarker(), ScrollDirection == 2 ? active : normal, 4, dpi);
}

void TvlSkinPopupWindow::DrawItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item) {
    GdiFlush();
    if (item.ItemData)
        DrawSkinItem(bitmap, item);
    else
        DrawPlainItem(bitmap, item);
}

void TvlSkinPopupWindow::DrawSkinItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item) {
    const TvlDataSkinMenuItem& d = *item.ItemData;
    const TRect& b = item.ItemBounds;
    int w = b.Width();
    TvlFBitmap look;
    if (item.ObjectPicture) {
        TvlPixelView picture = PictureView(*item.ObjectPicture);
        if (item.IsSeparator()) {
            ComposeHorizontal(d.DividerLeftOffset, d.DividerRightOffset, d.DividerRect, picture, w, look);
        } else if (item.Morphing() && item.CanMorph()) {
            TvlEffectBmp normal;
            TvlFBitmap active;
            ComposeHorizontal(d.ItemLeftOffset, d.ItemRightOffset, d.SkinRect, picture, w, normal);
            ComposeHorizontal(d.ItemLeftOffset, d.ItemRightOffset, d.ActiveSkinRect, picture, w, active);
            normal.MorphKind(static_cast<int>(d.MorphKind), active, item.MorphFactor);
            look = std::move(normal);
        } else {
            const TRect& source = item.Highlighted() && !d.ActiveSkinRect.IsEmpty() ? d.ActiveSkinRect : d.SkinRect;
            ComposeHorizontal(d.ItemLeftOffset, d.ItemRightOffset, source, picture, w, look);
        }
    }
    if (!look.Empty()) CopyPiece(bitmap, b.Left, b.Top, look, {0, 0, look.Width(), std::min(look.Height(), b.Height())});
    if (item.IsSeparator()) return;
    TRect text = Offset(d.TextRect, b.Left, b.Top);
    text.Right += w - d.SkinRect.Width();
    uint32_t colour = item.Highlighted() ? d.ActiveFontColor : item.Enabled() ? d.FontColor : d.UnEnabledFontColor;
    DrawItemContent(bitmap, item, text, ImageColumnWidth, Px(16), colour, text.Left + Px(2));
}

void TvlSkinPopupWindow::DrawPlainItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item) {
    const TRect& b = item.ItemBounds;
    int column = Images ? ImageColumnWidth : Px(19);
    bool hot = item.Highlighted() && !item.IsSeparator();
    if (hot) {
        FillBox(bitmap, b, kHotFill);
        OutlineBox(bitmap, b, kHotBorder);
    } else {
        FillBox(bitmap, {b.Left, b.Top, b.Left + column, b.Bottom}, ColorToRGB(clBtnFace));
        FillBox(bitmap, {b.Left + column, b.Top, b.Right, b.Bottom}, ColorToRGB(clWindow));
    }
    if (item.IsSeparator()) {
        HLine(bitmap, b.Left + column, b.Right, b.Top + b.Height() / 2, ColorToRGB(clBtnShadow));
        return;
    }
    int inset = Px(2);
    TRect content{b.Left + inset, b.Top + inset, b.Right - inset, b.Bottom - inset};
    uint32_t colour = ColorToRGB(hot || item.Enabled() ? clWindowText : clBtnShadow);
    DrawItemContent(bitmap, item, content, column, Px(19), colour, content.Left + Px(3));
}

void TvlSkinPopupWindow::DrawItemContent(TvlFBitmap& bitmap, const TvlSkinMenuItem& item, const TRect& r,
                                         int column, int rightGap, uint32_t colour, int markLeft) {
    TMenuItem* mi = item.MenuItem;
    int middle = r.Top + r.Height() / 2;
    if (mi->OnDrawItem) {
        RECT tr{r.Left, r.Top, r.Right, r.Bottom};
        mi->OnDrawItem(mi, bitmap.Canvas(), tr, item.Highlighted());
        GdiFlush();
        return;
    }
    // Marks and pictures first (pixels), then the texts (through the platform).
    bool hasImage = Images && mi->ImageIndex >= 0 && mi->ImageIndex < ImageList_GetImageCount(Images->Handle());
    TvlGlyph glyph;
    if (hasImage) {
        int iw = 0, ih = 0;
        ImageList_GetIconSize(Images->Handle(), &iw, &ih);
        int x = r.Left + Px(2), y = middle - ih / 2;
        if (mi->Checked) OutlineBox(bitmap, {x - 1, y - 1, x + iw + 1, y + ih + 1}, colour);
        HDC dc = bitmap.Canvas();
        if (mi->Enabled) {
            ImageList_Draw(Images->Handle(), mi->ImageIndex, dc, x, y, ILD_TRANSPARENT);
        } else {
            IMAGELISTDRAWPARAMS p{};
            p.cbSize = sizeof p;
            p.himl = Images->Handle();
            p.i = mi->ImageIndex;
            p.hdcDst = dc;
            p.x = x;
            p.y = y;
            p.rgbBk = CLR_NONE;
            p.fStyle = ILD_TRANSPARENT;
            p.fState = ILS_SATURATE;
            ImageList_DrawIndirect(&p);
        }
        GdiFlush();
    } else if (GlyphOfItem(mi->Name, glyph)) {
        DrawDefaultGlyph(bitmap, glyph, r.Left + Px(2), middle - Px(4), colour, PopupDpi(*this));
    } else if (mi->Checked && mi->RadioItem) {
        int x = markLeft, y = middle - Px(3);
        // A 6 × 6 filled circle at 96 DPI, row by row.
        static const int rows[6][2] = {{2, 4}, {1, 5}, {0, 6}, {0, 6}, {1, 5}, {2, 4}};
        std::vector<TvlShape> strokes;
        for (int i = 0; i < 6; ++i) strokes.push_back({TvlShape::Line, {x + rows[i][0], y + i}, {x + rows[i][1], y + i}});
        DrawShapes(bitmap, ScaleShapes(strokes, {x, y}, PopupDpi(*this)), colour);
    } else if (mi->Checked) {
        int x = markLeft, y = middle - Px(4);
        std::vector<TvlShape> strokes;
        for (int i = 0; i < 3; ++i) {
            strokes.push_back({TvlShape::Line, {x, y + 5 - i}, {x + 2, y + 7 - i}});
            strokes.push_back({TvlShape::Line, {x + 2, y + 7 - i}, {x + 7, y + 2 - i}});
        }
        DrawShapes(bitmap, ScaleShapes(strokes, {x, y}, PopupDpi(*this)), colour);
    }
    if (mi->Count() > 0) {
        // The submenu's arrow: four columns narrowing to its point.
        int x = r.Right - Px(7), y = middle - Px(4);
        std::vector<TvlShape> strokes;
        for (int i = 0; i < 4; ++i) strokes.push_back({TvlShape::Line, {x + i, y + i}, {x + i, y + 8 - i}});
        DrawShapes(bitmap, ScaleShapes(strokes, {x, y}, PopupDpi(*this)), colour);
    }
    TvlTextPen pen(bitmap, FontFor(item));
    SetTextColor(pen.DC(), colour);
    RECT measure{r.Left + column, 0, r.Right - rightGap, 0};
    const std::string& caption = mi->Caption;
    DrawTextA(pen.DC(), caption.c_str(), static_cast<int>(caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    int ch = measure.bottom - measure.top;
    int top = middle - ch / 2;
    RECT place{measure.left + 1, top, std::max<LONG>(measure.right + 1, r.Right - rightGap), top + ch};
    DrawTextA(pen.DC(), caption.c_str(), static_cast<int>(caption.size()), &place, DT_SINGLELINE | DT_LEFT);
    if (mi->ShortCut != scNone) {
        std::string shortcut = ShortCutToText(mi->ShortCut);
        RECT sr{r.Left + column, top, r.Right - rightGap, top + ch};
        DrawTextA(pen.DC(), shortcut.c_str(), static_cast<int>(shortcut.size()), &sr,
                  DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX);
    }
}

void TvlSkinPopupWindow::OnPaint(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    Compose(FBuffer);
    if (!FBuffer.Empty()) FBuffer.DrawTo(dc, 0, 0);
    EndPaint(Handle(), &ps);
    m.Result = 0;
}

void TvlSkinPopupWindow::OnPrintClient(TMessage& m) {
    Compose(FBuffer);
    if (!FBuffer.Empty()) FBuffer.DrawTo(reinterpret_cast<HDC>(m.WParam), 0, 0);
    m.Result = 0;
}

void TvlSkinPopupWindow::Repaint() {
    if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
    Compose(FBuffer);
    HDC dc = GetDC(Handle());
    if (!FBuffer.Empty()) FBuffer.DrawTo(dc, 0, 0);
    ReleaseDC(Handle(), dc);
}

void TvlSkinPopupWindow::RedrawItem(int index) {
    if (index < 0 || index >= ItemCount() || !HandleAllocated() || !IsWindowVisible(Handle())) return;
    TvlSkinMenuItem& item = *ShownItems[static_cast<size_t>(index)];
    if (!item.Visible || !item.MenuItem) return;
    if (FBuffer.Width() != Width() || FBuffer.Height() != Height()) {
        Repaint();
        return;
    }
    if (item.Morphing() && item.CanMorph() && !BlendTimer.Enabled()) {
        StartMorph();
        return;
    }
    DrawItem(FBuffer, item);
    GdiFlush();
    HDC dc = GetDC(Handle());
    const TRect& b = item.ItemBounds;
    BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), FBuffer.Canvas(), b.Left, b.Top, SRCCOPY);
    ReleaseDC(Handle(), dc);
}

void TvlSkinPopupWindow::StartMorph() { BlendTimer.Start(Handle()); }

void TvlSkinPopupWindow::MorphTick() {
    bool moved = false;
    std::vector<int> changed;
    for (int i = 0; i < ItemCount(); ++i) {
        TvlSkinMenuItem& item = *Item(i);
        if (!item.Visible) {
            if (item.MorphFactor != 0) {
                item.Active = item.Down = false;
                item.MorphFactor = 0;
            }
            continue;
        }
        if (!item.CanMorph()) continue;
        item.MorphFactor = std::clamp(item.MorphFactor + (item.Highlighted() ? 0.2 : -0.2), 0.0, 1.0);
        moved = true;
        changed.push_back(i);
    }
    if (!moved) {
        BlendTimer.Stop();
        return;
    }
    PaintItems(changed);
}

void TvlSkinPopupWindow::PaintItems(const std::vector<int>& indexes) {
    if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
    if (FBuffer.Width() != Width() || FBuffer.Height() != Height()) {
        Repaint();
        return;
    }
    for (int i : indexes) DrawItem(FBuffer, *ShownItems[static_cast<size_t>(i)]);
    GdiFlush();
    HDC dc = GetDC(Handle());
    for (int i : indexes) {
        const TRect& b = ShownItems[static_cast<size_t>(i)]->ItemBounds;
        BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), FBuffer.Canvas(), b.Left, b.Top, SRCCOPY);
    }
    ReleaseDC(Handle(), dc);
}
