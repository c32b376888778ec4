// The native lists and tree in the dark skin: their grid lines and the
// unfocused selection take their colours from the skin, not the system's
// light ones; with pictures of the windows for people to compare.
#include "tests/win/app/PlannerFixture.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "app/FTask.h"

namespace {

struct TViewColours {
    COLORREF Background, Text;
};

int Luminance(COLORREF c) { return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000; }

// Fits the view: nearer its background than its text, as a line or an
// unfocused selection on either a light or a dark skin is.
bool Fits(COLORREF c, const TViewColours& view) {
    return std::abs(Luminance(c) - Luminance(view.Background)) < std::abs(Luminance(c) - Luminance(view.Text));
}

// The pixels of a window's client area as they are on the screen now.
class TPixels {
public:
    explicit TPixels(HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ui::Pump(20);
        GetClientRect(window, &FArea);
        FPicture = std::make_unique<TBitmap>(FArea.right, FArea.bottom);
        HDC dc = GetDC(window);
        BitBlt(FPicture->DC(), 0, 0, FArea.right, FArea.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(FPicture->DC(), x, y); }
    // The colour most pixels of a row (or column) between two points have.
    COLORREF MostOnRow(int y, int from, int to) const { return Most(from, to, [&](int i) { return At(i, y); }); }
    COLORREF MostOnColumn(int x, int from, int to) const { return Most(from, to, [&](int i) { return At(x, i); }); }
    COLORREF MostIn(const RECT& r) const {
        std::map<COLORREF, int> counts;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ++counts[At(x, y)];
        return Top(counts);
    }
    int CountOnRow(int y, int from, int to, COLORREF colour) const {
        int n = 0;
        for (int x = from; x < to; ++x) n += At(x, y) == colour;
        return n;
    }
    const RECT& Area() const { return FArea; }

private:
    template <class F>
    static COLORREF Most(int from, int to, F at) {
        std::map<COLORREF, int> counts;
        for (int i = from; i < to; ++i) ++counts[at(i)];
        return Top(counts);
    }
    static COLORREF Top(const std::map<COLORREF, int>& counts) {
        COLORREF best = CLR_INVALID;
        int most = 0;
        for (auto [colour, n] : counts)
            if (n > most) best = colour, most = n;
        return best;
    }
    RECT FArea{};
    std::unique_ptr<TBitmap> FPicture;
};

TViewColours ListColours(TListView* list) {
    return {static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETBKCOLOR, 0, 0)),
            static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETTEXTCOLOR, 0, 0))};
}

// The grid of a list with rows: the line under the first row, the lines in
// the empty space below the last row and the line left of the second column
// all fit the skin, still show, and no pixel of the system's grid is left.
void ExpectSkinnedGrid(TListView* list, int emptyRowsBelow) {
    const TViewColours colours = ListColours(list);
    ASSERT_GT(list->ItemCount(), 0);
    const RECT row = list->ItemRect(0);
    const int height = row.bottom - row.top;
    TPixels pixels(list->Handle());
    const int width = pixels.Area().right;
    const COLORREF system = GetSysColor(COLOR_3DFACE);
    const COLORREF inRow = pixels.At(width - 3, row.top + height / 2);
    EXPECT_EQ(inRow, colours.Background);
    for (int k = 0; k <= emptyRowsBelow; ++k) {
        const int y = row.bottom - 1 + (k == 0 ? 0 : (list->ItemCount() - 1 + k) * height);
        if (y >= pixels.Area().bottom) break;
        const COLORREF line = pixels.MostOnRow(y, 0, width);
        EXPECT_TRUE(Fits(line, colours)) << "row line " << k << " at " << y << ": " << std::hex << line;
        EXPECT_NE(line, colours.Background) << "the grid no longer shows, line " << k;
        if (system != colours.Background)
            EXPECT_EQ(pixels.CountOnRow(y, 0, width, system), 0) << "system grid colour left on line " << k;
    }
    RECT column{};
    HWND header = reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&column));
    const COLORREF vertical = pixels.MostOnColumn(column.left, row.top, row.bottom - 1);
    EXPECT_TRUE(Fits(vertical, colours)) << std::hex << vertical;
    EXPECT_NE(vertical, colours.Background);
}

class DarkSkinColoursTest : public PlannerTest {
protected:
    TfrmMain* StartDark() {
        Write("categories.dat", "Work\r\nHome\r\n");
        Write("Projects.dat", kSamplePlan);
        Write("Hours.dat", "");
        UseGraphite();
        return Start();
    }
};

}  // namespace

TEST_F(DarkSkinColoursTest, GridLinesAndTheUnfocusedTreeSelectionTakeTheSkinsColours) {
    TfrmMain* w = StartDark();
    // The task list before any project: empty, but its grid is drawn.
    const TViewColours list = ListColours(w->lvwItems);
    ASSERT_LT(Luminance(list.Background), Luminance(list.Text)) << "not the dark skin";

    SelectNode("Product launch");
    ASSERT_EQ(w->lvwItems->ItemCount(), 2);
    const RECT firstRow = w->lvwItems->ItemRect(0);
    ClickRow(w->lvwItems, 1);
    ASSERT_EQ(GetFocus(), w->lvwItems->Handle());
    ExpectSkinnedGrid(w->lvwItems, 3);

    // The tree's selected node while the list has the focus.
    TTreeNode* node = nullptr;
    for (const auto& n : w->tvwMain->Nodes())
        if (n->Text == "Product launch") node = n.get();
    ASSERT_NE(node, nullptr);
    const TViewColours tree{static_cast<COLORREF>(SendMessageA(w->tvwMain->Handle(), TVM_GETBKCOLOR, 0, 0)),
                            static_cast<COLORREF>(SendMessageA(w->tvwMain->Handle(), TVM_GETTEXTCOLOR, 0, 0))};
    {
        TPixels pixels(w->tvwMain->Handle());
        const COLORREF selection = pixels.MostIn(w->tvwMain->NodeRect(node));
        EXPECT_TRUE(Fits(selection, tree)) << "a light box on the dark tree: " << std::hex << selection;
        EXPECT_NE(selection, tree.Background) << "the unfocused selection no longer shows";
    }
    ui::SaveScreenshot(w->Handle(), "dark-main-tasks");

    // A category empties the list: the grid lines left in it fit too.
    SelectNode("Work");
    ASSERT_EQ(w->lvwItems->ItemCount(), 0);
    {
        TPixels pixels(w->lvwItems->Handle());
        const COLORREF line = pixels.MostOnRow(firstRow.bottom - 1, 0, pixels.Area().right);
        EXPECT_TRUE(Fits(line, list)) << std::hex << line;
        EXPECT_NE(line, list.Background);
    }

    // The hour list on the calendar sheet.
    w->pgcMain->SetActivePageIndex(1);
    ui::Pump(30);
    ExpectSkinnedGrid(w->lvwToDo, 0);
    ui::SaveScreenshot(w->Handle(), "dark-main-calendar");

    // The task dialog over it, for the pictures.
    w->pgcMain->SetActivePageIndex(0);
    SelectNode("Product launch");
    ClickRow(w->lvwItems, 1);
    bool shown = false;
    ui::OnNextModal([&shown](TForm* form) {
        auto* d = dynamic_cast<TfrmTask*>(form);
        ASSERT_NE(d, nullptr);
        shown = true;
        ui::Pump(30);
        ui::SaveScreenshot(d->Handle(), "dark-dialog-task");
        ui::Key(d->vlSkinButton2, VK_ESCAPE);
    });
    ui::Click(w->btnEdit);
    EXPECT_TRUE(shown);
}
