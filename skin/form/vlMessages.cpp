#include "skin/form/vlMessages.h"

#include <algorithm>

#include "core/Gdi.h"
#include "skin/data/vlUtils.h"
#include "skin/form/Lacquer.h"
#include "toolkit/Clipboard.h"

namespace {
struct ButtonKind {
    const char* Name;
    const char* Caption;
    const char* Key;
    int Result;
};
const ButtonKind kButtons[] = {
    {"Yes", "&Yes", "MSG_BTN_YES", 6},
    {"No", "&No", "MSG_BTN_NO", 7},
    {"OK", "OK", "MSG_BTN_OK", 1},
    {"Cancel", "Cancel", "MSG_BTN_CANCEL", 2},
    {"Abort", "&Abort", "MSG_BTN_ABORT", 3},
    {"Retry", "&Retry", "MSG_BTN_RETRY", 4},
    {"Ignore", "&Ignore", "MSG_BTN_IGNORE", 5},
    {"All", "&All", "MSG_BTN_ALL", 8},
    {"NoToAll", "N&oToAll", "MSG_BTN_NOTOALL", 9},
    {"YesToAll", "&YesToAll", "MSG_BTN_YESTOALL", 10},
    {"Help", "&Help", "MSG_BTN_HELP", 0},
};
constexpr int kButtonCount = 11;
const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
const char* const kCaptionKeys[] = {"MSG_CAP_WARNING", "MSG_CAP_ERROR", "MSG_CAP_INFORMATION", "MSG_CAP_CONFIRM"};
const int kIcons[] = {32515, 32513, 32516, 32514};
constexpr int kButtonWidth = 70, kButtonGap = 10, kButtonHeight = 25;

// A caption without its accelerator marks ("&Yes" -> "Yes", "&&" -> "&").
std::string WithoutAccelerator(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}
}  // namespace

namespace vlMessageTexts {
const char* TypeCaption(TvlMsgDlgType type) { return type >= 0 && type < 4 ? kCaptions[type] : ""; }
const char* TypeCaptionKey(TvlMsgDlgType type) { return type >= 0 && type < 4 ? kCaptionKeys[type] : ""; }
int TypeIcon(TvlMsgDlgType type) { return type >= 0 && type < 4 ? kIcons[type] : 0; }
const char* ButtonName(int bit) { return kButtons[bit].Name; }
const char* ButtonCaption(int bit) { return kButtons[bit].Caption; }
const char* ButtonKey(int bit) { return kButtons[bit].Key; }
int ButtonResult(int bit) { return kButtons[bit].Result; }

std::string ClipboardText(const std::string& caption, const std::string& text,
                          const std::vector<std::string>& buttonCaptions) {
    const std::string rule = "---------------------------\r\n";
    std::string buttons;
    for (const std::string& b : buttonCaptions) buttons += WithoutAccelerator(b) + "   ";
    return rule + caption + "\r\n" + rule + text + "\r\n" + rule + buttons + "\r\n" + rule;
}
}  // namespace vlMessageTexts

// ---- The label --------------------------------------------------------------------

TvlSkinMessageLabel::TvlSkinMessageLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left,
                                         int top)
    : TvlSkinElement<TWinControl>(owner, parent) {
    SkinDataName = "stdlabel";
    SetBounds(left, top, 1, 1);
    SetCaption(caption);
}

void TvlSkinMessageLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "STATIC";
    params.Style |= SS_LEFT | SS_NOPREFIX;
}

const TvlDataSkinStdLabelControl* TvlSkinMessageLabel::Element() const {
    return ElementAs<TvlDataSkinStdLabelControl>();
}

TFont TvlSkinMessageLabel::TextFont() const {
    const TvlDataSkinStdLabelControl* e = Element();
    TFont font = UseSkinFont && e ? TFont(e->FontName, e->FontHeight, e->FontStyle) : DefaultFont;
    const TvlSkinData* skin = SkinData();
    if (skin && skin->ResourceStrData()) font.SetCharSet(skin->ResourceStrData()->CharSet);
    return font;
}

TColor TvlSkinMessageLabel::TextColour() const {
    const TvlDataSkinStdLabelControl* e = Element();
    return e ? e->FontColor : DefaultFont.Color();
}

void TvlSkinMessageLabel::AdjustSize() {
    std::string text = Caption().empty() ? std::string(" ") : Caption();
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    TFont font = TextFont();
    SelectGuard selected(dc, font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    selected.Restore();
    SetBoundsByLayout(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TvlSkinMessageLabel::ChangeScale(int fromDpi, int toDpi) {
    TvlSkinElement<TWinControl>::ChangeScale(fromDpi, toDpi);
    DefaultFont.SetHeight(FDesignFontHeight.RescaleFont(DefaultFont.Height(), fromDpi, toDpi));
    FDesignFontHeight.Settle(DefaultFont.Height());
    AdjustSize();
}

void TvlSkinMessageLabel::SetCaption(const std::string& text) {
    TWinControl::SetCaption(text);
    AdjustSize();
}

void TvlSkinMessageLabel::SetSkinData(TvlSkinData* skinData) {
    TvlSkinElement<TWinControl>::SetSkinData(skinData);
    SkinChanged();
}

void TvlSkinMessageLabel::SkinChanged() {
    AdjustSize();
    Invalidate();
}

void TvlSkinMessageLabel::PaintTo(HDC target) {
    int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    TBitmap buffer(w, h);
    DrawParentBackground(Handle(), buffer.DC());
    TFont font = TextFont();
    SelectGuard selected(buffer.DC(), font.Handle());
    SetBkMode(buffer.DC(), TRANSPARENT);
    SetTextColor(buffer.DC(), ColorToRGB(TextColour()));
    RECT r{0, 0, w, h};
    const std::string& text = Caption();
    DrawTextA(buffer.DC(), text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    selected.Restore();
    buffer.CopyTo(target, 0, 0);
}

void TvlSkinMessageLabel::OnPaint(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    PaintTo(dc);
    EndPaint(Handle(), &ps);
    m.Result = 0;
}

void TvlSkinMessageLabel::OnPrintClient(TMessage& m) {
    PaintTo(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
}

// ---- The icon -----------------------------------------------------------------------

TvlMessageImage::TvlMessageImage(TComponent* owner, TWinControl* parent, int iconId)
    : TGraphicControl(owner, parent), IconId(iconId) {
    Name = "Image";
}

void TvlMessageImage::Paint(TCanvas& canvas) {
    if (!IconId) return;
    // A shared system icon: never destroyed.
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(IconId));
    if (!icon) return;
    int size = Width();
    // Larger than the standard size: the icon's own larger picture where it
    // has one, not the standard one stretched.
    HICON large = size > 32
                      ? static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(IconId), IMAGE_ICON, size, size, 0))
                      : nullptr;
    DrawIconEx(canvas.Handle(), 0, 0, large ? large : icon, size, size, 0, nullptr, DI_NORMAL);
    if (large) DestroyIcon(large);
}

// ---- The dialog -----------------------------------------------------------------------

TvlMessageForm::TvlMessageForm(TComponent* owner) : TForm(owner, "", 200, 100, bsDialog, 0) {
    Name = "TvlMessageForm";
    vlLacquer1 = new TvlLacquer(this);
    vlLacquer1->Name = "vlLacquer1";
    vlLacquer1->HideCaptionButtons = true;
    vlLacquer1->SetBorderIcons(0);
    // Keyboard preview: Ctrl+C on any control of the dialog copies it.
    FKeys = new TMessageHook(this, [this](MSG& msg) {
        if (msg.message != WM_KEYDOWN || (msg.wParam != 'C' && msg.wParam != VK_INSERT) ||
            GetKeyState(VK_CONTROL) >= 0 || !HandleAllocated() || GetAncestor(msg.hwnd, GA_ROOT) != Handle())
            return false;
        CopyToClipboard();
        return true;
    });
}

TvlMessageForm::~TvlMessageForm() {
    delete FKeys;
    FKeys = nullptr;
}

void TvlMessageForm::CopyToClipboard() {
    std::vector<std::string> captions;
    for (TvlSkinButton* b : Buttons) captions.push_back(b->Caption());
    std::string text = vlMessageTexts::ClipboardText(Caption(), Message ? Message->Caption() : "", captions);
    WriteClipboardText(Handle(), text);
}

// ---- The component ----------------------------------------------------------------------

TvlSkinMessage::TvlSkinMessage(TComponent* owner) : TComponent(owner) {}

std::string TvlSkinMessage::Text(const char* key, const char* builtIn) const {
    TvlSkinData* skin = CtrlSkinData();
    if (skin && skin->ResourceStrData()) return skin->ResourceStrData()->LookupText(key);
    return builtIn;
}

int TvlSkinMessage::ButtonHeight(int dpi) const {
    if (TvlSkinData* skin = CtrlSkinData(); skin && !skin->IsEmpty()) {
        int i = skin->FindControlIndex(ButtonSkinDataName);
        if (i >= 0)
            if (auto* b = dynamic_cast<const TvlDataSkinButtonControl*>(skin->SkinControls[static_cast<size_t>(i)].get()))
                return b->SkinRect.Height();
    }
    return ScaleForDpi(kButtonHeight, dpi);
}

void TvlSkinMessage::Build(TvlMessageForm* form, const std::string& text, TvlMsgDlgType type,
                           TvlMsgDlgButtons buttons, int helpContext) {
    TvlLacquer* frame = form->vlLacquer1;
    frame->SetSkinData(SkinData());
    frame->SetMenusSkinData(CtrlSkinData());
    frame->SetAlphaBlendValue(AlphaBlendValue);
    frame->SetAlphaBlend(AlphaBlend);
    frame->AlphaBlendAnimation = AlphaBlendAnimation;
    form->HelpContext = helpContext;

    // Laid out at the scale the dialog shows at, its text measured in the
    // font of that scale.
    const int dpi = SystemDpi();
    form->ScaleToDpi(dpi);
    auto scaled = [dpi](int length) { return ScaleForDpi(length, dpi); };
    auto scaledFont = [dpi](TFont font) {
        font.SetHeight(ScaleFontForDpi(font.Height(), dpi));
        return font;
    };
    int buttonHeight = ButtonHeight(dpi);
    int count = 0;
    for (int i = 0; i < kButtonCount; ++i)
        if (buttons & (1u << i)) ++count;
    int rowWidth = count ? count * scaled(kButtonWidth) + (count - 1) * scaled(kButtonGap) : 0;

    form->Position = poScreenCenter;
    std::string caption = type == mtCustom || type < 0 || type > mtCustom
                              ? (Application ? Application->Title : std::string())
                              : Text(vlMessageTexts::TypeCaptionKey(type), vlMessageTexts::TypeCaption(type));
    form->SetCaption(caption);

    auto* label = new TvlSkinMessageLabel(form, form, "", scaled(50), scaled(15));
    label->Name = "Message";
    label->DefaultFont = scaledFont(DefaultFont);
    label->UseSkinFont = UseSkinFont;
    label->SkinDataName = MessageLabelSkinDataName;
    label->SetSkinData(CtrlSkinData());
    label->SetCaption(text);
    form->Message = label;

    form->Image = new TvlMessageImage(form, form, vlMessageTexts::TypeIcon(type));
    int iconTop = std::max(label->Top() + label->Height() / 2 - scaled(16), scaled(10));
    form->Image->SetBounds(scaled(5), iconTop, scaled(32), scaled(32));
    form->Image->SetVisible(form->Image->IconId != 0);

    int clientHeight = buttonHeight + label->Height() + scaled(50);
    int clientWidth = scaled(40) + std::max(rowWidth, label->Left() + label->Width());
    form->SetClientSize(clientWidth, clientHeight);
    // The frame's size limits hold for the dialog too.
    form->HandleNeeded();
    RECT wr;
    GetWindowRect(form->Handle(), &wr);
    int width = wr.right - wr.left;
    int limited = std::clamp(width, frame->MinimumWidth(), std::max(frame->MinimumWidth(), frame->MaximumWidth()));
    if (limited != width) {
        form->SetBounds(form->Left(), form->Top(), limited, wr.bottom - wr.top);
        clientWidth = form->ClientWidth();
    }
    AddButtons(form, buttons, helpContext, (clientWidth - rowWidth) / 2, clientHeight - buttonHeight - scaled(10),
               buttonHeight);
}

void TvlSkinMessage::AddButtons(TvlMessageForm* form, TvlMsgDlgButtons buttons, int helpContext, int x, int y,
                                int buttonHeight) {
    // The default and cancel buttons fall back to none when the named one
    // is not shown.
    unsigned defaultBit = (buttons & mbOK) ? mbOK : (buttons & mbYes) ? mbYes : mbRetry;
    unsigned cancelBit = (buttons & mbCancel) ? mbCancel : (buttons & mbNo) ? mbNo : mbOK;
    const int dpi = form->Dpi();
    const int width = ScaleForDpi(kButtonWidth, dpi);
    TFont font = DefaultButtonFont;
    font.SetHeight(ScaleFontForDpi(font.Height(), dpi));
    int tab = 0;
    for (int i = 0; i < kButtonCount; ++i) {
        if (!(buttons & (1u << i))) continue;
        auto* b = new TvlSkinButton(form, form, Text(kButtons[i].Key, kButtons[i].Caption), x, y, width, buttonHeight);
        b->Name = kButtons[i].Name;
        b->SetCanFocused(true);
        b->TabOrder = tab++;
        b->ModalResult = kButtons[i].Result;
        b->SetDefaultHeight(buttonHeight);
        b->UseSkinFont = UseSkinFont;
        b->SetDefaultFont(font);
        b->SkinDataName = ButtonSkinDataName;
        b->SetSkinData(CtrlSkinData());
        if (kButtons[i].Result == 0)
            b->OnClick = [helpContext](TObject*) {
                WinHelpA(nullptr, nullptr, HELP_CONTEXT, static_cast<ULONG_PTR>(helpContext));
            };
        if ((1u << i) == defaultBit) {
            b->SetDefault(true);
            form->SetActiveControl(b);
        }
        if ((1u << i) == cancelBit) b->SetCancel(true);
        form->Buttons.push_back(b);
        x += width + ScaleForDpi(kButtonGap, dpi);
    }
}

int TvlSkinMessage::ShowMessageBox(const std::string& text, TvlMsgDlgType type, TvlMsgDlgButtons buttons,
                                   int helpContext) {
    auto* form = new TvlMessageForm(Application);
    int result = mrCancel;
    try {
        Build(form, text, type, buttons, helpContext);
        if (OnDialogBuilt) OnDialogBuilt(form);
        result = form->ShowModal();
    } catch (...) {
        form->Release();
        throw;
    }
    form->Release();
    return result;
}
