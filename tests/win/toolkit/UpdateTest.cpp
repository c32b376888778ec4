// Lists and trees filled with redrawing off: pairs nest, the last one
// repaints once, and change notifications still come while redrawing is off.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/support/UiDriver.h"
#include "tests/win/toolkit/ToolkitApplicationTest.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

namespace {
class UpdateTest : public ToolkitApplicationTest {
protected:
    static bool RepaintPending(TWinControl* control) { return GetUpdateRect(control->Handle(), nullptr, FALSE); }
    // A shown form filled by a list of a check box column and a text column
    // that takes the rest of the width.
    static TListView* ShownList(const char* caption, int width, int height) {
        auto* form = new TForm(Application, caption, width, height);
        auto* list = new TListView(form, form, true, false);
        list->SetAlign(alClient);
        list->AddColumn("Done", 40);
        list->AddColumn("Text", 0, true);
        form->Show();
        ui::Pump(30);
        return list;
    }
};
}  // namespace

TEST_F(UpdateTest, ListUpdatesNestRepaintOnceAndKeepNotifying) {
    TListView* list = ShownList("List", 400, 300);
    ASSERT_FALSE(RepaintPending(list));

    std::vector<int> stateChanges;
    list->OnChange = [&](TObject*, int item, TItemChange change) {
        if (change == ctState) stateChanges.push_back(item);
    };
    list->BeginUpdate();
    list->BeginUpdate();
    list->SetItemCount(200);
    for (int i = 0; i < 200; ++i) {
        int row = list->AddItem("");
        ASSERT_EQ(row, i);
        list->SetItemText(row, 1, "Row " + std::to_string(i));
        size_t before = stateChanges.size();
        list->SetChecked(row, i % 3 == 0);
        // A change is reported at once, as without the update; a new row
        // is unchecked already.
        if (i % 3 == 0) {
            ASSERT_GT(stateChanges.size(), before);
            EXPECT_EQ(stateChanges.back(), row);
        } else {
            EXPECT_EQ(stateChanges.size(), before);
        }
    }
    EXPECT_FALSE(RepaintPending(list));
    list->EndUpdate();
    EXPECT_FALSE(RepaintPending(list)) << "the outer pair is still open";
    list->EndUpdate();
    EXPECT_TRUE(RepaintPending(list));
    ui::Pump(30);
    EXPECT_FALSE(RepaintPending(list));
    list->EndUpdate();  // one too many: nothing happens
    EXPECT_FALSE(RepaintPending(list));

    ASSERT_EQ(list->ItemCount(), 200);
    EXPECT_EQ(list->ItemText(199, 1), "Row 199");
    EXPECT_TRUE(list->Checked(198));
    EXPECT_FALSE(list->Checked(199));

    {
        TUpdateGuard<TListView> update(list);
        list->Clear();
        EXPECT_FALSE(RepaintPending(list));
    }
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_TRUE(RepaintPending(list));
}

TEST_F(UpdateTest, TreeFilledWithoutRedrawLaysOutItsNodesAfterwards) {
    auto* form = new TForm(Application, "Tree", 200, 150);
    auto* tree = new TTreeView(form, form);
    tree->SetAlign(alClient);
    form->Show();
    ui::Pump(30);
    std::vector<TTreeNode*> changes;
    tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
    TTreeNode* last = nullptr;
    {
        TUpdateGuard<TTreeView> update(tree);
        for (int c = 0; c < 5; ++c) {
            TTreeNode* root = tree->AddRoot("Category " + std::to_string(c));
            for (int p = 0; p < 20; ++p) last = tree->AddChild(root, "Project " + std::to_string(p));
            tree->Expand(root, true);
        }
        tree->SetSelected(tree->Roots()[0]);
        ASSERT_EQ(changes.size(), 1u) << "the selection change is reported while redrawing is off";
        EXPECT_EQ(changes[0], tree->Roots()[0]);
    }
    EXPECT_TRUE(RepaintPending(tree));
    EXPECT_TRUE(tree->IsExpanded(tree->Roots()[4]));
    // The last node lies far below the window; selecting it now scrolls it into view.
    tree->SetSelected(last);
    ui::Pump(30);
    RECT client, node = tree->NodeRect(last);
    GetClientRect(tree->Handle(), &client);
    EXPECT_GT(node.bottom, node.top);
    EXPECT_GE(node.top, client.top);
    EXPECT_LE(node.bottom, client.bottom);
    EXPECT_EQ(tree->Selected(), last);
}

// A list takes its columns with drawing off; made, it draws and lays its
// scroll bar out again as rows come, and its columns are all there.
TEST_F(UpdateTest, ListMadeWithItsColumnsDrawsAndScrollsAfterwards) {
    TListView* list = ShownList("Made", 300, 200);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    RECT client;
    GetClientRect(list->Handle(), &client);
    EXPECT_EQ(list->ColumnWidth(0) + list->ColumnWidth(1), client.right) << "the automatic column fills the list";
    ASSERT_FALSE(RepaintPending(list));
    for (int i = 0; i < 100; ++i) list->AddItem("Row " + std::to_string(i));
    EXPECT_TRUE(RepaintPending(list)) << "rows added to a list that draws mark it for painting";
    SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE};
    ASSERT_TRUE(GetScrollInfo(list->Handle(), SB_VERT, &bar));
    EXPECT_EQ(bar.nMax, 99) << "the scroll bar counts every row";
    EXPECT_GT(bar.nPage, 0u);
    EXPECT_LT(static_cast<int>(bar.nPage), 100);
}
