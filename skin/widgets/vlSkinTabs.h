#pragma once
// The skinned page control and its sheets. The tab control stays the
// platform's (geometry, hit testing, keys and what assistive tools read);
// the component paints its whole surface from the skin's [tab] element,
// fits the display area to the element's frame, and replaces the
// platform's tab scroller by its own.
#include <string>

#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinUpDown.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinLook.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

class TvlSkinPageControl;

class TvlSkinCustomTabSheet : public TvlSkinElement<TTabSheet> {
public:
    using TvlSkinElement::TvlSkinElement;
    TvlSkinPageControl* PageControl() const;
    // The picture of the page control's image list beside the caption; -1:
    // the one at the sheet's own position.
    int ImageIndex = -1;

protected:
    void PaintWindow(TCanvas& canvas) override;
    void OnSize(TMessage& m) override;
};

class TvlSkinTabSheet : public TvlSkinCustomTabSheet {
public:
    using TvlSkinCustomTabSheet::TvlSkinCustomTabSheet;
};

enum TvlTabPosition { tpTop, tpBottom, tpLeft, tpRight };

class TvlSkinPageControl : public TvlSkinElement<TPageControl> {
public:
    TvlSkinPageControl(TComponent* owner, TWinControl* parent, bool tabsAtBottom);
    TvlSkinPageControl(TComponent* owner, TWinControl* parent, TvlTabPosition position);
    ~TvlSkinPageControl() override;

    TvlSkinTabSheet* AddSheet(const std::string& caption) {
        return static_cast<TvlSkinTabSheet*>(TPageControl::AddSheet(caption));
    }
    TvlSkinTabSheet* Pages(int i) const { return static_cast<TvlSkinTabSheet*>(TPageControl::Pages(i)); }
    TvlTabPosition TabPosition() const { return FTabPosition; }
    bool VerticalTabs() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }
    // Pictures beside the tab captions (not owned).
    TImageList* Images() const { return FImages.get(); }
    void SetImages(TImageList* images);

    TFont DefaultFont{"Arial", 14};
    bool UseSkinFont = true;
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    void SetDefaultItemHeight(int value);
    // The tab height asked for; 0 takes the element's or DefaultItemHeight.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int value);

    // The element ([tab] record) of the last read, or null for the plain look.
    const TvlDataSkinTabControl* Element() const { return FElement; }
    int ElementIndex() const { return FElement ? FElementIndex : -1; }
    // Re-reads the element (every paint, resize and skin change).
    void ReadElement();
    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanged() override;
    void SkinChanging() override;

    // The tab under a point (client coordinates), -1 for none.
    int TabAt(int x, int y) const;
    int HotTab() const { return FHotTab; }
    TRect TabRect(int index) const;
    // The scroller shown while tabs are hidden on the single row, or null.
    TvlSkinUpDown* Scroller() const { return FScroller; }
    // Tabs that do not fit beside the scroller, and those scrolled out at the left.
    int HiddenTabCount() const;
    int ScrolledOutCount() const;
    // The tab strip and frame composed as the control shows them.
    void ComposeLook(TvlFBitmap& bitmap);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous page, wrapping.
    void SelectNextPage(bool forward);
    // The picture the element draws from, or null.
    const TPixelImage* ElementPicture(int index) const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Notification(TComponent* component, bool removing) override;
    void WndProc(TMessage& m) override;
    void OnPaint(TMessage& m) override;
    void OnPrintClient(TMessage& m) override;
    void OnEraseBkgnd(TMessage& m) override;
    void OnSize(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    TTabSheet* NewSheet(const std::string& caption) override { return new TvlSkinTabSheet(Owner(), this, caption); }
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;

private:
    void ApplyTabHeight();
    void AdjustDisplayRect(RECT& r) const;
    void AdjustItemRect(RECT& r) const;
    void DrawTab(TvlFBitmap& target, int index, bool hot, bool selected);
    void DrawFrame(TvlFBitmap& bitmap, const RECT& display);
    void UpdateScroller();
    void FreeScroller();
    void ScrollerChanged();
    void SetHot(int index);
    int SheetImage(int index) const;
    void ApplyImages();
    void DrawCaption(TvlFBitmap& image, int index, TColor colour);

    TvlDataSkinTabControl* FElement = nullptr;  // owned by the skin
    int FElementIndex = -1;
    TvlTabPosition FTabPosition;
    int FDefaultItemHeight = 20, FTabHeight = 0;
    int FHotTab = -1, FOldHotTab = -1;
    TvlSkinUpDown* FScroller = nullptr;  // a child this control frees
    TMessageHook* FKeys = nullptr;               // owned through the component tree
    bool FUpdatingScroller = false;
    TComponentRef<TImageList> FImages{this};
};
