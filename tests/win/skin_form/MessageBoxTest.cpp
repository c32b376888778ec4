// The skinned message box: layout with and without the skin, default and
// cancel buttons and their fall-back, results, the text as a "Static" child
// window, Ctrl+C, resource strings, and what a thousand boxes leave behind.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/form/Lacquer.h"
#include "skin/form/vlMessages.h"
#include "skin/controls/vlSkinRelay.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        Application->Title = "Plandesk";
        InstallSkinMessages();
        Skin = new TvlSkinData(nullptr);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
        Skin->SetCompressedStoredSkin(Stored.get());
        Messages = new TvlSkinMessage(nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(ui::PendingModalActions(), 0);
        delete Messages;
        delete Skin;
        delete FApplication;
    }
    void Skinned() {
        Messages->SetSkinData(Skin);
        Messages->SetCtrlSkinData(Skin);
    }
    static TvlMessageForm* Box(TForm* f) { return dynamic_cast<TvlMessageForm*>(f); }
    static TvlSkinButton* Button(TForm* f, const char* name) {
        return dynamic_cast<TvlSkinButton*>(f->FindComponent(name));
    }
    static std::string WindowText(HWND w) {
        char text[512] = {};
        GetWindowTextA(w, text, sizeof text);
        return text;
    }

    TApplication* FApplication = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;
    TvlSkinMessage* Messages = nullptr;
};

}  // namespace

TEST_F(MessageBoxTest, SkinnedLayoutAndTheTextAsAStaticChildWindow) {
    Skinned();
    int buttonHeight = -1;
    int i = Skin->FindControlIndex("button");
    ASSERT_GE(i, 0);
    buttonHeight = Skin->SkinControls[static_cast<size_t>(i)]->SkinRect.Height();
    ui::OnNextModal([&](TForm* f) {
        TvlMessageForm* box = Box(f);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->Caption(), "Information");
        EXPECT_EQ(WindowText(box->Handle()), "Information");
        EXPECT_TRUE(box->vlLacquer1->SkinActive());
        EXPECT_EQ(box->vlLacquer1->SkinData(), Skin);
        // No caption buttons on the box's frame.
        for (auto& o : box->vlLacquer1->Objects())
            if (dynamic_cast<TvlSkinStdButtonObject*>(o.get())) EXPECT_FALSE(o->Enabled) << o->IDName;
        TvlSkinButton* ok = Button(f, "OK");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->SkinData(), Skin);
        EXPECT_GE(ok->ElementIndex(), 0);
        EXPECT_EQ(ok->Width(), 70);
        EXPECT_EQ(ok->Height(), buttonHeight);
        EXPECT_EQ(box->ClientHeight(), buttonHeight + box->Message->Height() + 50);
        EXPECT_EQ(ok->Top(), box->ClientHeight() - buttonHeight - 10);
        EXPECT_EQ(ok->Left(), (box->ClientWidth() - 70) / 2);
        // The text: a "Static" child whose window text is the message.
        HWND text = FindWindowExA(box->Handle(), nullptr, "Static", nullptr);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(WindowText(text), "Please select a task to edit!");
        EXPECT_EQ(text, box->Message->Handle());
        EXPECT_EQ(box->Message->Left(), 50);
        EXPECT_EQ(box->Message->Top(), 15);
        EXPECT_EQ(box->Message->SkinData(), Skin);
        // The icon beside the text.
        ASSERT_NE(box->Image, nullptr);
        EXPECT_EQ(box->Image->Name, "Image");
        EXPECT_EQ(box->Image->IconId, 32516);
        EXPECT_EQ(box->Image->Left(), 5);
        EXPECT_EQ(box->Image->Top(), std::max(15 + box->Message->Height() / 2 - 16, 10));
        EXPECT_EQ(GetFocus(), ok->Handle());
        ui::SaveScreenshot(box->Handle(), "messagebox-modern-information");
        ui::Key(ok, VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Please select a task to edit!", mtInformation, mbOK), 1);
}

TEST_F(MessageBoxTest, WithoutTheSkinButtonsAre25High) {
    ui::OnNextModal([&](TForm* f) {
        TvlSkinButton* ok = Button(f, "OK");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->Height(), 25);
        EXPECT_FALSE(Box(f)->vlLacquer1->SkinActive());
        EXPECT_EQ(f->ClientHeight(), 25 + Box(f)->Message->Height() + 50);
        ui::Key(ok, VK_ESCAPE);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Plain", mtWarning, mbOK), 1);
}

TEST_F(MessageBoxTest, OkAloneAnswersEnterAndEscapeWithOne) {
    Skinned();
    for (WORD key : {VK_RETURN, VK_ESCAPE}) {
        ui::OnNextModal([&](TForm* f) {
            TvlSkinButton* ok = Button(f, "OK");
            EXPECT_EQ(f->DefaultButton, ok);
            EXPECT_EQ(f->CancelButton, ok);
            ui::Key(ok, key);
        });
        EXPECT_EQ(Messages->ShowMessageBox("One button", mtInformation, mbOK), 1);
    }
}

TEST_F(MessageBoxTest, OkCancelYesNoAndTheFallBackToNone) {
    Skinned();
    // Escape answers with the cancel button, Enter with the default one.
    struct Case {
        const char* Text;
        TvlMsgDlgType Type;
        TvlMsgDlgButtons Buttons;
        const char *Default, *Cancel;
        int OnEscape, OnEnter;
    };
    for (const Case& c : {Case{"Are you sure to delete current project?", mtInformation, mbOK | mbCancel, "OK",
                               "Cancel", 2, 1},
                          Case{"Yes or no?", mtConfirmation, mbYes | mbNo, "Yes", "No", 7, 6}}) {
        ui::OnNextModal([&](TForm* f) {
            EXPECT_EQ(f->DefaultButton, Button(f, c.Default));
            EXPECT_EQ(f->CancelButton, Button(f, c.Cancel));
            ui::Key(Button(f, c.Default), VK_ESCAPE);
        });
        EXPECT_EQ(Messages->ShowMessageBox(c.Text, c.Type, c.Buttons), c.OnEscape) << c.Text;
        ui::OnNextModal([&](TForm* f) { ui::Key(Button(f, c.Default), VK_RETURN); });
        EXPECT_EQ(Messages->ShowMessageBox(c.Text, c.Type, c.Buttons), c.OnEnter) << c.Text;
    }
    // Retry is the default only when shown; without Cancel, No or OK there
    // is no cancel button, and Escape does nothing.
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(f->DefaultButton, Button(f, "Retry"));
        EXPECT_EQ(f->CancelButton, nullptr);
        ui::Key(Button(f, "Retry"), VK_ESCAPE);
        EXPECT_TRUE(IsWindowVisible(f->Handle()));
        ui::Key(Button(f, "Abort"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Disk error", mtError, mbAbort | mbRetry | mbIgnore), 3);
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(f->DefaultButton, nullptr);
        EXPECT_EQ(f->CancelButton, nullptr);
        ui::Answer(f, "Ignore");
    });
    EXPECT_EQ(Messages->ShowMessageBox("Disk error", mtError, mbAbort | mbIgnore), 5);
    // Help asks the help system and does not close.
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(Button(f, "Help")->Caption(), "&Help");
        EXPECT_EQ(Box(f)->HelpContext, 42);
        ui::Answer(f, "Help");
        EXPECT_TRUE(IsWindowVisible(f->Handle()));
        ui::Answer(f, "All");
    });
    EXPECT_EQ(Messages->ShowMessageBox("Which?", mtConfirmation, mbAll | mbNoToAll | mbYesToAll | mbHelp, 42), 8);
}

TEST_F(MessageBoxTest, WideTextsCustomTypeAndNoButtons) {
    Skinned();
    const std::string wide(50, 'W');
    ui::OnNextModal([&](TForm* f) {
        TvlMessageForm* box = Box(f);
        EXPECT_EQ(box->ClientWidth(), 40 + 50 + box->Message->Width());
        EXPECT_EQ(box->Caption(), "Warning");
        EXPECT_EQ(box->Image->IconId, 32515);
        ui::Key(Button(f, "OK"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox(wide, mtWarning, mbOK), 1);
    // Wider than the screen: held to the frame's maximum width.
    ui::OnNextModal([&](TForm* f) {
        RECT r;
        GetWindowRect(f->Handle(), &r);
        EXPECT_EQ(r.right - r.left, Box(f)->vlLacquer1->MaximumWidth());
        ui::Key(Button(f, "OK"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox(std::string(200, 'W'), mtWarning, mbOK), 1);
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(f->Caption(), "Plandesk");
        EXPECT_FALSE(Box(f)->Image->Visible());
        ui::Key(Button(f, "OK"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Custom", mtCustom, mbOK), 1);
    ui::OnNextModal([&](TForm* f) {
        EXPECT_TRUE(Box(f)->Buttons.empty());
        // Only the window's own close means close it.
        PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ui::Pump();
    });
    EXPECT_EQ(Messages->ShowMessageBox("No buttons", mtError, 0), 2);
}

TEST_F(MessageBoxTest, CtrlCCopiesInTheSystemBoxLayout) {
    Skinned();
    ui::OnNextModal([&](TForm* f) {
        TvlSkinButton* ok = Button(f, "OK");
        SetFocus(ok->Handle());
        {
            ui::TKeysHeld control({VK_CONTROL});
            PostMessageA(ok->Handle(), WM_KEYDOWN, 'C', 1);
            ui::Pump();
        }
        ui::Key(ok, VK_ESCAPE);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Are you sure do you want remove this taks?", mtInformation, mbOK | mbCancel),
              2);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string text = data ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(text,
              "---------------------------\r\nInformation\r\n---------------------------\r\n"
              "Are you sure do you want remove this taks?\r\n---------------------------\r\n"
              "OK   Cancel   \r\n---------------------------\r\n");
    EXPECT_EQ(vlMessageTexts::ClipboardText("Confirm", "Go?", {"&Yes", "&No", "N&oToAll"}),
              "---------------------------\r\nConfirm\r\n---------------------------\r\nGo?\r\n"
              "---------------------------\r\nYes   No   NoToAll   \r\n---------------------------\r\n");
}

TEST_F(MessageBoxTest, ResourceStringsReplaceCaptionsAndButtons) {
    Skinned();
    TvlResourceStrData strings(nullptr);
    strings.ResStrings.Insert(0, "MSG_BTN_OK=&Okay");
    strings.ResStrings.Insert(0, "MSG_BTN_CANCEL=Abbrechen");
    strings.ResStrings.Insert(0, "MSG_CAP_INFORMATION=Hinweis");
    strings.CharSet = 238;
    Skin->SetResourceStrData(&strings);
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(f->Caption(), "Hinweis");
        EXPECT_EQ(Button(f, "OK")->Caption(), "&Okay");
        EXPECT_EQ(Button(f, "Cancel")->Caption(), "Abbrechen");
        EXPECT_EQ(Box(f)->Message->TextFont().CharSet(), 238);
        ui::Key(Button(f, "OK"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Text", mtInformation, mbOK | mbCancel), 1);
    Skin->SetResourceStrData(nullptr);
    ui::OnNextModal([&](TForm* f) {
        EXPECT_EQ(f->Caption(), "Information");
        EXPECT_EQ(Button(f, "OK")->Caption(), "OK");
        ui::Key(Button(f, "OK"), VK_RETURN);
    });
    EXPECT_EQ(Messages->ShowMessageBox("Text", mtInformation, mbOK | mbCancel), 1);
}

TEST_F(MessageBoxTest, AThousandMessageBoxesLeaveNothingBehind) {
    Skinned();
    // Each box answers itself with a click of OK as soon as its loop runs.
    Messages->OnDialogBuilt = [](TvlMessageForm* box) {
        TvlSkinButton* ok = box->Buttons.front();
        ok->HandleNeeded();
        PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(Messages->ShowMessageBox("Warm-up", mtInformation, mbOK | mbCancel), 1);
    ui::Pump();
    TLeakCheck leaks;
    int windows = 0;
    windows = ThreadTopLevelWindowCount();
    int hooks = Application->MessageHookCount();
    int forms = static_cast<int>(Application->Forms().size());
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(Messages->ShowMessageBox("Message " + std::to_string(i), mtInformation, mbOK | mbCancel), 1);
    ui::Pump();
    EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    EXPECT_EQ(static_cast<int>(Application->Forms().size()), forms);
    leaks.ExpectNone("1,000 message boxes");
}

TEST_F(MessageBoxTest, ScreenshotsInBothSkins) {
    for (const char* skin : {"modern", "graphite"}) {
        if (std::string(skin) == "graphite") Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
        Skinned();
        ui::OnNextModal([&](TForm* f) {
            ui::SaveScreenshot(f->Handle(), std::string("messagebox-") + skin + "-confirm");
            ui::Key(Button(f, "OK"), VK_RETURN);
        });
        EXPECT_EQ(Messages->ShowMessageBox("Are you sure to delete current category?", mtInformation,
                                           mbOK | mbCancel),
                  1);
    }
}
