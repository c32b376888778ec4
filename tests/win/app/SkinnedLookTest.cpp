// The planner's windows in both built-in skins: the skinned buttons and the
// check box take their element and fit their size to it.
#include "tests/win/app/PlannerFixture.h"

#include "app/FTask.h"

namespace {
std::string GraphitePackage() { return ui::ReadFile(PLANDESK_GRAPHITE_PACKAGE); }
}  // namespace

TEST_F(PlannerTest, ButtonsWearTheSkinInBothBuiltInSkins) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nA^0^^  /  /    ^  /  /    ^\r\nEndProject\r\n");
    for (const char* skin : {"modern", "graphite"}) {
        SCOPED_TRACE(skin);
        if (std::string(skin) == "graphite") {
            std::string package = GraphitePackage();
            ASSERT_FALSE(package.empty());
            Write("dbskin.dat", package);
            Write("dbconfig.dat", "[Settings]\r\n");  // the skin file is read with the branding
        }
        TfrmMain* w = Start();
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

        ui::OnNextModal([&](TForm* form) {
            auto* d = dynamic_cast<TfrmTask*>(form);
            ASSERT_NE(d, nullptr);
            EXPECT_GE(d->chkDone->ElementIndex(), 0);
            EXPECT_GE(d->vlSkinButton1->ElementIndex(), 0);
            ui::Click(d->chkDone);
            EXPECT_TRUE(d->chkDone->Checked());
            EXPECT_EQ(SendMessageA(d->chkDone->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
            ui::SaveScreenshot(d->Handle(), std::string("skin-") + skin + "-task");
            ui::Key(d->vlSkinButton2, VK_ESCAPE);
        });
        ui::Click(w->btnAdd);
        frmMain->Release();
        frmMain = nullptr;
    }
}
