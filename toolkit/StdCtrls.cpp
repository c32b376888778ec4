#include "toolkit/StdCtrls.h"

#include <shellapi.h>

#include "toolkit/Forms.h"

// Every control here is constructed with its bounds and caption; its window
// is created later from CreateParams.

// ---- TButtonControl ----

void TButtonControl::Click() {
    if (ModalResult != mrNone)
        if (TForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
    TWinControl::Click();
}

bool TButtonControl::DialogChar(char key) {
    if (!IsAccelerator(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    SendMessageA(Handle(), BM_CLICK, 0, 0);
    return true;
}

void TButtonControl::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

// ---- TButton ----

TButton::TButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top, int width,
                 int height)
    : TButtonControl(owner, parent) {
    TabStop = true;
    SetCaption(caption);
    SetBounds(left, top, width, height);
}

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
}

void TButton::SetDefault(bool value) {
    FDefault = value;
    if (TForm* form = GetParentForm(this)) form->DefaultButton = value ? this : nullptr;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool value) {
    if (TForm* form = GetParentForm(this)) form->CancelButton = value ? this : nullptr;
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top)
    : TGraphicControl(owner, parent) {
    SetBoundsByLayout(left, top, 0, 0);
    SetCaption(caption);
    SetBounds(Left(), Top(), Width(), Height());
}

void TLabel::SetCaption(const std::string& text) {
    TGraphicControl::SetCaption(text);
    AdjustSize();
}

void TLabel::FontChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!AutoSize) return;
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    TCanvas canvas(dc);
    canvas.Font = TextFont();
    SIZE s = canvas.TextExtent(MeasuredText());
    int left = Alignment == taRightJustify ? Left() + Width() - s.cx : Left();
    SetBoundsToFit(left, Top(), s.cx, s.cy);
}

void TLabel::Paint(TCanvas& canvas) {
    RECT r{0, 0, Width(), Height()};
    if (!Transparent) canvas.FillRect(r, Color);
    if (!Enabled()) canvas.Font.SetColor(clGrayText);
    unsigned align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    canvas.TextRect(r, Caption(), align | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TEdit ----

TEdit::TEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TWinControl(owner, parent) {
    TabStop = true;
    SetBounds(left, top, width, height);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "EDIT";
    params.Style |= ES_AUTOHSCROLL | WS_TABSTOP;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
    TWinControl::CreateWnd();
    if (FMaxLength) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

// The window text is the edit's text; without a window it is the caption
// the window will be created with.
std::string TEdit::Text() const {
    if (!HandleAllocated()) return Caption();
    int n = GetWindowTextLengthA(Handle());
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(Handle(), s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

void TEdit::SetText(const std::string& text) { SetCaption(text); }

void TEdit::SetMaxLength(int n) {
    FMaxLength = n;
    if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(n), 0);
}

void TEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TEdit::CommandNotify(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(this);
}

// ---- TLinkLabel ----

TLinkLabel::TLinkLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top)
    : TLabel(owner, parent, caption, left, top) {
    Font = TFont("Arial", 14, fsUnderline);
    Cursor = crHandPoint;
    AdjustSize();
    OnMouseEnter = [this](TObject*) {
        FMouseOver = true;
        Invalidate();
    };
    OnMouseLeave = [this](TObject*) {
        FMouseOver = false;
        Invalidate();
    };
}

bool TLinkLabel::IsOpenableURL(const std::string& url) {
    auto starts = [&](const char* prefix) {
        size_t n = std::char_traits<char>::length(prefix);
        return url.size() > n && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(), static_cast<int>(n),
                                                prefix, static_cast<int>(n)) == CSTR_EQUAL;
    };
    return starts("http://") || starts("https://") || starts("mailto:");
}

void TLinkLabel::Click() {
    TLabel::Click();
    if (IsOpenableURL(URL)) ShellExecuteA(nullptr, "open", URL.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TLinkLabel::Paint(TCanvas& canvas) {
    if (FMouseOver) canvas.Font.SetColor(DefaultActiveFontColor);
    TLabel::Paint(canvas);
}
