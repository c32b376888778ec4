// The planner's lists, tree, edits and category box in both built-in skins:
// the external scroll bars where the layout puts them, keyboard use without
// a mouse, and pictures of each window.
#include "tests/win/app/PlannerFixture.h"

#include "app/FNewProject.h"
#include "app/FTask.h"

namespace {
// A wheel notch down with the pointer over the middle of `over`, posted to
// `focused` as the system posts it to the focused window.
void WheelDownOver(HWND over, HWND focused) {
    RECT r;
    GetWindowRect(over, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    SetCursorPos(x, y);
    PostMessageA(focused, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(x, y));
    ui::Pump(30);
}

std::string LongPlan() {
    std::string categories, projects;
    for (int c = 0; c < 6; ++c) categories += "Area " + std::to_string(c) + "\r\n";
    for (int c = 0; c < 6; ++c)
        for (int p = 0; p < 5; ++p) {
            projects += "Header^Project " + std::to_string(c) + "." + std::to_string(p) + "^Area " + std::to_string(c) +
                        "^01/02/2008^03/04/2008^\r\n";
            int tasks = c == 0 && p == 0 ? 60 : 2;
            for (int t = 0; t < tasks; ++t)
                projects += std::string("^") + (t % 3 ? "False" : "True") + "^,^Task number " + std::to_string(t) +
                            " of a long plan^,^A note for the task^,^01/02/2008^,^  /  /    ^^\r\n";
            projects += "EndProject\r\n";
        }
    return categories + "\x01" + projects;
}
// The dialog and its drop-down (a window of its own, above it) in one picture.
void SaveWithDropDown(HWND dialog, HWND list, const std::string& name) {
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    ui::SaveScreenshot(dialog, name);
    RECT d, l, u;
    GetWindowRect(dialog, &d);
    GetWindowRect(list, &l);
    UnionRect(&u, &d, &l);
    TBitmap picture(u.right - u.left, u.bottom - u.top);
    for (auto [window, r] : {std::pair{dialog, d}, std::pair{list, l}}) {
        HDC dc = GetWindowDC(window);
        BitBlt(picture.DC(), r.left - u.left, r.top - u.top, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.find_last_of('\\') + 1) + "screenshots\\";
    picture.SaveToBmpFile(folder + name + ".bmp");
}
}  // namespace

TEST_F(PlannerTest, ListsTreeAndDialogsWearTheirSkinnedBarsInBothSkins) {
    std::string plan = LongPlan();
    size_t split = plan.find('\x01');
    Write("categories.dat", plan.substr(0, split));
    Write("projects.dat", plan.substr(split + 1));
    InBothSkins([&](TfrmMain* w, const std::string& skin) {
        w->pgcMain->SetActivePageIndex(1);
        ui::Pump(30);
        {
            SCROLLINFO v{sizeof v, SIF_ALL};
            GetScrollInfo(w->lvwToDo->Handle(), SB_VERT, &v);
            EXPECT_TRUE(w->vlSkinScrollBar6->Visible())
                << "style " << std::hex << GetWindowLongA(w->lvwToDo->Handle(), GWL_STYLE) << std::dec << " max "
                << v.nMax << " page " << v.nPage << " per page "
                << SendMessageA(w->lvwToDo->Handle(), LVM_GETCOUNTPERPAGE, 0, 0) << " size " << w->lvwToDo->Width()
                << "x" << w->lvwToDo->Height();
            // The panel made room for it.
            EXPECT_EQ(w->lvwToDo->Width(), w->vlSkinPanel4->ClientWidth() - w->vlSkinScrollBar6->Width());
        }
        w->pgcMain->SetActivePageIndex(0);
        // Thirty projects under six expanded categories do not fit the tree.
        EXPECT_TRUE(w->vlSkinScrollBar2->Visible());
        EXPECT_EQ(w->vlSkinScrollBar2->Parent(), w->vlSkinGroupBox1);
        EXPECT_EQ(w->tvwMain->Left() + w->tvwMain->Width(), w->vlSkinScrollBar2->Left());
        SelectNode("Project 0.0");
        ui::Pump(30);
        ASSERT_EQ(w->lvwItems->ItemCount(), 60);
        EXPECT_TRUE(w->vlSkinScrollBar4->Visible());
        EXPECT_EQ(w->vlSkinScrollBar4->Align(), alRight);
        EXPECT_EQ(w->vlSkinScrollBar3->Align(), alBottom);
        EXPECT_GE(w->vlSkinScrollBar4->ElementIndex(), 0);

        // Keyboard only: arrows and Page Down move the row, Space toggles the
        // task's done flag, and the bar follows.
        w->lvwItems->SetFocus();
        ui::Key(w->lvwItems, VK_HOME);
        EXPECT_EQ(w->lvwItems->SelectedIndex(), 0);
        ui::Key(w->lvwItems, VK_DOWN);
        EXPECT_EQ(w->lvwItems->SelectedIndex(), 1);
        bool was = w->lvwItems->Checked(1);
        ui::Key(w->lvwItems, VK_SPACE);
        EXPECT_NE(w->lvwItems->Checked(1), was);
        ui::Key(w->lvwItems, VK_END);
        ui::Pump(30);
        EXPECT_EQ(w->vlSkinScrollBar4->Position(), w->vlSkinScrollBar4->Max() - w->vlSkinScrollBar4->PageSize() + 1);
        ui::Key(w->lvwItems, VK_HOME);
        ui::Pump(30);
        EXPECT_EQ(w->vlSkinScrollBar4->Position(), 0);
        ui::Key(w->lvwItems, VK_NEXT);  // to the last row in view
        ui::Key(w->lvwItems, VK_NEXT);  // a page further
        ui::Pump(30);
        EXPECT_GT(w->vlSkinScrollBar4->Position(), 0);
        // The wheel over the list scrolls it even while the tree has the focus.
        w->tvwMain->SetFocus();
        int before = w->vlSkinScrollBar4->Position();
        WheelDownOver(w->lvwItems->Handle(), w->tvwMain->Handle());
        EXPECT_GT(w->vlSkinScrollBar4->Position(), before);
        // Over the list's own bar the wheel scrolls the list too.
        before = w->vlSkinScrollBar4->Position();
        WheelDownOver(w->vlSkinScrollBar4->Handle(), w->tvwMain->Handle());
        EXPECT_GT(w->vlSkinScrollBar4->Position(), before);
        ui::Key(w->lvwItems, VK_HOME);
        ui::Pump(30);
        ui::SaveScreenshot(w->Handle(), std::string("lists-") + skin + "-tasks-and-tree");

        // The context-menu key opens the tree's menu at the tree; a click at a
        // negative position (a monitor on the left) opens it there.
        POINT shown{0, 0};
        w->vlSkinPopupMenu1->Presenter = [&](TPopupMenu*, int x, int y) { shown = {x, y}; };
        SendMessageA(w->tvwMain->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
        POINT corner{0, 0};
        ClientToScreen(w->tvwMain->Handle(), &corner);
        EXPECT_EQ(shown.x, corner.x);
        EXPECT_EQ(shown.y, corner.y);
        SendMessageA(w->tvwMain->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-40, 300));
        EXPECT_EQ(shown.x, -40);
        EXPECT_EQ(shown.y, 300);
        w->vlSkinPopupMenu1->Presenter = nullptr;

        // The task dialog with a long note: its bar is enabled with a page of
        // the visible lines plus one.
        OnTaskDialog([&](TfrmTask* d) {
            std::string note;
            for (int i = 0; i < 30; ++i) note += "Line " + std::to_string(i) + " of a long note\r\n";
            d->memNotes->SetText(note);
            d->edtName->SetText("A task with a long note");
            ui::Pump(30);
            EXPECT_TRUE(d->vlSkinScrollBar1->Enabled());
            EXPECT_EQ(d->vlSkinScrollBar1->Width(), 19);
            EXPECT_EQ(d->vlSkinScrollBar1->PageSize(), d->memNotes->VisibleLines() + 1);
            ui::SaveScreenshot(d->Handle(), std::string("lists-") + skin + "-task-long-note");
            ui::Key(d->vlSkinButton2, VK_ESCAPE);
        });
        ui::Click(w->btnAdd);

        // The project dialog with its category box dropped down.
        ui::OnNextModal([&](TForm* form) {
            auto* d = dynamic_cast<TfrmCreateProject*>(form);
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->cbxCategories->Items.Count(), 6);
            EXPECT_EQ(d->cbxCategories->Text(), "Area 0");
            d->cbxCategories->SetFocus();
            SendMessageA(d->cbxCategories->Handle(), WM_KEYDOWN, VK_F4, 0);
            EXPECT_TRUE(d->cbxCategories->DroppedDown());
            SendMessageA(d->cbxCategories->Handle(), WM_KEYDOWN, VK_DOWN, 0);
            ui::Pump(30);
            SaveWithDropDown(d->Handle(), d->cbxCategories->ListWindow(),
                             std::string("lists-") + skin + "-project-combo");
            SendMessageA(d->cbxCategories->Handle(), WM_KEYDOWN, VK_RETURN, 0);
            EXPECT_FALSE(d->cbxCategories->DroppedDown());
            EXPECT_EQ(d->cbxCategories->Text(), "Area 1");
            ui::Key(d->vlSkinButton2, VK_ESCAPE);
        });
        ui::Click(w->btn1);
    });
}
