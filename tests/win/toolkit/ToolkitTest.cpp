// The toolkit's layout, dialog keys, message box and exception routing, on
// real windows.
#include <gtest/gtest.h>

#include "core/ExceptionHook.h"
#include "skin/form/vlMessages.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "tests/win/toolkit/ToolkitApplicationTest.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

using ToolkitTest = ToolkitApplicationTest;

TEST_F(ToolkitTest, AlignAndAnchorsFollowTheParentsSize) {
    auto* form = new TForm(Application, "Layout", 300, 200);
    auto* top = new TPanel(form, form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* bottom = new TPanel(form, form);
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* left = new TPanel(form, form);
    left->SetWidth(50);
    left->SetAlign(alLeft);
    auto* client = new TPanel(form, form);
    client->SetAlign(alClient);
    auto* corner = new TButton(form, client, "x", 200, 120, 40, 20);
    corner->SetAnchors(akRight | akBottom);
    auto* stretch = new TEdit(form, client, 10, 10, 230, 18);
    stretch->SetAnchors(akLeft | akTop | akRight);

    EXPECT_EQ(top->Width(), 300);
    EXPECT_EQ(bottom->Top(), 180);
    EXPECT_EQ(left->Height(), 150);
    EXPECT_EQ(client->Left(), 50);
    EXPECT_EQ(client->Width(), 250);
    EXPECT_EQ(client->Height(), 150);

    form->SetClientSize(400, 260);
    ui::Pump();
    EXPECT_EQ(bottom->Top(), 240);
    EXPECT_EQ(client->Width(), 350);
    EXPECT_EQ(client->Height(), 210);
    EXPECT_EQ(corner->Left(), 300);  // 10 from the right edge, as before
    EXPECT_EQ(corner->Top(), 180);
    EXPECT_EQ(stretch->Left(), 10);
    EXPECT_EQ(stretch->Width(), 330);
    RECT r;
    GetWindowRect(corner->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 40);
}

TEST_F(ToolkitTest, MessageBoxLayoutResultsAndKeys) {
    TvlSkinMessage messages(nullptr);
    TLeakCheck leaks;
    ui::OnNextModal([](TForm* box) {
        auto* ok = dynamic_cast<TvlSkinButton*>(box->FindComponent("OK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(box->Caption(), "Information");
        EXPECT_EQ(ok->Width(), 70);
        EXPECT_EQ(ok->Height(), 25);
        EXPECT_EQ(ok->Left(), (box->ClientWidth() - 70) / 2);
        EXPECT_EQ(box->ClientWidth(), 40 + 50 + dynamic_cast<TvlMessageForm*>(box)->Message->Width());
        ui::SaveScreenshot(box->Handle(), "message-ok");
        ui::Key(ok, VK_ESCAPE);  // OK is the cancel button too
    });
    EXPECT_EQ(messages.ShowMessageBox("A long enough message for the layout", mtInformation, mbOK), 1);

    ui::OnNextModal([](TForm* box) {
        auto* cancel = dynamic_cast<TvlSkinButton*>(box->FindComponent("Cancel"));
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(GetFocus(), dynamic_cast<TvlSkinButton*>(box->FindComponent("OK"))->Handle());
        ui::Key(cancel, VK_ESCAPE);
    });
    EXPECT_EQ(messages.ShowMessageBox("Sure?", mtInformation, mbOK | mbCancel), 2);

    ui::OnNextModal([](TForm* box) { ui::Key(dynamic_cast<TWinControl*>(box->FindComponent("OK")), VK_RETURN); });
    EXPECT_EQ(messages.ShowMessageBox("Sure?", mtInformation, mbOK | mbCancel), 1);

    ui::OnNextModal([](TForm* box) { ui::Key(dynamic_cast<TWinControl*>(box->FindComponent("Yes")), VK_ESCAPE); });
    EXPECT_EQ(messages.ShowMessageBox("Yes or no?", mtConfirmation, mbYes | mbNo), 7);

    // "&No" answers Alt+N.
    ui::OnNextModal([](TForm* box) {
        PostMessageA(GetFocus(), WM_SYSCHAR, 'n', 1 << 29);
        ui::Pump();
    });
    EXPECT_EQ(messages.ShowMessageBox("Yes or no?", mtConfirmation, mbYes | mbNo), 7);

    ui::OnNextModal([](TForm* box) { PostMessageA(box->Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(messages.ShowMessageBox("Closed by its frame", mtWarning, mbOK | mbCancel), 2);
    leaks.ExpectNone("five message boxes opened and closed");
}

TEST_F(ToolkitTest, ExceptionsInHandlersReachTheExceptionManager) {
    static std::string seen;
    seen.clear();
    SetExceptionManager([](const std::exception* e, void*) {
        seen = e->what();
        return false;
    });
    auto* form = new TForm(Application, "Errors", 200, 60);
    auto* button = new TButton(form, form, "Fail", 10, 10, 80, 20);
    button->OnClick = [](TObject*) { throw EFCreateError("C:\\x\\Projects.dat", "Disk full"); };
    form->Show();
    ui::Click(button);
    SetExceptionManager(nullptr);
    EXPECT_EQ(seen, "Cannot create file \"C:\\x\\Projects.dat\". Disk full");
}

TEST_F(ToolkitTest, FreeNotificationClearsReferences) {
    struct Holder : TComponent {
        using TComponent::TComponent;
        TComponent* Ref = nullptr;
        void Notification(TComponent* c, bool removing) override {
            if (removing && c == Ref) Ref = nullptr;
        }
    };
    Holder holder(nullptr);
    auto* other = new TComponent(nullptr);
    holder.Ref = other;
    holder.FreeNotification(other);
    delete other;
    EXPECT_EQ(holder.Ref, nullptr);
}

TEST_F(ToolkitTest, FontHeightsFollowThePlatformsSignConvention) {
    // Skins give a positive height: the character cell, internal leading
    // included. A negative height is the characters alone.
    HDC dc = GetDC(nullptr);
    auto metrics = [&](const TFont& font) {
        TEXTMETRICA tm{};
        SelectGuard g(dc, font.Handle());
        GetTextMetricsA(dc, &tm);
        return tm;
    };
    TEXTMETRICA cell = metrics(TFont("Arial", 14));
    EXPECT_EQ(cell.tmHeight, 14);
    TEXTMETRICA characters = metrics(TFont("Arial", -14));
    EXPECT_EQ(characters.tmHeight - characters.tmInternalLeading, 14);
    EXPECT_GT(characters.tmHeight, cell.tmHeight);
    // The default font is eight points at 96 dots per inch.
    EXPECT_EQ(TFont().Height(), -11);
    ReleaseDC(nullptr, dc);
}
