// The skinned page control: tab geometry, its looks, the tab scroller and
// the page keys, against the plain look and the built-in skin.
#include <windowsx.h>

#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/LeakCheck.h"
#include "toolkit/StdCtrls.h"

namespace {
TvlSkinPageControl* MakePages(TForm* form, int count, int width = 400) {
    auto* pages = new TvlSkinPageControl(form, form, true);
    pages->SetBounds(10, 10, width, 200);
    for (int i = 0; i < count; ++i) pages->AddSheet("Page " + std::to_string(i));
    return pages;
}

void PressKeyWithControl(HWND target, WORD key, bool shift) {
    ui::TKeysHeld held(shift ? std::vector<BYTE>{VK_CONTROL, VK_SHIFT} : std::vector<BYTE>{VK_CONTROL});
    PostMessageA(target, WM_KEYDOWN, key, 1);
    ui::Pump();
}
}  // namespace

TEST_F(WidgetTest, PageControlPlainLookKeepsTheNativeTabControl) {
    TvlSkinPageControl* pages = MakePages(Form, 2);
    Form->Show();
    ui::Pump(20);
    char cls[32] = {};
    GetClassNameA(pages->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, WC_TABCONTROLA) << "assistive tools read the platform's tab control";
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);

    // Without a skin: DefaultItemHeight tall tabs, bottom tabs moved 2 down.
    TRect tab = pages->TabRect(0);
    EXPECT_EQ(tab.Height(), 20);
    RECT raw{};
    CallWindowProcA(reinterpret_cast<WNDPROC>(GetClassLongPtrA(pages->Handle(), GCLP_WNDPROC)), pages->Handle(),
                    TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&raw));
    EXPECT_EQ(tab.Top, raw.top + 2);
    EXPECT_EQ(tab.Left, raw.left - 2);
    // The display area: one pixel inside left, right and top; the sheet fills it.
    RECT area = pages->LayoutRect();
    EXPECT_EQ(area.left, 1);
    EXPECT_EQ(area.top, 1);
    EXPECT_EQ(area.right, pages->ClientWidth() - 1);
    EXPECT_EQ(pages->Pages(0)->Width(), area.right - area.left);
    pages->SetDefaultItemHeight(24);
    EXPECT_EQ(pages->TabRect(0).Height(), 24);
    pages->SetDefaultItemHeight(20);

    // The selected tab of a focused control: filled 11899781 in a navy border;
    // without the focus 13811126; the other tab the button face.
    SetFocus(pages->Handle());
    ui::Pump();
    TvlFBitmap look = Shot(pages);
    tab = pages->TabRect(0);
    EXPECT_EQ(look.Pixel(tab.Left, tab.Top + tab.Height() / 2), 0x800000u);
    EXPECT_EQ(look.Pixel(tab.Left + 3, tab.Top + 3), 11899781u);
    TRect other = pages->TabRect(1);
    EXPECT_EQ(look.Pixel(other.Left + 3, other.Top + 3), ColorToRGB(clBtnFace));
    SetFocus(Form->Handle());
    look = Shot(pages);
    EXPECT_EQ(look.Pixel(tab.Left + 3, tab.Top + 3), 13811126u);

    // The tab under the mouse is hot until the mouse leaves.
    SendMessageA(pages->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(other.Left + 5, other.Top + 5));
    EXPECT_EQ(pages->HotTab(), 1);
    look = Shot(pages);
    EXPECT_EQ(look.Pixel(other.Left + 3, other.Top + 3), 13811126u);
    SendMessageA(pages->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pages->HotTab(), -1);
    EXPECT_EQ(pages->TabAt(2, 2), -1) << "the page area holds no tab";
}

TEST_F(WidgetTest, PageControlWearsTheSkinsTabElement) {
    TvlSkinPageControl* pages = MakePages(Form, 2);
    pages->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    const TvlDataSkinTabControl* e = pages->Element();
    ASSERT_NE(e, nullptr);
    // The tab height is the tab picture's; the font is the element's.
    EXPECT_EQ(pages->TabRect(0).Height(), e->TabRect.Height());
    EXPECT_EQ(pages->Font.Name(), e->FontName);
    // The display area follows the element's margins.
    RECT area = pages->LayoutRect();
    EXPECT_EQ(area.left, e->ClientRect.Left);
    EXPECT_EQ(area.right, pages->ClientWidth() - (e->SkinRect.Width() - e->ClientRect.Right));

    // A sheet shows the element's client part tiled from its corner.
    TvlFBitmap sheet = Shot(pages->Pages(0));
    int cw = e->ClientRect.Width(), ch = e->ClientRect.Height();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{cw + 1, 2}, std::pair{3, ch + 3}})
        EXPECT_EQ(sheet.Pixel(x, y), SkinPixel(e->PictureIndex, e->SkinRect.Left + e->ClientRect.Left + x % cw,
                                               e->SkinRect.Top + e->ClientRect.Top + y % ch))
            << x << "," << y;

    // Bottom tabs show the tab picture upside down: the tab's top row is the
    // picture's bottom row (outside the centred caption).
    SetFocus(Form->Handle());
    TvlFBitmap look = Shot(pages);
    TRect tab = pages->TabRect(1);  // not selected: "tabrect"
    EXPECT_EQ(look.Pixel(tab.Left + 1, tab.Top),
              SkinPixel(e->PictureIndex, e->TabRect.Left + 1, e->TabRect.Bottom - 1));
    EXPECT_EQ(look.Pixel(tab.Left + 1, tab.Bottom - 1), SkinPixel(e->PictureIndex, e->TabRect.Left + 1, e->TabRect.Top));

    // Another kind of record under the name gives the plain look.
    pages->SkinDataName = "panel";
    pages->SkinChanged();
    EXPECT_EQ(pages->Element(), nullptr);
    EXPECT_EQ(pages->TabRect(0).Height(), 20);
    pages->SkinDataName = "tab";
    pages->SkinChanged();
    pages->SkinChanging();
    EXPECT_EQ(pages->ElementIndex(), -1) << "between the two skin notices the plain look is drawn";
}

TEST_F(WidgetTest, PageControlScrollsManyTabsWithItsOwnScroller) {
    TvlSkinPageControl* pages = MakePages(Form, 6, 260);
    pages->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    TvlSkinUpDown* scroller = pages->Scroller();
    ASSERT_NE(scroller, nullptr) << "six tabs do not fit in 260 pixels";
    EXPECT_EQ(FindWindowExA(pages->Handle(), nullptr, UPDOWN_CLASSA, nullptr), nullptr)
        << "the platform's scroller gives way";
    EXPECT_EQ(scroller->Width(), 40);
    EXPECT_EQ(scroller->Height(), 20);
    EXPECT_EQ(scroller->Left(), pages->ClientWidth() - 40);
    EXPECT_EQ(scroller->Top(), pages->ClientHeight() - 20) << "bottom tabs: the scroller sits at the bottom";
    EXPECT_EQ(scroller->SkinDataName, pages->Element()->UpDown);
    int hidden = pages->HiddenTabCount();
    EXPECT_GT(hidden, 0);
    EXPECT_EQ(scroller->Max(), hidden);
    EXPECT_EQ(scroller->Position(), 0);

    // Each click on the right half scrolls the row by one tab; the left half back.
    int firstLeft = pages->TabRect(0).Left;
    ui::ClickAt(scroller->Handle(), 30, 10);
    EXPECT_EQ(pages->ScrolledOutCount(), 1);
    EXPECT_EQ(scroller->Position(), 1);
    EXPECT_TRUE(pages->TabRect(0).IsEmpty()) << "the platform shows no tab scrolled out";
    EXPECT_EQ(pages->TabRect(1).Left, firstLeft);
    ui::ClickAt(scroller->Handle(), 30, 10);
    EXPECT_EQ(pages->ScrolledOutCount(), 2);
    ui::ClickAt(scroller->Handle(), 5, 10);
    EXPECT_EQ(pages->ScrolledOutCount(), 1);
    ui::ClickAt(scroller->Handle(), 5, 10);
    ui::ClickAt(scroller->Handle(), 5, 10);  // at the start already: nothing more
    EXPECT_EQ(pages->ScrolledOutCount(), 0);
    EXPECT_EQ(scroller->Position(), 0);

    // Wide enough again: the scroller goes.
    pages->SetBounds(10, 10, 480, 200);
    ui::Pump();
    EXPECT_EQ(pages->Scroller(), nullptr);
    pages->SetBounds(10, 10, 200, 200);
    ui::Pump();
    EXPECT_NE(pages->Scroller(), nullptr);
}

TEST_F(WidgetTest, PageControlSwitchesPagesWithControlTab) {
    TvlSkinPageControl* pages = MakePages(Form, 3);
    auto* field = new TEdit(Form, pages->Pages(0), 5, 5, 80, 20);
    auto* outside = new TEdit(Form, Form, 420, 250, 60, 20);
    Form->Show();
    ui::Pump(20);
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    SetFocus(field->Handle());
    PressKeyWithControl(field->Handle(), VK_TAB, false);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(pages->Pages(1)->Visible());
    EXPECT_FALSE(pages->Pages(0)->Visible());
    PressKeyWithControl(pages->Handle(), VK_TAB, false);
    PressKeyWithControl(pages->Handle(), VK_TAB, false);
    EXPECT_EQ(pages->ActivePageIndex(), 0) << "Ctrl+Tab wraps to the first page";
    PressKeyWithControl(outside->Handle(), VK_TAB, true);
    EXPECT_EQ(pages->ActivePageIndex(), 2) << "Ctrl+Shift+Tab goes back, wrapping; anywhere on the form";
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), 2) << "the native control shows the same tab";
    // A plain Tab moves the focus, not the page.
    SetFocus(outside->Handle());
    PostMessageA(outside->Handle(), WM_KEYDOWN, VK_TAB, 1);
    ui::Pump();
    EXPECT_EQ(pages->ActivePageIndex(), 2);
}

TEST_F(WidgetTest, PageControlPaintsAndScrollsWithoutLeaks) {
    TvlSkinPageControl* pages = MakePages(Form, 10, 240);
    pages->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    TLeakCheck leaks;
    for (int i = 0; i < 30; ++i) {
        Shot(pages);
        pages->SetBounds(10, 10, i % 2 ? 480 : 240, 200);  // the scroller comes and goes
        pages->SkinChanged();
        UpdateWindow(pages->Handle());
    }
    pages->SetBounds(10, 10, 240, 200);
    ui::Pump();
    leaks.ExpectNone("tab paints, resizes and skin changes");
}
