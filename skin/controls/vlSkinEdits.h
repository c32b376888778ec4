#pragma once
// The skinned text-entry controls. Each keeps the platform's edit window
// (class "EDIT", its own messages, undo and clipboard handling); the skin is
// drawn around it in the non-client area. TvlCustomEdit adds read-only
// protection, the edit context menu (undo, cut, copy, paste, delete, select
// all) and a transparent mode; TvlSkinEdit frames it with the "edit"
// element, or with "buttonedit" and a button at its right end, TvlSkinMemo
// with the "memo" element and links an external skinned vertical bar.
#include <windows.h>

#include <functional>
#include <string>

#include "core/Gdi.h"
#include "skin/controls/vlEditMask.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinListViews.h"
#include "skin/controls/vlSkinScrollBar.h"
#include "skin/data/vlResourceStr.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinLook.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

class TvlCustomEdit;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A typed character; setting key to 0 drops it.
using TvlKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// The edit context menu's items, enabled by the edit's state, their captions
// from the skin's resource strings (else the built-in texts). The caller
// shows the menu; the items act on the edit.
TPopupMenu* BuildEditContextMenu(TvlCustomEdit* edit, const TvlSkinData* skin);

class TvlCustomEdit : public TEdit {
public:
    TvlCustomEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    ~TvlCustomEdit() override;

    bool ReadOnly = false;
    // One line only: a pasted text is cut at its first line break, and Enter
    // and Escape are never typed into it.
    bool SingleLine() const { return FSingleLine; }
    // Every character typed into the edit, before it is inserted. In a single
    // line Enter and Escape go only here (the form's default and cancel
    // buttons take them first when it has them).
    TvlKeyPressEvent OnKeyPress;

    bool CanUndo() const;
    bool HasSelection() const;
    bool EverythingSelected() const;
    // The context menu while it is open (owned by the edit), else null.
    TPopupMenu* ContextMenu() const { return FMenu; }
    // Opens the context menu at a screen point; (-1, -1) means the keyboard
    // asked and the menu opens at the edit's centre.
    void ShowContextMenu(int x, int y);
    // Given to every context menu the edit builds (see TPopupMenu::Presenter).
    std::function<void(TPopupMenu* menu, int x, int y)> MenuPresenter;
    // The skin whose resource strings caption the menu.
    virtual const TvlSkinData* MenuSkin() const { return nullptr; }

    // Destroys the window and makes it again from CreateParams, keeping the
    // text, the selection and the focus.
    void RecreateWnd();

    // Transparent: the text is drawn straight over what lies behind the
    // edit, and every change of the text's pixels repaints the edit whole.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // The colour the text is drawn in.
    virtual COLORREF TextColour() const { return ColorToRGB(Font.Color()); }
    void CommandNotify(WORD code) override;

    // Shown for every character instead of it (0: the text itself).
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char value);
    // Typed and set letters are turned to this case.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    // Focus from the keyboard selects the whole text.
    bool AutoSelect = true;
    // The selection shows only while the edit has the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    // What each place of the text takes (see TvlEditMask); empty: anything.
    const std::string& EditMask() const { return FEditMaskText; }
    void SetEditMask(const std::string& mask);
    // The text as the program reads it through the mask (Text() is what the
    // edit shows); Text() without a mask.
    std::string MaskedValue() const;
    // Sets the text, placed through the mask when there is one.
    void SetEditText(const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void OnContextMenu(TMessage& m) override;
    bool OnReflected(TMessage& m) override;
    // Paints what the transparent edit's text lies on (client coordinates):
    // by default the parent's background behind the edit.
    virtual void EraseBackground(HDC dc);
    // The parent's area under the edit and the edit with its frame.
    void InvalidateUnder();
    void FreeMenu();
    void PasteFirstLine();
    bool FSingleLine = true;
    bool FTransparent = false;

private:
    // Typing, deleting and pasting under a mask; true when handled.
    bool MaskMessage(TMessage& m);
    void SetMaskedText(const std::string& display, int caret);

    TPopupMenu* FMenu = nullptr;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    bool FPressFocus = false;
    std::string FEditMaskText;
    TvlEditMask FMask;
};

// The frame, element, font and colours the skinned edit and memo share;
// Data is the element record each reads.
template <class Base, class Data>
class TvlSkinEditFrame : public TvlSkinElement<Base> {
public:
    using TvlSkinElement<Base>::TvlSkinElement;
    bool UseSkinFont = true;
    TFont DefaultFont{"Arial", 14, 0, 0};
    const TvlSkinLook& SkinLook() const { return FLook; }
    const TvlSkinData* MenuSkin() const override { return this->SkinData(); }
    bool Hovered() const { return FHover; }
    void SkinChanging() override { FLook.ElementIndex = -1; }
    // Stores the reference; a loaded skin is taken at once.
    void SetSkinData(TvlSkinData* skin) override {
        TvlSkinElement<Base>::SetSkinData(skin);
        if (skin && !skin->IsEmpty()) this->SkinChanged();
    }
    // The text colour now (hover, focus and enabled state).
    COLORREF TextColour() const override {
        if (!this->Enabled()) return FHasData ? FData.DisabledFontColor : ColorToRGB(clGrayText);
        if (!FHasData) return ColorToRGB(DefaultFont.Color());
        return FHover || this->Focused() ? FData.ActiveFontColor : FData.FontColor;
    }

protected:
    // Looks the element up again; FHasData when it is ours and has a picture.
    void ReadElement() {
        FLook.ReadElement(this->SkinData(), this->SkinDataName, true);
        auto* data = FLook.template ElementAs<Data>();
        FHasData = data && FLook.Picture;
        if (!FHasData) return;
        FData = *data;
        if (FData.ActiveSkinRect.IsEmpty()) FData.ActiveSkinRect = FLook.SkinRect;
    }
    // The element's font with UseSkinFont, else DefaultFont; in the
    // character set of the skin's strings.
    TFont SkinFont() const {
        TFont font = DefaultFont;
        if (FHasData && UseSkinFont) font = TFont(FData.FontName, FData.FontHeight, FData.FontStyle);
        const TvlSkinData* skin = this->SkinData();
        if (skin && skin->ResourceStrData()) font.SetCharSet(skin->ResourceStrData()->CharSet);
        return font;
    }

    // Answers WM_CTLCOLOR*: the text colour now on `background`, with a
    // brush of that colour the control owns.
    bool AnswerColours(TMessage& m, COLORREF background) {
        if (background != FBrushColour || !FBrush.Handle()) {
            FBrush = CreateSolidBrushOwned(background);
            FBrushColour = background;
        }
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, TextColour());
        SetBkColor(dc, background);
        m.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
        return true;
    }
    // The first steps of a skin change: the element and its font.
    void TakeElementAndFont() {
        ReadElement();
        this->Font = SkinFont();
        this->FontChanged();
    }
    // The frame's width follows the element: the window measures it again.
    void FrameChanged() {
        if (this->HandleAllocated())
            SetWindowPos(this->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    void RepaintAll() {
        if (this->HandleAllocated())
            RedrawWindow(this->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
    // The events see the hover look already in place.
    void MouseEnter() override {
        FHover = true;
        RepaintAll();
        TvlSkinElement<Base>::MouseEnter();
    }
    void MouseLeave() override {
        FHover = false;
        RepaintAll();
        TvlSkinElement<Base>::MouseLeave();
    }

    TvlSkinLook FLook;
    bool FHover = false;
    Data FData{""};
    bool FHasData = false;

private:
    TGdiBrush FBrush;
    COLORREF FBrushColour = CLR_INVALID;
};

// The hit-test codes of the button and of the frame around the text: the
// platform then sends non-client mouse messages for them.
constexpr int vlHitEditButton = HTHSCROLL;
constexpr int vlHitEditFrame = HTVSCROLL;

class TvlSkinEdit : public TvlSkinEditFrame<TvlCustomEdit, TvlDataSkinEditControl> {
public:
    TvlSkinEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    void SkinChanged() override;
    void SetBoundsByLayout(int left, int top, int width, int height) override;
    // The context menu speaks the language of the form's frame skin (the
    // edit's own skin when the form has no frame).
    const TvlSkinData* MenuSkin() const override;
    // The frame as it is painted, for the whole window.
    void ComposeFrame(TvlFBitmap& bitmap);

    // A button at the right end of the frame; setting it makes the window
    // again, and the default element follows ("edit" / "buttonedit").
    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool value);
    // The button was clicked: pressed and released over it.
    TNotifyEvent OnButtonClick;
    // In window coordinates; the button is empty without ButtonMode.
    TRect ButtonRect() const;
    TRect TextArea() const;
    bool ButtonHot() const { return FButtonHot; }
    bool ButtonDown() const { return FButtonDown; }

    // The text's alignment (left, right or centre); a change makes the
    // window again.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // The size without an element, applied when positive (the height only
    // with UseSkinFont; otherwise the font decides it).
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int value);
    // The height the font asks for without UseSkinFont: its text height and
    // the frame's (4 without an element).
    int HeightForFont() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void OnNcCalcSize(TMessage& m) override;
    void OnNcPaint(TMessage& m) override;
    void OnNcHitTest(TMessage& m) override;
    void OnNcMouse(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;
    void OnCancelMode(TMessage& m) override;
    bool OnReflected(TMessage& m) override;
    void EraseBackground(HDC dc) override;
    virtual void ButtonClick();

private:
    TRect ClientMargins() const;
    void SetButtonState(bool hot, bool down);
    void ReleaseButton(bool over);
    // A point of the window in screen coordinates, over the button.
    bool OverButton(POINT screen) const;
    void RedrawFrame();

    bool FButtonMode = false;
    bool FButtonHot = false, FButtonDown = false;
    TAlignment FAlignment = taLeftJustify;
    int FDefaultWidth = 0, FDefaultHeight = 0;
    bool FTrackingFrame = false;
};

class TvlSkinMemo : public TvlSkinEditFrame<TvlCustomEdit, TvlDataSkinMemoControl>, public TvlWheelTarget {
public:
    TvlSkinMemo(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    ~TvlSkinMemo() override;
    void SkinChanged() override;

    TvlSkinScrollBar* VScrollBar() const { return FVBar.get(); }
    void SetVScrollBar(TvlSkinScrollBar* bar);
    // Sets the bar from the line count and the first visible line.
    void UpdateScrollBar();
    int VisibleLines() const;
    COLORREF BackgroundColour() const;
    // A disabled memo's text is grey-text whatever the element says.
    COLORREF TextColour() const override;
    void ComposeFrame(TvlFBitmap& bitmap);
    // The client background from the skin's picture (the element's client
    // part) instead of a plain colour; setting it makes the window again.
    bool BitMapBG() const { return FBitMapBG; }
    void SetBitMapBG(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void OnNcCalcSize(TMessage& m) override;
    void OnNcPaint(TMessage& m) override;
    void OnMouseWheel(TMessage& m) override;
    bool OnReflected(TMessage& m) override;
    void EraseBackground(HDC dc) override;
    void Notification(TComponent* component, bool removing) override;

private:
    TComponentRef<TvlSkinScrollBar> FVBar{this};
    bool FBitMapBG = false;
};
