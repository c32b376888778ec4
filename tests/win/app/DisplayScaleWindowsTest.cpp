// The planner's windows at the display scales people use: laid out from the
// 96-DPI layout tables at 144 DPI (Wine's display runs at 96, so the DPI is
// given through the display service), moved between scales, and pictured at
// 100, 125, 150 and 200 % in both built-in skins.
#include "tests/win/app/PlannerFixture.h"

#include <cmath>
#include <map>
#include <memory>

#include "app/FCategory.h"
#include "app/FHour.h"
#include "app/FNewProject.h"
#include "core/DisplayScale.h"
#include "skin/form/vlSkinMenus.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/support/LeakCheck.h"

namespace {

struct TPlace {
    std::string Name;
    RECT Bounds;
    bool Visible;
    TControl* Control;
    int ParentWidth;
};

// Every control of a window, depth first, with its place in its parent.
void Collect(TWinControl* parent, std::vector<TPlace>& out) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        out.push_back({c->Name.empty() ? c->Caption() : c->Name, c->BoundsRect(), c->Visible(), c, parent->ClientWidth()});
        if (auto* w = dynamic_cast<TWinControl*>(c)) Collect(w, out);
    }
}

std::vector<TPlace> Places(TForm* form) {
    std::vector<TPlace> places;
    Collect(form, places);
    return places;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Whether the skin decides the control's place or size: the content area
// of a group box, a page control's sheets and a calendar come from the
// skin's pictures, a skinned control may fit its size to its picture and a
// label fits its text in the skin's font. Those scale with the skin.
bool PlacedByTheSkin(TControl* control) {
    for (TControl* c = control->Parent(); c; c = c->Parent())
        if (dynamic_cast<TvlSkinGroupBox*>(c) || dynamic_cast<TPageControl*>(c) ||
            dynamic_cast<TvlSkinMonthCalendar*>(c))
            return true;
    return false;
}

// The places at `dpi` are those of the layout tables scaled: every left and
// top edge the layout itself decides (tied to the near side of a parent
// whose area the skin does not decide) within the two pixels that stacked
// roundings may take; and controls that stood apart still do, so no text
// runs into its neighbour.
void ExpectScaledLayout(const std::vector<TPlace>& at96, const std::vector<TPlace>& shown, int dpi) {
    ASSERT_EQ(at96.size(), shown.size());
    int checked = 0;
    for (size_t i = 0; i < at96.size(); ++i) {
        SCOPED_TRACE(at96[i].Name);
        ASSERT_EQ(at96[i].Name, shown[i].Name);
        TControl* c = shown[i].Control;  // the 96-DPI window is gone
        const RECT &a = at96[i].Bounds, &b = shown[i].Bounds;
        if (!PlacedByTheSkin(c)) {
            if (c->Align() == alNone && !((c->Anchors() & akRight) && !(c->Anchors() & akLeft))) {
                EXPECT_LE(std::abs(b.left - a.left * dpi / 96.0), 2.0) << a.left << " at 96 DPI, " << b.left;
                ++checked;
            } else if (c->Align() == alNone) {
                // Tied to the right: its distance from there scales, give or
                // take the roundings of the parent's skinned border and of a
                // label refitted to its text in the skin's font.
                const int from96 = at96[i].ParentWidth - a.left, from = shown[i].ParentWidth - b.left;
                EXPECT_LE(std::abs(from - from96 * dpi / 96.0), 4.0) << from96 << " from the right at 96 DPI, " << from;
                ++checked;
            }
            if (c->Align() == alNone && !((c->Anchors() & akBottom) && !(c->Anchors() & akTop))) {
                EXPECT_LE(std::abs(b.top - a.top * dpi / 96.0), 2.0) << a.top << " at 96 DPI, " << b.top;
                ++checked;
            }
        }
        for (size_t j = i + 1; j < at96.size(); ++j) {
            if (c->Parent() != shown[j].Control->Parent() || !shown[i].Visible || !shown[j].Visible) continue;
            if (!Overlap(at96[i].Bounds, at96[j].Bounds))
                EXPECT_FALSE(Overlap(shown[i].Bounds, shown[j].Bounds)) << "now overlaps " << at96[j].Name;
        }
    }
    EXPECT_GT(checked, 4) << "the layout places controls of its own";
}

int RowHeight(TListView* list) {
    RECT a = list->ItemRect(0), b = list->ItemRect(1);
    return b.top - a.top;
}

// The four dialogs, made fresh for each use.
std::vector<std::pair<std::string, std::function<TEditDialog*()>>> Dialogs(TfrmMain* main) {
    return {{"category", [main] { return new TfrmCategory(Application, main->msgMain); }},
            {"task", [main] { return new TfrmTask(Application, main->msgMain); }},
            {"hour", [main] { return new TfrmHour(Application, main->msgMain); }},
            {"project",
             [main] { return new TfrmCreateProject(Application, main->msgMain, main->Projects()->Categories); }}};
}

}  // namespace

TEST_F(PlannerTest, PlannerWindowsAreLaidOutFromTheirTablesAtTheDisplaysScale) {
    TfrmMain* main = Start();
    const std::vector<TPlace> main96 = Places(main);
    const SIZE client96{main->ClientWidth(), main->ClientHeight()};
    const int rows96 = RowHeight(main->lvwToDo);
    std::vector<std::vector<TPlace>> dialogs96;
    std::vector<SIZE> dialogClients96;
    for (auto& [name, make] : Dialogs(main)) {
        TEditDialog* d = make();
        ui::OnNextModal([&](TForm* f) {
            dialogs96.push_back(Places(f));
            dialogClients96.push_back(SIZE{f->ClientWidth(), f->ClientHeight()});
            f->ModalResult = mrCancel;
        });
        d->ShowModal();
        d->Release();
    }
    ASSERT_EQ(dialogs96.size(), 4u);
    EXPECT_EQ(main->lvwItems->ColumnWidth(0), 40);
    frmMain->Release();
    frmMain = nullptr;

    TFixedDisplayDpi display(144);
    TServiceOverride<TDisplayDpi> scaled(display);
    main = Start();
    EXPECT_EQ(main->Dpi(), 144);
    // The window's outer size is reckoned from its client size and the
    // system's frame; the skin's frame, scaled by its own rounding, then
    // takes its part of it, as at 96 DPI.
    EXPECT_NEAR(main->ClientWidth(), ScaleForDpi(client96.cx, 144), 2);
    EXPECT_NEAR(main->ClientHeight(), ScaleForDpi(client96.cy, 144), 2);
    ExpectScaledLayout(main96, Places(main), 144);
    EXPECT_EQ(main->Font.Height(), ScaleFontForDpi(-11, 144));
    EXPECT_EQ(main->lvwItems->ColumnWidth(0), ScaleForDpi(40, 144));
    EXPECT_EQ(main->lvwItems->ColumnWidth(3), ScaleForDpi(100, 144));
    EXPECT_EQ(main->lvwToDo->ColumnWidth(0), ScaleForDpi(60, 144));
    EXPECT_GT(RowHeight(main->lvwToDo), rows96);

    size_t index = 0;
    for (auto& [name, make] : Dialogs(main)) {
        SCOPED_TRACE(name);
        TEditDialog* d = make();
        bool seen = false;
        ui::OnNextModal([&, i = index](TForm* f) {
            EXPECT_EQ(f->Dpi(), 144);
            ExpectScaledLayout(dialogs96[i], Places(f), 144);
            EXPECT_EQ(f->ClientWidth(), ScaleForDpi(dialogClients96[i].cx, 144));
            EXPECT_EQ(f->ClientHeight(), ScaleForDpi(dialogClients96[i].cy, 144));
            EXPECT_EQ(f->Font.Height(), ScaleFontForDpi(-11, 144));
            seen = true;
            f->ModalResult = mrCancel;
        });
        d->ShowModal();
        d->Release();
        EXPECT_TRUE(seen);
        ++index;
    }
}

TEST_F(PlannerTest, MainWindowMovedToAnotherScaleAndBackKeepsItsLayoutExactly) {
    TfrmMain* main = Start();
    // The hour list's window (made when first needed, here by asking for
    // its rows' height) is part of the layout compared.
    const int rows96 = RowHeight(main->lvwToDo);
    // The mouse away from the buttons and their fades ended: neither is a leak.
    SetCursorPos(0, 0);
    ui::Pump(200);
    TLeakCheck leaks;
    const std::vector<TPlace> at96 = Places(main);
    RECT window96;
    GetWindowRect(main->Handle(), &window96);

    RECT suggested{window96.left + 20, window96.top + 10, window96.left + 20 + 1180, window96.top + 10 + 880};
    SendMessageA(main->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ui::Pump(20);
    RECT r;
    GetWindowRect(main->Handle(), &r);
    EXPECT_EQ(r.left, suggested.left);
    EXPECT_EQ(r.top, suggested.top);
    EXPECT_EQ(r.right, suggested.right);
    EXPECT_EQ(r.bottom, suggested.bottom);
    EXPECT_EQ(main->Dpi(), 144);
    EXPECT_GT(RowHeight(main->lvwToDo), rows96);
    EXPECT_EQ(main->btnSave->Left(), ScaleForDpi(109, 144));

    SendMessageA(main->Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window96));
    ui::Pump(20);
    GetWindowRect(main->Handle(), &r);
    EXPECT_EQ(r.left, window96.left);
    EXPECT_EQ(r.right, window96.right);
    EXPECT_EQ(r.bottom, window96.bottom);
    const std::vector<TPlace> back = Places(main);
    ASSERT_EQ(back.size(), at96.size());
    for (size_t i = 0; i < at96.size(); ++i) {
        const RECT &a = at96[i].Bounds, &b = back[i].Bounds;
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
            << at96[i].Name << " (" << a.left << "," << a.top << "," << a.right << "," << a.bottom << ") came back as ("
            << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
    }
    EXPECT_EQ(RowHeight(main->lvwToDo), rows96);
    EXPECT_EQ(main->lvwItems->ColumnWidth(0), 40);
    ui::Pump(20);
    leaks.ExpectNone("the main window moved to 144 DPI and back");
}

#ifdef PLANDESK_GRAPHITE_PACKAGE
TEST_F(PlannerTest, ListRowsLineUpWithTheirSkinnedBarsAt144InBothSkins) {
    std::string projects = "Header^Long^Work^01/02/2008^03/04/2008^\r\n";
    for (int t = 0; t < 60; ++t)
        projects += std::string("^") + (t % 3 ? "False" : "True") + "^,^Task " + std::to_string(t) +
                    "^,^A note^,^01/02/2008^,^  /  /    ^^\r\n";
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", projects + "EndProject\r\n");
    std::map<std::string, int> bar96;
    InBothSkins([&](TfrmMain* w, const std::string& skin) { bar96[skin] = w->vlSkinScrollBar4->Width(); });
    ASSERT_GT(bar96["modern"], 0);
    DeleteFileA((Folder + "dbskin.dat").c_str());  // "Modern" first again
    TFixedDisplayDpi display(144);
    TServiceOverride<TDisplayDpi> scaled(display);
    InBothSkins([&](TfrmMain* w, const std::string& skin) {
        SelectNode("Long");
        ui::Pump(30);
        ASSERT_EQ(w->lvwItems->ItemCount(), 60);
        TvlSkinScrollBar* bar = w->vlSkinScrollBar4;
        ASSERT_TRUE(bar->Visible());
        // The bar is the skin's at the scale, standing against the list's
        // right edge over the list's whole height.
        EXPECT_NEAR(bar->Width(), bar96[skin] * 1.5, 1.0);
        EXPECT_EQ(w->lvwItems->Left() + w->lvwItems->Width(), bar->Left());
        EXPECT_EQ(w->lvwItems->Top(), bar->Top());
        EXPECT_EQ(w->lvwItems->Height(), bar->Height());
        // A page of the bar is the rows the list shows at their larger height.
        const int perPage = static_cast<int>(SendMessageA(w->lvwItems->Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
        EXPECT_EQ(bar->PageSize(), perPage);
        EXPECT_GT(RowHeight(w->lvwItems), 20);
        ui::Key(w->lvwItems, VK_END);
        ui::Pump(30);
        EXPECT_EQ(bar->Position(), bar->Max() - bar->PageSize() + 1);
        // The last row ends inside the list, above the horizontal bar.
        RECT last = w->lvwItems->ItemRect(59);
        EXPECT_LE(last.bottom, w->lvwItems->ClientHeight());
    });
}

TEST_F(PlannerTest, PicturesOfEveryWindowAtFourScalesInBothSkins) {
    Write("categories.dat", kSampleCategories);
    Write("Projects.dat", kSamplePlan);
    Write("Hours.dat", kSampleHours);
    for (const char* skin : {"modern", "graphite"}) {
        if (std::string(skin) == "graphite") UseGraphite();
        for (int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(std::string(skin) + " " + std::to_string(dpi));
            const std::string suffix = "-" + std::string(skin);
            const std::string prefix = "dpi" + std::to_string(dpi) + "-";
            TFixedDisplayDpi display(dpi);
            TServiceOverride<TDisplayDpi> scaled(display);
            TfrmMain* main = Start();
            EXPECT_EQ(main->Dpi(), dpi);
            main->pgcMain->SetActivePageIndex(0);
            SelectNode("Product launch");
            ui::SaveScreenshot(main->Handle(), prefix + "main-tasks" + suffix);
            {
                // The tree's menu, opened on the selected project.
                TTreeNode* node = main->tvwMain->Selected();
                ASSERT_NE(node, nullptr);
                RECT r = main->tvwMain->NodeRect(node);
                ui::RightClickAt(main->tvwMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
                TvlSkinPopupWindow* menu = main->vlLacquer1->Menus()->SkinMenu()->Window(0);
                ASSERT_NE(menu, nullptr);
                RECT tree, m;
                GetWindowRect(main->tvwMain->Handle(), &tree);
                GetWindowRect(menu->Handle(), &m);
                ui::SaveScreenArea({tree.left, tree.top, std::max(tree.right, m.right + 10), std::max(tree.bottom, m.bottom + 10)},
                                   prefix + "treemenu" + suffix);
                main->vlLacquer1->Menus()->SkinMenu()->CloseAll();
            }
            main->pgcMain->SetActivePageIndex(1);
            ui::SaveScreenshot(main->Handle(), prefix + "main-calendar" + suffix);
            main->pgcMain->SetActivePageIndex(0);
            for (auto& [name, make] : Dialogs(main)) {
                TEditDialog* d = make();
                ui::OnNextModal([&, name = name](TForm* f) {
                    EXPECT_EQ(f->Dpi(), dpi);
                    ui::SaveScreenshot(f->Handle(), prefix + "dialog-" + name + suffix);
                    f->ModalResult = mrCancel;
                });
                d->ShowModal();
                d->Release();
            }
            bool seen = false;
            ui::OnNextModal([&](TForm* f) {
                EXPECT_EQ(f->Dpi(), dpi);
                ui::SaveScreenshot(f->Handle(), prefix + "message" + suffix);
                seen = true;
                ui::Answer(f, "Yes");
            });
            main->msgMain->ShowMessageBox("Remove the selected task?\nIt cannot be brought back.", mtConfirmation,
                                          mbYes | mbNo);
            EXPECT_TRUE(seen);
            frmMain->Release();
            frmMain = nullptr;
            if (HasFatalFailure()) return;
        }
    }
}
#endif
