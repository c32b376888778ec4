#pragma once
// The skinned list view and tree view: the platform's controls with their
// own scroll bars suppressed (the native scroll state stays valid and the
// windows keep their native classes and messages), each linked to up to two
// external skinned scroll bars beside it in the same parent that it shows,
// hides and keeps in step. The list view paints its column header from a
// button element ("resizebutton").
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinScrollBar.h"
#include "skin/data/vlSkinLook.h"
#include "toolkit/ComCtrls.h"

// Routes the mouse wheel to the skinned view or memo under the pointer
// rather than to the focused window; installed once per application.
void EnsureWheelRouting();
// A window that wants the wheel when the pointer is over it.
class TvlWheelTarget {
public:
    virtual ~TvlWheelTarget() = default;
};

// Custom draw for both views: a selected row or node shown while the view
// has not the focus gets the view's text on a tint of its background towards
// the text, so it fits a dark skin as well as a light one. True when it
// answered the notification.
bool DrawInactiveSelection(HWND view, NMHDR* header, LRESULT& result);
// `part` 256ths of the way from one colour to another.
COLORREF MixColours(COLORREF from, COLORREF to, int part);

// What both views share: the suppressed native bars, the links to the
// external ones and the skin's font and colours.
template <class Base>
class TvlSkinScrolledView : public TvlSkinElement<Base>, public TvlWheelTarget {
public:
    template <class... Args>
    explicit TvlSkinScrolledView(Args&&... args) : TvlSkinElement<Base>(std::forward<Args>(args)...) {
        EnsureWheelRouting();
    }
    ~TvlSkinScrolledView() override {
        for (TvlSkinScrollBar* bar : {FHBar.get(), FVBar.get()})
            if (bar && bar->WheelControl == this) bar->WheelControl = nullptr;
    }

    bool UseSkinFont = true;
    TFont DefaultFont{"Arial", 14};
    TColor DefaultColor = clWindow;

    TvlSkinScrollBar* HScrollBar() const { return FHBar.get(); }
    TvlSkinScrollBar* VScrollBar() const { return FVBar.get(); }
    void SetHScrollBar(TvlSkinScrollBar* bar) { LinkBar(FHBar, bar, false); }
    void SetVScrollBar(TvlSkinScrollBar* bar) { LinkBar(FVBar, bar, true); }

    // Reads the native scroll state and shows, hides and sets the bars.
    virtual void UpdateScrollBars() = 0;

    void SetSkinData(TvlSkinData* skin) override {
        TvlSkinElement<Base>::SetSkinData(skin);
        if (skin && !skin->IsEmpty()) SkinChanged();
    }
    void SkinChanging() override { FLook.ElementIndex = -1; }
    // Font and colours from the element (or the defaults), then the bars.
    void SkinChanged() override {
        FLook.ReadElement(this->SkinData(), this->SkinDataName, false);
        auto* data = FLook.template ElementAs<TvlDataSkinFontAndBGControl>();
        TFont font = DefaultFont;
        TColor background = DefaultColor;
        if (data) {
            if (UseSkinFont) font = TFont(data->FontName, data->FontHeight, data->FontStyle);
            font.SetColor(data->FontColor);
            background = data->BGColor;
        }
        const TvlSkinData* skin = this->SkinData();
        if (skin && skin->ResourceStrData()) font.SetCharSet(skin->ResourceStrData()->CharSet);
        this->Font = font;
        this->FontChanged();
        ApplyColours(ColorToRGB(background), ColorToRGB(font.Color()));
        UpdateScrollBars();
        // The skin may have given the bars another breadth.
        if ((FHBar || FVBar) && this->Parent()) this->Parent()->Realign();
        this->Invalidate();
    }
    // Without an element the defaults are the look, so they show at once.
    void SetDefaultFont(const TFont& font) {
        DefaultFont = font;
        ApplyDefaults();
    }
    void SetDefaultColor(TColor color) {
        DefaultColor = color;
        ApplyDefaults();
    }
    const TvlSkinLook& SkinLook() const { return FLook; }

    void SetVisible(bool v) override {
        TvlSkinElement<Base>::SetVisible(v);
        if (FVBar) FVBar->SetVisible(v && FVShown);
        if (FHBar) FHBar->SetVisible(v && FHShown);
    }

protected:
    virtual void ApplyColours(COLORREF background, COLORREF text) = 0;
    // A linked bar moved: scroll the view to it.
    virtual void BarChanged(bool vertical) = 0;

    void CreateParams(TCreateParams& params) override {
        TvlSkinElement<Base>::CreateParams(params);
        params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
        params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
    void CreateWnd() override {
        TvlSkinElement<Base>::CreateWnd();
        if (this->SkinData() && !this->SkinData()->IsEmpty()) SkinChanged();
    }
    // The native bars take no room and are never drawn.
    void OnNcCalcSize(TMessage& m) override { m.Result = 0; }
    void OnNcPaint(TMessage& m) override { m.Result = 0; }

    void Notification(TComponent* component, bool removing) override {
        TvlSkinElement<Base>::Notification(component, removing);
        if (!removing) return;
        FHBar.Removed(component);
        FVBar.Removed(component);
    }

    // Shows or hides the bars; when one changed and the view is aligned,
    // the parent lays its children out again.
    void ShowBars(bool showV, bool showH) {
        bool visible = this->Visible();
        FVShown = showV;
        FHShown = showH;
        bool changed = false;
        FInUpdate = true;
        if (FVBar && FVBar->Visible() != (showV && visible)) {
            FVBar->SetVisible(showV && visible);
            changed = true;
        }
        if (FHBar && FHBar->Visible() != (showH && visible)) {
            FHBar->SetVisible(showH && visible);
            changed = true;
        }
        if (FHBar && FVBar) FHBar->SetBoth(FVBar->Visible());
        if (changed && this->Align() != alNone && this->Parent()) {
            this->Parent()->Realign();
            // A change made while the parent lays out its children (our own
            // resize) is not laid out by it: once more when that is over.
            if (!FRealignPosted && this->HandleAllocated())
                FRealignPosted = PostMessageA(this->Handle(), kRealignMessage, 0, 0) != 0;
        }
        FInUpdate = false;
        // A narrower or lower view may need the other bar now.
        if (changed && ++FRelayouts < 3) UpdateScrollBars();
        FRelayouts = 0;
    }

    // Whether a message may have moved the view (the view adds its own
    // scrolling messages): after it the bars follow. Drawing turned back on
    // after a fill is when the control works out its range, so the bars are
    // in place before the first paint, not moved by it.
    virtual bool MovesView(UINT msg) const {
        switch (msg) {
            case WM_SETREDRAW:
            case WM_SIZE:
            case WM_KEYDOWN:
            case WM_LBUTTONUP:
            case WM_MOUSEWHEEL:
            case WM_VSCROLL:
            case WM_HSCROLL:
            case WM_PAINT: return true;
            default: return false;
        }
    }

    void WndProc(TMessage& m) override {
        if (m.Msg != kRealignMessage) {
            TvlSkinElement<Base>::WndProc(m);
            if (MovesView(m.Msg) && !FInUpdate) UpdateScrollBars();
            return;
        }
        FRealignPosted = false;
        if (this->Parent()) this->Parent()->Realign();
        UpdateScrollBars();
        m.Result = 0;
    }

    void ApplyDefaults() {
        if (this->HandleAllocated() && !FLook.template ElementAs<TvlDataSkinFontAndBGControl>()) SkinChanged();
    }

    static constexpr UINT kRealignMessage = WM_APP + 0x3E10;
    bool FInUpdate = false;
    bool FRealignPosted = false;
    TvlSkinLook FLook;

private:
    void LinkBar(TComponentRef<TvlSkinScrollBar>& ref, TvlSkinScrollBar* bar, bool vertical) {
        ref.Set(bar);
        if (bar) {
            bar->SetEnabled(true);
            bar->SetVisible(false);
            bar->OnChange = [this, vertical](TObject*) { BarChanged(vertical); };
            if (vertical) bar->WheelControl = this;
        }
        UpdateScrollBars();
    }
    TComponentRef<TvlSkinScrollBar> FHBar{this}, FVBar{this};
    bool FVShown = false, FHShown = false;
    int FRelayouts = 0;
};

using TvlDrawHeaderSectionEvent =
    std::function<void(TObject* sender, HDC cnvs, int column, bool pressed, const TRect& r)>;

enum TvlViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TvlSkinListView : public TvlSkinScrolledView<TListView> {
public:
    TvlSkinListView(TComponent* owner, TWinControl* parent, bool checkBoxes, bool columnClick);
    ~TvlSkinListView() override;

    // Report (the program's), list, icon or small-icon view; each has its
    // own way of showing and stepping the bars.
    TvlViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TvlViewStyle style);

    std::string HeaderSkinDataName = "resizebutton";
    TvlDrawHeaderSectionEvent OnDrawHeaderSection;

    void UpdateScrollBars() override;
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;
    HWND HeaderWindow() const { return FHeader; }
    int PressedSection() const { return FHeaderPressed ? FPressedSection : -1; }
    // The header painted into `dc` (as on screen).
    void PaintHeader(HDC dc);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    bool MovesView(UINT msg) const override;
    void ApplyColours(COLORREF background, COLORREF text) override;
    void BarChanged(bool vertical) override;

private:
    static LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HeaderMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void TakeHeader(HWND header);
    void ReleaseHeader();
    // Draws the native grid's lines again in the skin's colours.
    void PaintGridLines(HDC dc);

    bool FFromScrollBar = false;
    int FLastV = 0, FLastH = 0;
    TvlViewStyle FViewStyle = vsReport;
    HWND FHeader = nullptr;  // the list's own child; its procedure is ours while we hold it
    WNDPROC FHeaderPrevious = nullptr;
    int FPressedSection = -1;
    bool FHeaderPressed = false;
};

class TvlSkinTreeView : public TvlSkinScrolledView<TTreeView> {
public:
    TvlSkinTreeView(TComponent* owner, TWinControl* parent);
    void UpdateScrollBars() override;
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;

protected:
    bool MovesView(UINT msg) const override;
    void ApplyColours(COLORREF background, COLORREF text) override;
    void BarChanged(bool vertical) override;
};
