#pragma once
// The skinned list box: a frame drawn from the "listbox" element holding an
// inner native list box (class "ListBox", owner-drawn from the element's item
// rectangles, so its strings stay readable from outside), optionally a
// caption bar, and internal skinned bars while the rows (or columns, or the
// widest item) do not fit. The combo box's drop-down is one in a borderless
// popup window.
#include <windows.h>

#include <functional>
#include <string>

#include "core/StringList.h"
#include "core/TextStyle.h"
#include "toolkit/Classes.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/controls/vlSkinScrollBar.h"
#include "skin/data/vlSkinControls.h"

class TvlSkinListBox;
class TImageList;

// Draws an item's content over its composed background: Cnvs is the item's
// picture (font and text colour of its state set), TxtRect the text
// rectangle in it, State the owner-draw state flags (ODS_SELECTED, ODS_FOCUS).
using TvlDrawSkinItemEvent = std::function<void(TObject* sender, TCanvas& Cnvs, int Index, int ItemWidth,
                                                int ItemHeight, const TRect& TxtRect, UINT State)>;

// The inner list: a native list box without its own scroll bar.
class TvlListBox : public TWinControl {
public:
    TvlListBox(TComponent* owner, TvlSkinListBox* box);
    bool OnReflected(TMessage& m) override;
    void CommandNotify(WORD code) override;
    // Sees every message of the list first; true when it used the message.
    std::function<bool(TMessage& m)> Filter;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;

private:
    bool PassOn(TMessage& m);
    TvlSkinListBox* FBox;
};

class TvlSkinListBox : public TvlSkinCustomControl {
public:
    TvlSkinListBox(TComponent* owner, TWinControl* parent);

    TStringList Items;  // call ItemsChanged after changing
    void ItemsChanged();
    int ItemIndex() const;
    void SetItemIndex(int index);
    int ItemHeight() const;
    bool UseSkinItemHeight = true;
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    void SetDefaultItemHeight(int v);
    // Fits the height to this many rows (0: any height).
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v);
    // A caption bar (the control's caption) over the rows: in the element's
    // captionrect and caption font when it has one, else DefaultCaptionHeight
    // high at the top of the client area in DefaultCaptionFont.
    bool CaptionMode() const { return FCaptionMode; }
    void SetCaptionMode(bool v);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    void SetDefaultCaptionHeight(int v);
    TFont DefaultCaptionFont{"Arial", 14};
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    void SetCaption(const std::string& text) override;
    // Where the caption is drawn; empty outside caption mode.
    TRect CaptionRect() const;
    // Items wider than the rows scroll sideways under a horizontal bar;
    // Left and Right in the list then move that bar.
    bool HorizontalExtent() const { return FHorizontalExtent; }
    void SetHorizontalExtent(bool v);
    // Items in this many columns side by side, scrolled by a horizontal
    // main bar (0: one column, scrolled vertically).
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    TNotifyEvent OnListBoxClick, OnListBoxDblClick;
    // The inner list's mouse and keys, passed on as they come.
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)> OnListBoxMouseDown,
        OnListBoxMouseUp;
    std::function<void(TObject* sender, TShiftState shift, int x, int y)> OnListBoxMouseMove;
    TKeyEvent OnListBoxKeyDown, OnListBoxKeyUp;
    std::function<void(TObject* sender, char& key)> OnListBoxKeyPress;

    // Several items selected at once: each click toggles one (MultiSelect),
    // or with ExtandedSelect too, Shift and Ctrl extend the selection as the
    // platform's lists do. Changing either makes the inner list again.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ExtandedSelect() const { return FExtandedSelect; }
    void SetExtandedSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    // Items kept in alphabetical order (ignoring case) when they change.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    // Characters typed within half a second of each other search together
    // for the first item starting with them; otherwise the platform's own
    // one-letter search.
    bool AutoComplete = true;
    // Content of every item: OnDrawItem when assigned; else a picture (the
    // image at ImageIndex, or at the item's own index when ImageIndex < 0;
    // without Images the glyph, its second cell for selected items when
    // NumGlyphs is 2) then, Spacing pixels on, the text.
    TvlDrawSkinItemEvent OnDrawItem;
    TImageList* Images() const { return FImages.get(); }
    void SetImages(TImageList* images);
    int ImageIndex = -1;
    TvlFBitmap Glyph;  // its bottom-left pixel's colour is transparent
    void SetGlyph(const TvlFBitmap& glyph);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int n);
    int Spacing = 2;

    TvlListBox* ListBox() const { return FList; }
    // The internal main bar while the rows (or columns) do not fit, else null.
    TvlSkinScrollBar* ScrollBar() const { return FBar; }
    // The horizontal-extent bar while the widest item does not fit, else null.
    TvlSkinScrollBar* HScrollBar() const { return FHBar; }
    // How far the items are scrolled to the left, in pixels.
    int HorzOffset() const { return FHorzOffset; }
    // The widest item in the list font, with its margins.
    int WidestItem();
    void UpdateScrollBars();
    // The height for RowCount rows.
    void FitHeight();
    void ReadElement() override;
    void SkinChanged() override;
    // Draws one item (the inner list asks for each).
    void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    void CreateWnd() override;
    void AlignControls() override;
    void BoundsChanged() override;
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void Notification(TComponent* component, bool removing) override;

private:
    friend class TvlListBox;
    // The width the picture in front of the text takes (with its spacing).
    int PictureWidth() const;
    // The client area: the rows and the bars.
    TRect ListArea() const;
    // What caption mode takes from the client area (0 when the element
    // places the caption itself).
    int CaptionBarHeight() const;
    void PaintCaption(TvlFBitmap& bitmap);
    TFont ItemFont() const;
    // Creates or frees a bar; true when it came or went.
    bool KeepBar(TvlSkinScrollBar*& bar, bool needed, TvlScrollBarKind kind);
    bool UpdateMainBar();
    bool UpdateExtentBar();
    void ApplyBarSkins();
    void MainBarChanged();
    void ApplyItemHeight();
    void RecreateList();
    // A character typed into the inner list; true when the search used it.
    bool SearchKey(char key);

    TvlListBox* FList = nullptr;
    TvlSkinScrollBar* FBar = nullptr;   // a child of this control while it exists
    TvlSkinScrollBar* FHBar = nullptr;  // likewise
    bool FHorizontalExtent = false;
    int FColumns = 0;
    int FHorzOffset = 0;
    int FWidest = -1;  // -1: to be measured again
    int FZeroWidth = 1;  // the horizontal bar's step, measured with FWidest
    TComponentRef<TImageList> FImages{this};
    int FNumGlyphs = 1;
    int FDefaultItemHeight = 20;
    int FRowCount = 0;
    bool FCaptionMode = false;
    int FDefaultCaptionHeight = 20;
    TAlignment FAlignment = taLeftJustify;
    bool FMultiSelect = false, FExtandedSelect = false, FSorted = false;
    std::string FSearch;
    DWORD FLastSearchKey = 0;
    TvlDataSkinListBox FData{""};
    bool FHasData = false;
    bool FUpdating = false;
};

// The combo box's drop-down: a skinned list box in a borderless popup window
// that never takes activation.
class TvlPopupListBox : public TvlSkinListBox {
public:
    TvlPopupListBox(TComponent* owner, HWND ownerWindow);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;

private:
    HWND FOwnerWindow;
};
