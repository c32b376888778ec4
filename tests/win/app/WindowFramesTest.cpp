// Every planner window wears the skinned frame: the main window with its
// minimize, maximize and system-menu buttons, the dialogs with the close
// button, the message box without caption buttons; in the built-in "Modern"
// skin and in "Graphite" loaded as the replacement skin.
#include "tests/win/app/PlannerFixture.h"

#include "app/FCategory.h"
#include "app/FHour.h"
#include "app/FNewProject.h"
#include "app/FTask.h"
#include "skin/form/Lacquer.h"

namespace {

TvlLacquer* FrameOf(TForm* form) {
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* frame = dynamic_cast<TvlLacquer*>(form->Components(i))) return frame;
    return nullptr;
}

std::vector<std::string> VisibleButtons(TvlLacquer* frame) {
    std::vector<std::string> names;
    for (auto& o : frame->Objects())
        if (o->Visible && dynamic_cast<TvlSkinStdButtonObject*>(o.get())) names.push_back(o->IDName);
    return names;
}

void Screenshots(TForm* form, const std::string& name) {
    TvlLacquer* frame = FrameOf(form);
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    ui::SaveScreenshot(form->Handle(), name + "_active");
    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(frame->IsFrameActive());
    ui::SaveScreenshot(form->Handle(), name + "_inactive");
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
}

// Checks and pictures of every window in the skin loaded now.
void CheckEveryWindow(TfrmMain* main, const std::string& skin) {
    TvlLacquer* frame = main->vlLacquer1;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Name, "vlLacquer1");
    EXPECT_EQ(frame->SkinData(), main->vlSkinData1);
    EXPECT_TRUE(frame->SkinActive());
    EXPECT_EQ(GetWindowLongA(main->Handle(), GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(VisibleButtons(frame),
              (std::vector<std::string>{"closebutton", "maxbutton", "minbutton", "sysmenubutton"}));
    // The caption is the window's own text, for the task bar and automation.
    char text[64] = {};
    GetWindowTextA(main->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Plandesk");
    Screenshots(main, "main_" + skin);

    auto* dialog = new TfrmCategory(Application, main->msgMain);
    dialog->SetCaption("New Category");
    bool seen = false;
    ui::OnNextModal([&](TForm* f) {
        TvlLacquer* df = FrameOf(f);
        ASSERT_NE(df, nullptr);
        EXPECT_EQ(df->Name, "vlLacquer1");
        EXPECT_EQ(df->SkinData(), main->vlSkinData1);
        EXPECT_EQ(VisibleButtons(df), (std::vector<std::string>{"closebutton", "sysmenubutton"}));
        EXPECT_EQ(df->DefCaptionFont.Name(), "Arial");
        EXPECT_EQ(df->DefCaptionFont.Style() & fsBold, fsBold);
        Screenshots(f, "dialog_" + skin);
        seen = true;
        // Alt+F4 closes the dialog as Cancel.
        SendMessageA(f->Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
        ui::Pump(20);
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    dialog->Release();
    EXPECT_TRUE(seen);

    // The other three dialogs wear the same frame.
    std::vector<std::pair<TEditDialog*, std::string>> others = {
        {new TfrmTask(Application, main->msgMain), "dialog_task_"},
        {new TfrmHour(Application, main->msgMain), "dialog_hour_"},
        {new TfrmCreateProject(Application, main->msgMain, main->Projects()->Categories), "dialog_project_"}};
    for (auto& [d, name] : others) {
        ui::OnNextModal([&, name = name](TForm* f) {
            TvlLacquer* df = FrameOf(f);
            ASSERT_NE(df, nullptr);
            EXPECT_EQ(df->SkinData(), main->vlSkinData1);
            EXPECT_TRUE(df->SkinActive());
            Screenshots(f, name + skin);
            f->ModalResult = mrCancel;
        });
        d->ShowModal();
        d->Release();
    }

    seen = false;
    ui::OnNextModal([&](TForm* f) {
        TvlLacquer* mf = FrameOf(f);
        ASSERT_NE(mf, nullptr);
        EXPECT_EQ(mf->SkinData(), main->vlSkinData1);
        EXPECT_TRUE(VisibleButtons(mf).empty());
        Screenshots(f, "message_" + skin);
        seen = true;
        ui::Answer(f, "OK");
    });
    main->msgMain->ShowMessageBox("The frame of the message box.", mtInformation, mbOK);
    EXPECT_TRUE(seen);
}

}  // namespace

TEST_F(PlannerTest, EveryWindowWearsTheSkinnedFrameInModernAndGraphite) {
    TfrmMain* main = Start();
    EXPECT_EQ(main->vlSkinData1->SkinName, "Modern");
    CheckEveryWindow(main, "modern");
}

TEST_F(PlannerTest, ReplacementSkinDressesEveryWindow) {
    Write("dbconfig.dat", "[Settings]\r\n");
    Write("dbskin.dat", ui::ReadFile(PLANDESK_GRAPHITE_PACKAGE));
    TfrmMain* main = Start();
    EXPECT_FALSE(main->vlSkinData1->IsEmpty());
    EXPECT_NE(main->vlSkinData1->SkinName, "Modern");
    CheckEveryWindow(main, "graphite");
}

TEST_F(PlannerTest, MainWindowCaptionButtonsMaximizeAndRestore) {
    TfrmMain* main = Start();
    TvlLacquer* frame = main->vlLacquer1;
    RECT before;
    GetWindowRect(main->Handle(), &before);
    frame->RunCommand(cmMaximize);
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    RECT r;
    GetWindowRect(main->Handle(), &r);
    EXPECT_GT(r.right - r.left, before.right - before.left);
    // The controls follow the new client size.
    EXPECT_EQ(main->ClientWidth(),
              (r.right - r.left) - (main->vlSkinData1->MainPicture.Width - main->vlSkinData1->ClientRect.Width()));
    frame->RunCommand(cmMaximize);
    EXPECT_EQ(frame->FrameWindowState(), fwsNormal);
    GetWindowRect(main->Handle(), &r);
    EXPECT_EQ(r.right - r.left, before.right - before.left);
    EXPECT_EQ(r.bottom - r.top, before.bottom - before.top);
    // Minimizing the main window minimizes the program; the frame stays normal.
    frame->RunCommand(cmMinimize);
    ui::Pump(20);
    EXPECT_TRUE(IsIconic(main->Handle()));
    EXPECT_EQ(frame->FrameWindowState(), fwsNormal);
    ShowWindow(main->Handle(), SW_RESTORE);
}
