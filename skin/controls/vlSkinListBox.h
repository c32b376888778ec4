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

// Dragging from an inner list: by hand (BeginDrag) or as soon as a pressed
// pointer moves past the platform's drag distance. Docking is not offered:
// a list of dkDock drags nothing.
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// The target's list box is asked whether it takes what `source` drags.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
// Target null: the drag ended without a drop.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

// The inner list: a native list box without its own scroll bar.
class TvlListBox : public TWinControl {
public:
    TvlListBox(TComponent* owner, TvlSkinListBox* box);
    bool OnReflected(TMessage& m) override;
    void CommandNotify(WORD code) override;
    // Sees every message of the list first; true when it used the message.
    std::function<bool(TMessage& m)> Filter;
    TvlSkinListBox* Box() const { return FBox; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;

private:
    bool PassOn(TMessage& m);
    // The drag's share of the list's mouse and keys; true when it used the message.
    bool DragInput(TMessage& m);
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

    // The inner list's own settings, passed through. Its font is the items'
    // font until the next skin change sets it again.
    TFont ListBoxFont() const;
    void SetListBoxFont(const TFont& font);
    int ListBoxTabOrder() const { return FList->TabOrder; }
    void SetListBoxTabOrder(int v) { FList->TabOrder = v; }
    bool ListBoxTabStop() const { return FList->TabStop; }
    void SetListBoxTabStop(bool v) { FList->TabStop = v; }
    TPopupMenu* ListBoxPopupMenu() const { return FList->PopupMenu; }
    void SetListBoxPopupMenu(TPopupMenu* menu) { FList->PopupMenu = menu; }
    TDragMode ListBoxDragMode = dmManual;
    TDragKind ListBoxDragKind = dkDrag;
    // The pointer over a list that takes the drag (a platform cursor id);
    // elsewhere the no-drop cursor shows.
    const char* ListBoxDragCursor = IDC_ARROW;
    TNotifyEvent OnListBoxStartDrag;
    TDragOverEvent OnListBoxDragOver;
    TDragDropEvent OnListBoxDragDrop;
    TEndDragEvent OnListBoxEndDrag;
    // Starts dragging from the inner list: at once, or when the pressed
    // pointer has moved past the drag distance.
    void BeginDrag(bool immediate);
    // Ends a drag: `drop` over a list that takes it drops there.
    void EndDrag(bool drop);
    bool Dragging() const { return FDrag.Active; }

    // The caption's buttons, where the element places them in caption mode
    // (upbuttonrect, downbuttonrect, checkbuttonrect); a button clicks when
    // the pointer is released over it after pressing it.
    enum { cbUp = 0, cbDown = 1, cbCheck = 2 };
    TRect CaptionButtonRect(int button) const;
    const TvlSkinPart& CaptionButton(int button) const { return FCaptionButtons[button]; }
    TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
    void SetEnabled(bool v) override;

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
    void OnMouse(TMessage& m) override;
    void OnCancelMode(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;

private:
    friend class TvlListBox;
    struct TDrag {
        bool Pending = false, Active = false, Accepted = false;
        POINT Start{};                     // the press, in the inner list
        POINT Last{};  // the pointer on the screen
    };
    void StartDrag(POINT screen);
    // Follows the dragging pointer (screen point): asks the list box under
    // it, sets the cursor.
    void DragMove(POINT screen);
    TvlSkinListBox* DragTargetAt(POINT screen) const;
    void PaintCaptionButtons(TvlFBitmap& bitmap);
    int CaptionButtonAt(int x, int y) const;
    void SetCaptionHover(int button);
    // Ends the press of a caption button; `click` over it fires its event.
    void ReleaseCaptionButton(bool click, int x, int y);
    TvlSkinPart FCaptionButtons[3];
    int FCaptionCaptured = -1, FCaptionHovered = -1;
    TDrag FDrag;
    TComponentRef<TvlSkinListBox> FDragTarget{this};  // the list box under the dragging pointer
    bool FListFontSet = false;
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
