#pragma once
// The skinned combo box: in its fixed style a drop-down list (the category
// chooser), in its edit style a platform edit (class "EDIT", so its text
// stays readable from outside) over the item area. The box is drawn from the
// "combobox" element; its drop-down is a skinned list box in a borderless
// popup window that never takes activation. The drop-down closes without
// accepting on focus loss, Escape and a click anywhere outside it, and never
// leaves the mouse captured.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/StringList.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinListBox.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlUtils.h"
#include "toolkit/ExtCtrls.h"

class TMessageHook;
class TvlSkinComboBox;

enum TvlComboBoxStyle { vlcbFixedStyle, vlcbEditStyle };

// The edit style's inner edit: a borderless platform edit whose messages
// pass through its combo first and whose colours the combo answers.
class TvlComboEdit : public TvlCustomEdit {
public:
    explicit TvlComboEdit(TvlSkinComboBox* combo);
    bool OnReflected(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;

private:
    TvlSkinComboBox* FCombo;
};

class TvlSkinComboBox : public TvlSkinCustomControl {
public:
    TvlSkinComboBox(TComponent* owner, TWinControl* parent, int left, int top, int width, int height,
                    int dropDownCount = 8);
    ~TvlSkinComboBox() override;

    TStringList Items;  // call ItemsChanged after changing
    void ItemsChanged();
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    // The chosen item's text in the fixed style; what the edit holds in the
    // edit style.
    std::string Text() const;
    void SetText(const std::string& text);
    TvlComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TvlComboBoxStyle style);
    // The inner edit in the edit style, else null.
    TvlComboEdit* Edit() const { return FEdit; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) {
        if (v >= 1) FDropDownCount = v;
    }
    int ListBoxWidth = 0;
    // The drop-down's fonts and row height when the skin does not give them,
    // and its caption bar.
    bool ListBoxUseSkinFont = true;
    bool ListBoxUseSkinItemHeight = true;
    TFont ListBoxDefaultFont{"Arial", 14};
    TFont ListBoxDefaultCaptionFont{"Arial", 14};
    int ListBoxDefaultItemHeight = 20;
    std::string ListBoxCaption;
    bool ListBoxCaptionMode = false;
    TAlignment ListBoxCaptionAlignment = taLeftJustify;
    // Items wider than the drop-down scroll sideways in it.
    bool HorizontalExtent = false;
    bool AutoComplete = true;
    // The inner edit's (edit style): its selection shows only while it has the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v) {
        FHideSelection = v;
        if (FEdit) FEdit->SetHideSelection(v);
    }
    // A translucent drop-down (where the platform has layered windows),
    // optionally fading in by steps of 2 up to AlphaBlendValue.
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    unsigned char AlphaBlendValue = 0;
    // Whether layered windows may be used; the platform's answer unless a
    // test says otherwise.
    TNotifyEvent OnChange, OnDropDown, OnCloseUp;
    // The drop-down's items, and the item shown in the fixed style.
    TvlDrawSkinItemEvent OnListBoxDrawItem, OnComboBoxDrawItem;
    // Pictures before the item texts: the image at ImageIndex, or at the
    // item's own index when ImageIndex < 0; the drop-down shows them too.
    TImageList* Images() const { return FImages.get(); }
    void SetImages(TImageList* images);
    int ImageIndex = -1;

    // True: fitted to the element (and shaped by its mask); false: any
    // size, the element's look stretched to it.
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool value);
    void AdjustToSkinSize(int& width, int& height) override {
        if (FUseSkinSize) TvlSkinCustomControl::AdjustToSkinSize(width, height);
    }
    void UpdateWindowRegion() override;

    bool DroppedDown() const { return FDropped; }
    bool Translucent() const { return AlphaBlend && SupportsLayeredWindows(); }
    void DropDown();
    void CloseUp(bool accept);
    // The drop-down, null until first dropped; its popup window and the
    // native list box inside it.
    TvlPopupListBox* DropDownList() const { return FListBox; }
    HWND ListWindow() const { return FListBox ? FListBox->Handle() : nullptr; }
    HWND InnerList() const { return FListBox ? FListBox->ListBox()->Handle() : nullptr; }
    int ListRows() const;
    void ReadElement() override;
    // The drop-down is no child of the form: the combo passes skin changes on.
    void SkinChanging() override;
    void SkinChanged() override;
    static constexpr UINT_PTR kAutoScrollTimer = 1;
    static constexpr UINT kAutoScrollDelay = 25;
    // 0 none, 1 up, 2 down: the pointer is held above or below the open list.
    int AutoScroll() const { return FAutoScroll; }

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnMouseWheel(TMessage& m) override;
    void OnEraseBkgnd(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;
    void FocusChanged(bool focused) override { Invalidate(); }
    void OnCaptureChanged(TMessage& m) override;
    void OnCancelMode(TMessage& m) override;
    void MouseLeave() override;
    void OnTimer(TMessage& m) override;
    void Notification(TComponent* component, bool removing) override;
    void AlignControls() override;

private:
    friend class TvlComboEdit;
    // The inner edit's messages, before the edit; true when used.
    bool EditMessage(TMessage& m);
    bool EditColours(TMessage& m);
    void EditChanged();
    // Puts a text into the inner edit without searching for it.
    void CopyToEdit(const std::string& text, bool selectAll);
    void ApplyEditFont();
    void SelectFromKeyboard(unsigned short key);
    bool ListMessage(TMessage& m);
    void Layout(TRect& button, TRect& itemArea) const;
    void EnsureList();
    void FillList();
    int ListIndexAt(POINT screen) const;
    void SelectInList(int index);
    void Search(char c);
    void PaintItem(TvlFBitmap& bitmap, const TRect& area);

    int FItemIndex = -1;
    int FDropDownCount;
    bool FDropped = false;
    bool FDroppedByMouse = false;
    bool FPointerInList = false;
    bool FButtonHot = false, FButtonPressed = false;
    int FIndexBeforeDrop = -1;
    int FAutoScroll = 0;
    std::unique_ptr<TWindowTimer> FAutoScrollTimer;
    void SetAutoScroll(int direction);
    std::string FSearch;
    DWORD FLastSearch = 0;
    TvlPopupListBox* FListBox = nullptr;     // owned as a component
    TMessageHook* FOutsideClicks = nullptr;  // owned as a component, made on the first drop-down
    TvlDataSkinComboBox FData{""};
    bool FHasData = false;
    bool FUseSkinSize = true;
    TComponentRef<TImageList> FImages{this};
    TvlComboBoxStyle FStyle = vlcbFixedStyle;
    std::string FText;                // the edit style's text
    TvlComboEdit* FEdit = nullptr;    // owned as a component while in the edit style
    bool FHideSelection = true;
    bool FCopying = false;            // the combo itself is setting the edit's text
    TvlFBitmap FEditBackground;       // the look under the edit, for its brush
    TGdiBrush FEditBrush;
    TRect FEditBrushRect;
};
