#include "skin/form/vlMessages.h"

#include <algorithm>

#include "skin/form/Lacquer.h"

namespace {
struct ButtonKind {
    const char* Name;
    const char* Caption;
    int Result;
};
const ButtonKind kButtons[] = {
    {"Yes", "&Yes", 6},
    {"No", "&No", 7},
    {"OK", "OK", 1},
    {"Cancel", "Cancel", 2},
    {"Abort", "&Abort", 3},
    {"Retry", "&Retry", 4},
    {"Ignore", "&Ignore", 5},
    {"All", "&All", 8},
    {"NoToAll", "N&oToAll", 9},
    {"YesToAll", "&YesToAll", 10},
    {"Help", "&Help", 0},
};
const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
const int kIcons[] = {32515, 32513, 32516, 32514};
constexpr int kButtonWidth = 70, kButtonGap = 10, kButtonHeight = 25;
}  // namespace

TvlMessageForm::TvlMessageForm(TComponent* owner) : TForm(owner, "", 200, 100, bsDialog, 0) {
    Name = "TvlMessageForm";
    vlLacquer1 = new TvlLacquer(this);
    vlLacquer1->Name = "vlLacquer1";
    vlLacquer1->HideCaptionButtons = true;
    vlLacquer1->SetBorderIcons(0);
}

void TvlMessageForm::PaintWindow(TCanvas& canvas) {
    TForm::PaintWindow(canvas);
    if (!IconId) return;
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(IconId));
    int top = Message ? Message->Top() + Message->Height() / 2 - 16 : 10;
    DrawIcon(canvas.Handle(), 5, std::max(top, 10), icon);
}

TvlSkinMessage::TvlSkinMessage(TComponent* owner) : TComponent(owner) {}

int TvlSkinMessage::ShowMessageBox(const std::string& text, TvlMsgDlgType type, TvlMsgDlgButtons buttons,
                                   int helpContext) {
    auto* form = new TvlMessageForm(Application);
    int result = mrCancel;
    try {
        int count = 0;
        for (int i = 0; i < 11; ++i)
            if (buttons & (1u << i)) ++count;
        int rowWidth = count ? count * kButtonWidth + (count - 1) * kButtonGap : 0;

        form->vlLacquer1->SetSkinData(SkinData());
        form->SetCaption(type == mtCustom ? Application->Title : kCaptions[type]);
        form->IconId = type == mtCustom ? 0 : kIcons[type];
        form->Message = new TLabel(form, form, "", 50, 15);
        form->Message->Name = "Message";
        form->Message->Font = DefaultFont;
        form->Message->SetCaption(text.empty() ? std::string(" ") : text);
        if (text.empty()) form->Message->SetCaption(text);

        int clientHeight = kButtonHeight + form->Message->Height() + 50;
        int clientWidth = 40 + std::max(rowWidth, form->Message->Left() + form->Message->Width());
        form->SetClientSize(clientWidth, clientHeight);

        unsigned defaultBit = (buttons & mbOK) ? mbOK : (buttons & mbYes) ? mbYes : mbRetry;
        unsigned cancelBit = (buttons & mbCancel) ? mbCancel : (buttons & mbNo) ? mbNo : mbOK;
        int x = (clientWidth - rowWidth) / 2;
        int y = clientHeight - kButtonHeight - 10;
        int tab = 0;
        for (int i = 0; i < 11; ++i) {
            if (!(buttons & (1u << i))) continue;
            auto* b = new TButton(form, form, kButtons[i].Caption, x, y, kButtonWidth, kButtonHeight);
            b->Name = kButtons[i].Name;
            b->Font = DefaultButtonFont;
            b->FontChanged();
            b->TabOrder = tab++;
            if (kButtons[i].Result != 0) {
                b->ModalResult = kButtons[i].Result;
            } else {
                b->OnClick = [helpContext](TObject*) {
                    WinHelpA(nullptr, nullptr, HELP_CONTEXT, static_cast<ULONG_PTR>(helpContext));
                };
            }
            if ((1u << i) == defaultBit) {
                b->SetDefault(true);
                form->SetActiveControl(b);
            }
            if ((1u << i) == cancelBit) b->SetCancel(true);
            x += kButtonWidth + kButtonGap;
        }
        result = form->ShowModal();
    } catch (...) {
        form->Release();
        throw;
    }
    form->Release();
    return result;
}
