// A gallery of the page control, month calendar, lists, bars, edits, date
// edit, list box, combo box and up-down in their modes, pictured in the
// built-in skin, the dark one and without a skin, for people to look at.
// Each picture is also checked for what a look must show.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/form/Lacquer.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/CaptionedListElement.h"
#include "tests/win/support/LeakCheck.h"
#include "toolkit/ExtCtrls.h"

namespace {
class Gallery : public SkinnedFormTest {
protected:
    Gallery() : SkinnedFormTest("Gallery", 940, 600) {}

    // Every control of the gallery, wearing `skin` (none: the plain looks).
    TForm* Build(TvlSkinData* skin) {
        TForm* G = new TForm(Application, "Gallery", 940, 600);
        // The skin's frame, or the plain one drawn by the frame component,
        // never the platform's own caption.
        auto* frame = new TvlLacquer(G);
        if (skin) frame->SetSkinData(skin);
        auto wear = [&](auto* c) {
            if (skin) c->SetSkinData(skin);
            return c;
        };
        auto* tabsTop = wear(new TvlSkinPageControl(G, G, false));
        tabsTop->SetBounds(10, 10, 220, 110);
        for (const char* t : {"Tasks", "Calendar", "Notes"}) tabsTop->AddSheet(t);
        auto* tabsBottom = wear(new TvlSkinPageControl(G, G, true));
        tabsBottom->SetBounds(240, 10, 160, 110);
        for (const char* t : {"Tasks", "Calendar", "Projects", "Archive", "Settings"}) tabsBottom->AddSheet(t);

        auto* cal = wear(new TvlSkinMonthCalendar(G, G, 410, 10, 200, 150));
        cal->SetDate(2007, 12, 24);
        auto* captioned = wear(new TvlSkinMonthCalendar(G, G, 620, 10, 230, 180));
        captioned->SetCaption("Pick a day");
        captioned->SetCaptionMode(true);
        captioned->SetFirstDayOfWeek(Mon);
        captioned->SetDate(2024, 2, 29);

        auto* panel = new TPanel(G, G);
        panel->SetBounds(10, 130, 190, 150);
        auto* h = wear(new TvlSkinScrollBar(G, panel, sbHorizontal));
        h->SetAlign(alBottom);
        auto* v = wear(new TvlSkinScrollBar(G, panel, sbVertical));
        v->SetAlign(alRight);
        auto* list = new TvlSkinListView(G, panel, true, true);
        list->SetAlign(alClient);
        list->SetHScrollBar(h);
        list->SetVScrollBar(v);
        wear(list);
        list->AddColumn("Task", 120);
        list->AddColumn("Done", 90);
        for (int i = 0; i < 12; ++i) list->SetChecked(list->AddItem("Task " + std::to_string(i + 1)), i % 3 == 0);
        list->SetSelectedIndex(2);

        auto* treePanel = new TPanel(G, G);
        treePanel->SetBounds(210, 130, 190, 150);
        auto* tv = wear(new TvlSkinScrollBar(G, treePanel, sbVertical));
        tv->SetAlign(alRight);
        auto* tree = new TvlSkinTreeView(G, treePanel);
        tree->SetAlign(alClient);
        tree->SetVScrollBar(tv);
        wear(tree);
        for (int r = 0; r < 3; ++r) {
            TTreeNode* root = tree->AddRoot("Category " + std::to_string(r + 1));
            for (int c = 0; c < 6; ++c) tree->AddChild(root, "Project " + std::to_string(c + 1));
            if (r < 2) tree->Expand(root, false);
        }

        auto* both = wear(new TvlSkinScrollBar(G, G, sbHorizontal));
        both->SetBounds(10, 290, 190, 19);
        both->SetBoth(true);
        both->SetRange(0, 100, 30, 40);
        auto* focusable = wear(new TvlSkinScrollBar(G, G, sbVertical));
        focusable->SetBounds(205, 290, 19, 120);
        focusable->SetPosition(70);

        int y = 320;
        auto edit = [&](const char* text) {
            auto* e = wear(new TvlSkinEdit(G, G, 10, y, 190, 20));
            e->SetText(text);
            y += 26;
            return e;
        };
        edit("A plain edit");
        edit("With a button")->SetButtonMode(true);
        edit("")->SetPasswordChar('*');
        auto* secret = static_cast<TvlSkinEdit*>(G->Controls(G->ControlCount() - 1));
        secret->SetText("secret");
        auto* masked = edit("");
        masked->SetEditMask("!00/00/0000;1;_");
        masked->SetEditText("2412");
        edit("Upper case")->SetCharCase(ecUpperCase);

        auto* memo = wear(new TvlSkinMemo(G, G, 230, 320, 170, 70));
        memo->SetText("A memo with its text\r\non several lines.");
        auto* grey = wear(new TvlSkinMemo(G, G, 230, 400, 170, 60));
        grey->SetText("A disabled memo");
        grey->SetEnabled(false);

        auto* date = wear(new TvlSkinDateEdit(G, G, 410, 170, 121, 20));
        date->SetDate(TvlDay{2007, 12, 24});

        auto* box = wear(new TvlSkinListBox(G, G));
        box->SetBounds(410, 200, 190, 130);
        box->SetCaption("Categories");
        box->SetCaptionMode(true);
        for (const char* s : {"Home", "Work", "Garden", "Wellness", "Travel", "Books", "Music", "Sport"})
            box->Items.Add(s);
        box->ItemsChanged();
        box->SetItemIndex(1);

        // The list box's modes: several selected, sorted in columns, wide
        // items under a horizontal bar, and the caption's buttons, one lit.
        auto* multi = wear(new TvlSkinListBox(G, G));
        multi->SetBounds(620, 250, 150, 100);
        multi->SetMultiSelect(true);
        multi->SetExtandedSelect(true);
        for (const char* s : {"Home", "Work", "Garden", "Wellness", "Travel"}) multi->Items.Add(s);
        multi->ItemsChanged();
        for (int i : {0, 2, 3}) multi->SetSelected(i, true);  // made before the window, kept
        auto* sorted = wear(new TvlSkinListBox(G, G));
        sorted->SetBounds(780, 250, 150, 100);
        sorted->SetSorted(true);
        sorted->SetColumns(2);
        for (const char* s : {"Pear", "apple", "Fig", "Lime", "banana", "Kiwi", "Date", "Plum", "Cherry", "Grape",
                              "Mango", "Olive", "Quince", "Melon"})
            sorted->Items.Add(s);
        sorted->ItemsChanged();
        auto* wide = wear(new TvlSkinListBox(G, G));
        wide->SetBounds(620, 360, 150, 100);
        wide->SetHorizontalExtent(true);
        for (const char* s : {"Short", "A task with a name too long for this list", "Another"}) wide->Items.Add(s);
        wide->ItemsChanged();
        auto* buttons = new TvlSkinListBox(G, G);
        buttons->SetBounds(780, 360, 150, 100);
        if (skin && (skin->FindControlIndex("captionlistbox") >= 0 || AddCaptionedListElement(*skin, "captionlistbox")))
            buttons->SkinDataName = "captionlistbox";
        wear(buttons);
        buttons->SetCaption("Order");
        buttons->SetCaptionMode(true);
        for (const char* s : {"First", "Second", "Third"}) buttons->Items.Add(s);
        buttons->ItemsChanged();

        int cy = 340;
        for (int mode = 0; mode < 3; ++mode) {
            auto* combo = wear(new TvlSkinComboBox(G, G, 410, cy, 190, 20));
            for (const char* s : {"Daily", "Weekly", "Monthly"}) combo->Items.Add(s);
            combo->ItemsChanged();
            combo->SetItemIndex(mode);
            if (mode == 1) combo->SetStyle(vlcbEditStyle);
            if (mode == 2) {
                combo->SetUseSkinSize(false);
                combo->SetBounds(410, cy, 190, 28);
            }
            cy += 34;
        }

        auto* upDown = wear(new TvlSkinUpDown(G, G));
        upDown->SetBounds(620, 200, 50, 25);
        auto* sized = new TvlSkinUpDown(G, G);
        sized->UseSkinSize = false;
        wear(sized);
        sized->SetBounds(680, 200, 40, 20);
        auto* vertical = new TvlSkinUpDown(G, G, udVertical);
        wear(vertical);
        vertical->SetBounds(730, 200, 20, 40);
        return G;
    }
    static TControl* FindCaptioned(TForm* g) {
        for (int i = 0; i < g->ControlCount(); ++i)
            if (auto* box = dynamic_cast<TvlSkinListBox*>(g->Controls(i)); box && box->Caption() == "Order") return box;
        return nullptr;
    }

    void Picture(TForm* g, const std::string& name) {
        g->Show();
        // The pointer over the captioned list's up button, where it has one.
        auto* last = dynamic_cast<TvlSkinListBox*>(FindCaptioned(g));
        if (last) {
            TRect up = last->CaptionButtonRect(TvlSkinListBox::cbUp);
            if (!up.IsEmpty())
                SendMessageA(last->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM((up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2));
        }
        ui::Pump(50);
        ui::SaveScreenshot(g->Handle(), name);
    }
};

// Pixels of a window's area on screen that differ between two captures.
int Differing(const TvlFBitmap& a, const TvlFBitmap& b) {
    int n = 0;
    for (int y = 0; y < a.Height() && y < b.Height(); ++y)
        for (int x = 0; x < a.Width() && x < b.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
    return n;
}

TvlFBitmap Capture(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    TvlFBitmap bitmap(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(bitmap.Canvas(), 0, 0, bitmap.Width(), bitmap.Height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return bitmap;
}
}  // namespace

TEST_F(Gallery, EveryControlInModernGraphiteAndWithoutASkin) {
    TLeakCheck leaks;
    const char* names[3] = {"widgets-gallery-modern", "widgets-gallery-graphite", "widgets-gallery-none"};
    // Each look differs from the ones before it in enough pixels: the
    // skins are the controls' own, no two pictures alike.
    std::vector<TvlFBitmap> looks;
    for (int i = 0; i < 3; ++i) {
        if (i == 1) Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
        ASSERT_FALSE(i < 2 && Skin->IsEmpty());
        TForm* g = Build(i < 2 ? Skin : nullptr);
        Picture(g, names[i]);
        looks.push_back(Capture(g->Handle()));
        for (int j = 0; j < i; ++j) EXPECT_GT(Differing(looks[i], looks[j]), 10000) << names[i] << " " << names[j];
        delete g;
        ui::Pump();
    }
    looks.clear();  // the captures go before the count
    leaks.ExpectNone("three galleries built and freed");
}
