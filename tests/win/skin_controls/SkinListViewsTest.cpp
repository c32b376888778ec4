// The skinned list and tree views: external bars that appear, hide and stay
// in step both ways, the native windows readable from outside, the skinned
// header, and the wheel.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "skin/controls/vlSkinRelay.h"
#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ExtCtrls.h"

namespace {
class SkinListViews : public SkinControlsFixture {
protected:
    // A view filling a panel, with a bottom and a right bar, as the main window has them.
    template <class View>
    void Place(View* view, TPanel* panel) {
        H = new TvlSkinScrollBar(Form, panel, sbHorizontal);
        H->SetAlign(alBottom);
        V = new TvlSkinScrollBar(Form, panel, sbVertical);
        V->SetAlign(alRight);
        H->SetSkinData(Skin);
        V->SetSkinData(Skin);
        view->SetAlign(alClient);
        view->SetHScrollBar(H);
        view->SetVScrollBar(V);
        view->SetSkinData(Skin);
    }
    // A list view filling a 300 x 200 panel as above, with its columns
    // (width 0: the rest of the row), shown.
    TvlSkinListView* ShowList(bool checkBoxes, bool columnClick,
                              std::initializer_list<std::pair<const char*, int>> columns) {
        auto* panel = new TPanel(Form, Form);
        panel->SetBounds(10, 10, 300, 200);
        auto* list = new TvlSkinListView(Form, panel, checkBoxes, columnClick);
        for (const auto& [caption, width] : columns) list->AddColumn(caption, width, width == 0);
        Place(list, panel);
        Form->Show();
        return list;
    }
    // A tree view filling a 200 x 200 panel as above, shown.
    TvlSkinTreeView* ShowTree() {
        auto* panel = new TPanel(Form, Form);
        panel->SetBounds(10, 10, 200, 200);
        auto* tree = new TvlSkinTreeView(Form, panel);
        Place(tree, panel);
        Form->Show();
        return tree;
    }
    TvlSkinScrollBar* H = nullptr;
    TvlSkinScrollBar* V = nullptr;
};

int TopIndex(TListView* list) { return static_cast<int>(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0)); }
}  // namespace

TEST_F(SkinListViews, ListBarsAppearHideAndFollowBothWays) {
    auto* list = ShowList(true, true, {{"Done", 40}, {"Task Description", 0}});
    EXPECT_FALSE(V->Visible());
    EXPECT_FALSE(H->Visible());
    // The native bars take no room.
    RECT client;
    GetClientRect(list->Handle(), &client);
    EXPECT_EQ(client.right, list->Width());

    {
        TUpdateGuard<TListView> update(list);
        list->SetItemCount(60);
        for (int i = 0; i < 60; ++i) {
            int row = list->AddItem("");
            list->SetItemText(row, 1, "Task " + std::to_string(i));
        }
    }
    ui::Pump();
    ASSERT_TRUE(V->Visible());
    EXPECT_EQ(list->Width(), 300 - V->Width());  // the parent made room
    int perPage = static_cast<int>(SendMessageA(list->Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GT(perPage, 3);
    EXPECT_EQ(V->LargeChange, perPage);
    EXPECT_EQ(V->PageSize(), perPage);
    EXPECT_EQ(V->Max(), 59);

    // Bar to view, and view to bar (keyboard and wheel).
    V->SetPosition(20);
    EXPECT_EQ(TopIndex(list), 20);
    list->SetFocus();
    SendMessageA(list->Handle(), WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(V->Position(), 60 - perPage);
    SendMessageA(list->Handle(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(V->Position(), 0);
    POINT centre{list->Width() / 2, list->Height() / 2};
    ClientToScreen(list->Handle(), &centre);
    SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
    EXPECT_GT(V->Position(), 0);
    EXPECT_EQ(V->Position(), TopIndex(list));

    // The native list answers its own messages.
    char text[64] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list->Handle(), LVM_GETITEMTEXTA, 7, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Task 7");
    char cls[32] = {};
    GetClassNameA(list->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, WC_LISTVIEWA);

    // Rows removed until they fit: the bar hides and the list takes the room back.
    {
        TUpdateGuard<TListView> update(list);
        while (list->ItemCount() > 2) list->DeleteItem(list->ItemCount() - 1);
    }
    ui::Pump();
    EXPECT_FALSE(V->Visible());
    EXPECT_EQ(list->Width(), 300);
    ui::SaveScreenshot(Form->Handle(), "skinned-list-few-rows");
}

TEST_F(SkinListViews, HeaderIsWiderAndShowsThePressedSectionButNotOnADivider) {
    auto* list = ShowList(false, true, {{"Hour", 60}, {"Action", 150}});
    HWND header = list->HeaderWindow();
    ASSERT_NE(header, nullptr);
    RECT hr;
    GetWindowRect(header, &hr);
    EXPECT_EQ(hr.right - hr.left, list->Width() + 4);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    EXPECT_EQ(list->PressedSection(), 1);
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(list->PressedSection(), -1);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 5));  // the divider
    EXPECT_EQ(list->PressedSection(), -1);
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    ReleaseCapture();

    // The sections are drawn from the skin's button element.
    TvlSkinLook look;
    look.ReadElement(Skin, "resizebutton", true);
    ASSERT_TRUE(look.HasElement());
    int h = hr.bottom - hr.top;
    TBitmap shot(400, h);
    list->PaintHeader(shot.DC());
    COLORREF skinned = GetPixel(shot.DC(), 30, 1);
    list->HeaderSkinDataName = "no such element";
    list->PaintHeader(shot.DC());
    EXPECT_NE(GetPixel(shot.DC(), 30, 1), skinned);
}

TEST_F(SkinListViews, TreeBarFollowsExpandAndCollapseAndScrollsTheTree) {
    auto* tree = ShowTree();
    std::vector<TTreeNode*> roots;
    for (int r = 0; r < 3; ++r) {
        TTreeNode* root = tree->AddRoot("Category " + std::to_string(r));
        roots.push_back(root);
        for (int c = 0; c < 15; ++c) tree->AddChild(root, "Project " + std::to_string(c));
    }
    ui::Pump();
    EXPECT_FALSE(V->Visible());  // three collapsed roots fit
    tree->Expand(roots[0], true);
    ui::Pump();
    ASSERT_TRUE(V->Visible());
    EXPECT_EQ(tree->Width(), 200 - V->Width());
    V->SetPosition(5);
    auto first = reinterpret_cast<HTREEITEM>(SendMessageA(tree->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    EXPECT_EQ(first, tree->Nodes()[5]->Item);  // root 0, then its children
    SendMessageA(tree->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(roots[0]->Item));
    ui::Pump();
    EXPECT_FALSE(V->Visible());
    EXPECT_EQ(tree->Width(), 200);

    // Outside readers see the native tree.
    char text[64] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = roots[2]->Item;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Category 2");

    // A removed bar leaves the tree without it.
    delete V;
    EXPECT_EQ(tree->VScrollBar(), nullptr);
    tree->Expand(roots[1], true);
    ui::Pump();
}

// Filled with drawing off, a view has its bar and its narrower width as soon
// as drawing is on again: its first paint is at its final width, not moved
// by the paint and painted again.
TEST_F(SkinListViews, AViewFilledWithDrawingOffHasItsBarBeforeItsFirstPaint) {
    auto* tree = ShowTree();
    ui::Pump();
    ASSERT_FALSE(V->Visible());
    {
        TUpdateGuard<TTreeView> update(tree);
        for (int r = 0; r < 3; ++r) {
            TTreeNode* root = tree->AddRoot("Category " + std::to_string(r));
            for (int c = 0; c < 15; ++c) tree->AddChild(root, "Project " + std::to_string(c));
            tree->Expand(root, true);
        }
        EXPECT_FALSE(V->Visible()) << "nothing moves while drawing is off";
    }
    EXPECT_TRUE(V->Visible());
    EXPECT_EQ(tree->Width(), 200 - V->Width());

    auto* list = ShowList(false, false, {{"Task", 0}});
    ui::Pump();
    ASSERT_FALSE(V->Visible());
    {
        TUpdateGuard<TListView> update(list);
        for (int i = 0; i < 40; ++i) list->AddItem("Task " + std::to_string(i));
    }
    EXPECT_TRUE(V->Visible());
    EXPECT_EQ(list->Width(), 300 - V->Width());
}

TEST_F(SkinListViews, ScrollingManyStepsLeavesNothingBehind) {
    auto* list = ShowList(true, true, {{"Task", 0}});
    {
        TUpdateGuard<TListView> update(list);
        list->SetItemCount(500);
        for (int i = 0; i < 500; ++i) list->AddItem("row " + std::to_string(i));
    }
    ui::Pump();
    TLeakCheck leaks;
    int windows = 0;
    windows = ThreadWindowCount();
    for (int i = 0; i < 1000; ++i) {
        V->SetPosition(i % 2 ? V->Position() + 7 : V->Position() - 3);
        if (i % 50 == 0) UpdateWindow(Form->Handle());
    }
    ui::Pump();
    leaks.ExpectNone("1,000 scroll steps");
    EXPECT_EQ(ThreadWindowCount(), windows);
}

TEST_F(SkinListViews, ASkinChangeReachesTheViewsColoursAndTheirBars) {
    auto* list = ShowList(false, false, {{"Task", 0}});
    auto* data = list->SkinLook().ElementAs<TvlDataSkinFontAndBGControl>();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETBKCOLOR, 0, 0)), data->BGColor);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETTEXTCOLOR, 0, 0)), data->FontColor);
    // Between the two notices nothing is read from the old skin; afterwards a
    // name the skin lacks gives the plain colours.
    RelaySkinChange(Form, Skin, true);
    EXPECT_FALSE(list->SkinLook().HasElement());
    EXPECT_EQ(V->ElementIndex(), -1);
    list->SkinDataName = "no such element";
    RelaySkinChange(Form, Skin, false);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETBKCOLOR, 0, 0)), GetSysColor(COLOR_WINDOW));
    EXPECT_GE(V->ElementIndex(), 0);
    // Without the skin data at all the views and bars keep working plainly.
    delete Skin;
    Skin = nullptr;
    EXPECT_EQ(list->SkinData(), nullptr);
    EXPECT_EQ(V->SkinData(), nullptr);
    for (int i = 0; i < 40; ++i) list->AddItem("row");
    ui::Pump();
    EXPECT_TRUE(V->Visible());
}
