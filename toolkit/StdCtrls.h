#pragma once
// Buttons, labels and edits in their plain look: native controls,
// subclassed.
#include <string>

#include "core/TextStyle.h"
#include "toolkit/Controls.h"

class TButtonControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    // Clicking sets the form's ModalResult to this when it is not mrNone.
    int ModalResult = 0;
    void Click() override;
    void CommandNotify(WORD code) override;
    bool DialogChar(char key) override;
};

class TButton : public TButtonControl {
public:
    TButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top, int width,
            int height);
    // Enter presses the default button, Escape the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    void SetCancel(bool value);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool FDefault = false;
};

class TLabel : public TGraphicControl {
public:
    TLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    bool AutoSize = true;
    TAlignment Alignment = taLeftJustify;
    bool Transparent = true;
    void SetCaption(const std::string& text) override;
    void Paint(TCanvas& canvas) override;
    void FontChanged() override;
    // Sizes the label to its text; a right-aligned label keeps its right edge.
    virtual void AdjustSize();
    // The font the text is measured and drawn with, and the text measured.
    virtual TFont TextFont() const { return Font; }
    virtual std::string MeasuredText() const { return Caption(); }
};

class TEdit : public TWinControl {
public:
    TEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    std::string Text() const;
    void SetText(const std::string& text);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int n);
    void SelectAll();
    TNotifyEvent OnChange;
    void CommandNotify(WORD code) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    int FMaxLength = 0;
};

// A label that opens its web address when clicked.
class TLinkLabel : public TLabel {
public:
    TLinkLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    std::string URL;
    TColor DefaultActiveFontColor = 0x00FF0000;  // pure blue
    bool MouseOver() const { return FMouseOver; }
    void Click() override;
    void Paint(TCanvas& canvas) override;
    // Only web and mail addresses are opened; anything else does nothing.
    static bool IsOpenableURL(const std::string& url);

private:
    bool FMouseOver = false;
};
