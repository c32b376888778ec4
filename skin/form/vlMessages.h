#pragma once
// The message box every planner message goes through: a modal dialog on a
// skinned frame, with the type's system icon, a skinned label holding the
// text and a row of skinned buttons, returning the result of the button
// that closed it. Captions come from the skin's resource strings when the
// controls' skin has them, else the built-in English texts.
//
// Like the system's message box, the text is a child window of class
// "Static" whose window text is the message (for assistive tools and
// automation), and Ctrl+C copies caption, text and buttons in the system
// box's layout.
#include <string>

#include "core/Component.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

enum TvlMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };
enum TvlMsgDlgBtn : unsigned {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
    mbAll = 1 << 7,
    mbNoToAll = 1 << 8,
    mbYesToAll = 1 << 9,
    mbHelp = 1 << 10
};
using TvlMsgDlgButtons = unsigned;

class TvlLacquer;
class TMessageHook;

// The built-in caption of a dialog type, the caption of button bit `i`, and
// their resource-string keys; a dialog type's stock icon (0 for none).
namespace vlMessageTexts {
const char* TypeCaption(TvlMsgDlgType type);
const char* TypeCaptionKey(TvlMsgDlgType type);
int TypeIcon(TvlMsgDlgType type);
const char* ButtonName(int bit);
const char* ButtonCaption(int bit);
const char* ButtonKey(int bit);
int ButtonResult(int bit);
// What Ctrl+C puts on the clipboard: the system message box's layout.
std::string ClipboardText(const std::string& caption, const std::string& text,
                          const std::vector<std::string>& buttonCaptions);
}  // namespace vlMessageTexts

// The skinned label of the message: a "Static" child window that draws the
// skin's label look over its parent's background and sizes itself to its
// text (one line per line break).
class TvlSkinMessageLabel : public TvlSkinElement<TWinControl> {
public:
    TvlSkinMessageLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    TFont DefaultFont{"Arial", 14};
    bool UseSkinFont = true;
    void SetSkinData(TvlSkinData* skinData) override;
    void SetCaption(const std::string& text) override;
    void SkinChanged() override;
    TFont TextFont() const;
    TColor TextColour() const;
    void AdjustSize();
    // The default font scales with the dialog; the label fits its text again.
    void ChangeScale(int fromDpi, int toDpi) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void OnPaint(TMessage& m) override;
    void OnEraseBkgnd(TMessage& m) override { m.Result = 1; }
    void OnPrintClient(TMessage& m) override;

private:
    const TvlDataSkinStdLabelControl* Element() const;
    void PaintTo(HDC dc);
    TDesignLength FDesignFontHeight;
};

// The type's system icon, drawn on the dialog.
class TvlMessageImage : public TGraphicControl {
public:
    TvlMessageImage(TComponent* owner, TWinControl* parent, int iconId);
    int IconId;
    void Paint(TCanvas& canvas) override;
};

class TvlMessageForm : public TForm {
public:
    explicit TvlMessageForm(TComponent* owner);
    ~TvlMessageForm() override;
    TvlLacquer* vlLacquer1 = nullptr;  // the skinned frame, without caption buttons
    TvlSkinMessageLabel* Message = nullptr;
    TvlMessageImage* Image = nullptr;
    int HelpContext = 0;
    // The buttons left to right.
    std::vector<TvlSkinButton*> Buttons;
    // Copies caption, text and buttons to the clipboard.
    void CopyToClipboard();

private:
    TMessageHook* FKeys = nullptr;  // Ctrl+C while the dialog has the focus
};

class TvlSkinMessage : public TComponent {
public:
    explicit TvlSkinMessage(TComponent* owner);
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    uint8_t AlphaBlendValue = 200;
    // The skin of the dialog's frame; cleared when destroyed.
    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData) { FSkinData.Set(skinData); }
    // The skin of the label and buttons, and the source of the texts.
    TvlSkinData* CtrlSkinData() const { return FCtrlSkinData.get(); }
    void SetCtrlSkinData(TvlSkinData* skinData) { FCtrlSkinData.Set(skinData); }
    std::string ButtonSkinDataName = "button";
    std::string MessageLabelSkinDataName = "stdlabel";
    TFont DefaultFont{"Arial", 14};
    TFont DefaultButtonFont{"Arial", 14};
    bool UseSkinFont = true;

    // Shows the dialog modally; the result of the button that closed it, or
    // 2 when the window was closed by other means.
    int ShowMessageBox(const std::string& text, TvlMsgDlgType type, TvlMsgDlgButtons buttons, int helpContext = 0);

    // Called with the dialog once it is built, before it is shown (tests).
    std::function<void(TvlMessageForm* form)> OnDialogBuilt;

protected:
    void Notification(TComponent* component, bool removing) override {
        TComponent::Notification(component, removing);
        if (removing) {
            FSkinData.Removed(component);
            FCtrlSkinData.Removed(component);
        }
    }

private:
    // A text from the controls' skin's resource strings, else the built-in one.
    std::string Text(const char* key, const char* builtIn) const;
    void Build(TvlMessageForm* form, const std::string& text, TvlMsgDlgType type, TvlMsgDlgButtons buttons,
               int helpContext);
    // The buttons' height: the skin's button look's, else the built-in one at `dpi`.
    int ButtonHeight(int dpi) const;
    // The buttons in a row from (x, y), the default and cancel ones marked.
    void AddButtons(TvlMessageForm* form, TvlMsgDlgButtons buttons, int helpContext, int x, int y, int buttonHeight);
    TComponentRef<TvlSkinData> FSkinData{this};
    TComponentRef<TvlSkinData> FCtrlSkinData{this};
};
