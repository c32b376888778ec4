// The planner's windows in both built-in skins: the skinned buttons and the
// check box take their element and fit their size to it.
#include "tests/win/app/PlannerFixture.h"

#include "app/FTask.h"
#include "skin/form/vlSkinMenus.h"

TEST_F(PlannerTest, ButtonsWearTheSkinInBothBuiltInSkins) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nA^0^^  /  /    ^  /  /    ^\r\nEndProject\r\n");
    InBothSkins([&](TfrmMain* w, const std::string& skin) {
        ASSERT_FALSE(w->vlSkinData1->IsEmpty());
        for (TvlSkinButton* b : {w->btn1, w->btnSave, w->btnAdd, w->btnEditHour}) {
            EXPECT_GE(b->ElementIndex(), 0) << b->Name;
            EXPECT_EQ(b->SkinData(), w->vlSkinData1);
        }
        // A button whose element locks its height keeps the skin's height.
        const TvlSkinLook& look = w->btnAdd->SkinLook();
        if (look.StretchMode == smHorizontal || look.StretchMode == smFixed)
            EXPECT_EQ(w->btnAdd->Height(), look.SkinRect.Height());
        SelectNode("Plan");
        ui::SaveScreenshot(w->Handle(), std::string("skin-") + skin + "-main");

        OnTaskDialog([&](TfrmTask* d) {
            EXPECT_GE(d->chkDone->ElementIndex(), 0);
            EXPECT_GE(d->vlSkinButton1->ElementIndex(), 0);
            ui::Click(d->chkDone);
            EXPECT_TRUE(d->chkDone->Checked());
            EXPECT_EQ(SendMessageA(d->chkDone->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
            ui::SaveScreenshot(d->Handle(), std::string("skin-") + skin + "-task");
            ui::Key(d->vlSkinButton2, VK_ESCAPE);
        });
        ui::Click(w->btnAdd);
    });
}


TEST_F(PlannerTest, TreeMenuSystemMenuAndConfirmationInBothSkins) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
    InBothSkins([&](TfrmMain* w, const std::string& skin) {
        SetWindowPos(w->Handle(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ui::Pump(30);
        TTreeNode* node = w->tvwMain->Roots()[0]->Children[0];
        RECT r = w->tvwMain->NodeRect(node);
        ui::RightClickAt(w->tvwMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ASSERT_TRUE(w->vlLacquer1->Menus()->SkinMenu()->Visible);
        RECT tree, menu;
        GetWindowRect(w->tvwMain->Handle(), &tree);
        GetWindowRect(w->vlLacquer1->Menus()->SkinMenu()->Window(0)->Handle(), &menu);
        RECT area{tree.left, tree.top, std::max(tree.right, menu.right + 10), std::max(tree.top + 200, menu.bottom + 10)};
        ui::SaveScreenArea(area, std::string("treemenu-") + skin);
        w->vlLacquer1->Menus()->SkinMenu()->CloseAll();

        RECT wr;
        GetWindowRect(w->Handle(), &wr);
        SetCursorPos(wr.left + 60, wr.top + 12);
        PostMessageA(w->Handle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(wr.left + 60, wr.top + 12));
        ui::Pump(20);
        ASSERT_TRUE(w->vlLacquer1->Menus()->SkinMenu()->Visible);
        GetWindowRect(w->vlLacquer1->Menus()->SkinMenu()->Window(0)->Handle(), &menu);
        ui::SaveScreenArea({wr.left, wr.top, std::max(menu.right + 10, wr.left + 300), std::max(menu.bottom + 10, wr.top + 150)},
                       std::string("systemmenu-") + skin);
        w->vlLacquer1->Menus()->SkinMenu()->CloseAll();

        SelectNode("Plan");
        ui::OnNextModal([&](TForm* box) {
            RECT b;
            GetWindowRect(box->Handle(), &b);
            ui::SaveScreenArea(b, std::string("confirm-") + skin);
            ui::Answer(box, "Cancel");
        });
        w->Delete1->Click();
    });
}
