// Forms laid out again at another display scale: the places, anchors, fonts
// and own lengths of their controls, from the 96-DPI layout and back to it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "core/DisplayScale.h"
#include "skin/form/vlMessages.h"
#include "tests/win/support/FakeServices.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "tests/win/toolkit/ToolkitApplicationTest.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

// Every control of a window, depth first, with its place in its parent.
void Collect(TWinControl* parent, std::vector<TControl*>& out) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        out.push_back(parent->Controls(i));
        if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) Collect(w, out);
    }
}

std::map<TControl*, RECT> Places(TForm* form) {
    std::vector<TControl*> controls;
    Collect(form, controls);
    std::map<TControl*, RECT> places;
    for (TControl* c : controls) places[c] = c->BoundsRect();
    return places;
}

// An edge of the 96-DPI layout at `dpi`. An edge tied to the far side of its
// parent is its scaled distance from that side, so it may differ from the
// scaled edge by that distance's rounding and by the rounding of the
// parent's own far edge: two pixels at most.
void ExpectScaledEdge(int at96, int shown, int dpi, const char* what) {
    double exact = at96 * dpi / 96.0;
    EXPECT_LE(std::abs(shown - exact), 2.0) << what << ": " << at96 << " at 96 DPI, " << shown << " at " << dpi;
}

void ExpectScaledPlace(const RECT& at96, const RECT& shown, int dpi, const std::string& name) {
    SCOPED_TRACE(name);
    ExpectScaledEdge(at96.left, shown.left, dpi, "left");
    ExpectScaledEdge(at96.top, shown.top, dpi, "top");
    ExpectScaledEdge(at96.right, shown.right, dpi, "right");
    ExpectScaledEdge(at96.bottom, shown.bottom, dpi, "bottom");
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A form with every kind of place a layout table gives: aligned panels,
// anchored controls in all four ways, two buttons side by side, a list view
// with fixed and automatic columns, a tree with icons and a splitter.
struct TSampleForm {
    TForm* Form;
    TPanel *Top, *Bottom, *Client;
    TButton *First, *Second, *Corner;
    TEdit* Stretch;
    TLabel* Label;
    TListView* List;
    TTreeView* Tree;
    TImageList* Images;
    TSplitter* Splitter;

    TSampleForm() {
        Form = new TForm(Application, "Scale", 401, 301);
        Form->Position = poDesigned;
        Top = new TPanel(Form, Form);
        Top->SetHeight(33);
        Top->SetAlign(alTop);
        Bottom = new TPanel(Form, Form);
        Bottom->SetHeight(25);
        Bottom->SetAlign(alBottom);
        Tree = new TTreeView(Form, Form);
        Tree->SetWidth(101);
        Tree->SetAlign(alLeft);
        Splitter = new TSplitter(Form, Form, 5);
        Splitter->MinSize = 11;
        Client = new TPanel(Form, Form);
        Client->SetAlign(alClient);
        First = new TButton(Form, Top, "First", 6, 7, 99, 20);
        Second = new TButton(Form, Top, "Second", 105, 7, 98, 20);  // touches First
        Corner = new TButton(Form, Bottom, "Corner", 330, 3, 61, 19);
        Corner->SetAnchors(akRight | akTop);
        Stretch = new TEdit(Form, Client, 7, 5, 270, 19);
        Stretch->SetAnchors(akLeft | akTop | akRight);
        Label = new TLabel(Form, Client, "Notes:", 7, 30);
        List = new TListView(Form, Client, true, false);
        List->SetBounds(7, 50, 271, 177);
        List->SetAnchors(akLeft | akTop | akRight | akBottom);
        List->AddColumn("Done", 40);
        List->AddColumn("Text", 0, true);
        List->AddColumn("Date", 75);
        Images = new TImageList(Form, 16, 16);
        Form->CreateHandles();
        for (COLORREF colour : {RGB(200, 30, 30), RGB(30, 30, 200)}) {
            TDibSection picture = CreateDibSection(16, 16, 24);
            auto* bits = static_cast<unsigned char*>(picture.Bits);
            for (int i = 0; i < 16 * 16; ++i) {
                bits[i * 3] = GetBValue(colour);
                bits[i * 3 + 1] = GetGValue(colour);
                bits[i * 3 + 2] = GetRValue(colour);
            }
            Images->Add(picture.Bitmap.Handle());
        }
        Tree->SetImages(Images);
        TTreeNode* root = Tree->AddRoot("Projects", 0, 0);
        Tree->AddChild(root, "Garden", 1, 1);
        Tree->Expand(root, true);
        for (int i = 0; i < 3; ++i) List->SetItemText(List->AddItem("Row"), 1, "text");
    }
    int RowHeight() const {
        RECT a = List->ItemRect(0), b = List->ItemRect(1);
        return b.top - a.top;
    }
    int IndentOfTree() const { return static_cast<int>(SendMessageA(Tree->Handle(), TVM_GETINDENT, 0, 0)); }
    int TreeItemHeight() const { return static_cast<int>(SendMessageA(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0)); }
    int IconWidth() const {
        int w = 0, h = 0;
        ImageList_GetIconSize(Images->Handle(), &w, &h);
        return w;
    }
    HIMAGELIST CheckPictures() const {
        return reinterpret_cast<HIMAGELIST>(SendMessageA(List->Handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    }
    int CheckWidth() const {
        int w = 0, h = 0;
        ImageList_GetIconSize(CheckPictures(), &w, &h);
        return w;
    }
};

class DisplayScaleLayoutTest : public ToolkitApplicationTest {};

TEST_F(DisplayScaleLayoutTest, ScalingLaysOutFromThe96DpiValuesAndBackWithoutDrift) {
    TLeakCheck leaks;
    {
        TSampleForm s;
        s.Form->Show();
        ui::Pump();
        const std::map<TControl*, RECT> at96 = Places(s.Form);
        const int client96 = s.Form->ClientWidth(), clientHeight96 = s.Form->ClientHeight();
        const int font96 = s.List->Font.Height(), row96 = s.RowHeight();
        const int done96 = s.List->ColumnWidth(0), date96 = s.List->ColumnWidth(2);
        const int indent96 = s.IndentOfTree(), item96 = s.TreeItemHeight(), icon96 = s.IconWidth();
        const HIMAGELIST icons96 = s.Images->Handle();
        const HIMAGELIST checks96 = s.CheckPictures();
        const int check96 = s.CheckWidth();
        ASSERT_NE(checks96, nullptr);

        for (int dpi : {120, 144, 192}) {
            SCOPED_TRACE(dpi);
            s.Form->ScaleToDpi(dpi);
            ui::Pump();
            EXPECT_EQ(s.Form->Dpi(), dpi);
            EXPECT_EQ(s.Form->ClientWidth(), ScaleForDpi(client96, dpi));
            EXPECT_EQ(s.Form->ClientHeight(), ScaleForDpi(clientHeight96, dpi));
            for (const auto& [control, place] : at96) {
                if (control == s.Label) continue;  // sized by its text, below
                ExpectScaledPlace(place, control->BoundsRect(), dpi, control->Name + " " + control->Caption());
            }
            // A label keeps its scaled place and fits the text in its new font.
            ExpectScaledEdge(at96.at(s.Label).left, s.Label->Left(), dpi, "label left");
            ExpectScaledEdge(at96.at(s.Label).top, s.Label->Top(), dpi, "label top");
            EXPECT_GT(s.Label->Width(), at96.at(s.Label).right - at96.at(s.Label).left);
            // Side by side at 96 DPI, side by side at every scale.
            EXPECT_EQ(s.First->Left() + s.First->Width(), s.Second->Left());
            // Anchored to the right: the scaled distance to the right edge.
            EXPECT_EQ(s.Bottom->ClientWidth() - (s.Corner->Left() + s.Corner->Width()), ScaleForDpi(10, dpi));
            EXPECT_EQ(s.List->Font.Height(), ScaleFontForDpi(font96, dpi));
            EXPECT_EQ(s.Form->Font.Height(), ScaleFontForDpi(-11, dpi));
            EXPECT_EQ(s.List->ColumnWidth(0), ScaleForDpi(done96, dpi));
            EXPECT_EQ(s.List->ColumnWidth(2), ScaleForDpi(date96, dpi));
            EXPECT_GT(s.RowHeight(), row96) << "the rows follow the larger font";
            EXPECT_EQ(s.IndentOfTree(), ScaleForDpi(indent96, dpi));
            EXPECT_EQ(s.TreeItemHeight() / 2, ScaleForDpi(item96, dpi) / 2) << "the tree keeps rows of even height";
            EXPECT_EQ(s.IconWidth(), ScaleForDpi(icon96, dpi));
            EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(s.Tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
                      s.Images->Handle());
            EXPECT_EQ(s.Splitter->MinSize, ScaleForDpi(11, dpi));
            // The check boxes are drawn at the scale: clear and checked.
            EXPECT_EQ(s.CheckWidth(), ScaleForDpi(check96, dpi));
            EXPECT_EQ(ImageList_GetImageCount(s.CheckPictures()), 2);
            s.Form->ScaleToDpi(dpi);  // the same scale again changes nothing
            for (const auto& [control, place] : at96)
                if (control != s.Label) ExpectScaledPlace(place, control->BoundsRect(), dpi, control->Name);
        }

        s.Form->ScaleToDpi(kDesignDpi);
        ui::Pump();
        for (const auto& [control, place] : at96)
            EXPECT_TRUE(SameRect(control->BoundsRect(), place)) << control->Name << " " << control->Caption();
        EXPECT_EQ(s.Form->ClientWidth(), client96);
        EXPECT_EQ(s.List->Font.Height(), font96);
        EXPECT_EQ(s.RowHeight(), row96);
        EXPECT_EQ(s.List->ColumnWidth(0), done96);
        EXPECT_EQ(s.IndentOfTree(), indent96);
        EXPECT_EQ(s.TreeItemHeight(), item96);
        EXPECT_EQ(s.Images->Handle(), icons96) << "the 96-DPI pictures come back";
        EXPECT_EQ(s.CheckPictures(), checks96) << "the control's own check boxes come back";
        EXPECT_EQ(s.Splitter->MinSize, 11);

        // A place the program gives at 144 DPI is its new 96-DPI place.
        s.Form->ScaleToDpi(144);
        s.Label->SetLeft(30);
        s.Form->ScaleToDpi(kDesignDpi);
        EXPECT_EQ(s.Label->Left(), 20);
        s.Form->ScaleToDpi(192);  // freed at another scale: the kept pictures go with it
        s.Form->Release();
    }
    ui::Pump();
    leaks.ExpectNone("a form scaled to three DPIs and back");
}

TEST_F(DisplayScaleLayoutTest, DpiChangeMovesToTheSuggestedRectangleAndComesBackExactly) {
    TSampleForm s;
    s.Form->Show();
    ui::Pump();
    const std::map<TControl*, RECT> at96 = Places(s.Form);
    RECT window96;
    GetWindowRect(s.Form->Handle(), &window96);

    // The system's suggestion need not be the scaled client size: the
    // window takes it, and the layout follows its anchors inside it.
    RECT suggested{window96.left + 40, window96.top + 30, window96.left + 40 + 630, window96.top + 30 + 477};
    SendMessageA(s.Form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ui::Pump();
    RECT shown;
    GetWindowRect(s.Form->Handle(), &shown);
    EXPECT_TRUE(SameRect(shown, suggested));
    EXPECT_EQ(s.Form->Dpi(), 144);
    EXPECT_EQ(s.List->Font.Height(), ScaleFontForDpi(-11, 144));
    // Left and top edges are tied to the near sides: exactly scaled.
    ExpectScaledEdge(at96.at(s.Second).left, s.Second->Left(), 144, "button left");
    ExpectScaledEdge(at96.at(s.Stretch).left, s.Stretch->Left(), 144, "edit left");
    EXPECT_EQ(s.Bottom->ClientWidth() - (s.Corner->Left() + s.Corner->Width()), ScaleForDpi(10, 144));

    SendMessageA(s.Form->Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window96));
    ui::Pump();
    GetWindowRect(s.Form->Handle(), &shown);
    EXPECT_TRUE(SameRect(shown, window96));
    for (const auto& [control, place] : at96)
        EXPECT_TRUE(SameRect(control->BoundsRect(), place)) << control->Name << " " << control->Caption();
    EXPECT_EQ(s.List->Font.Height(), -11);
    s.Form->Release();
}

TEST_F(DisplayScaleLayoutTest, FormShownOnAScaledDisplayIsLaidOutBeforeItsWindowsAreMade) {
    TFixedDisplayDpi display(144);
    TServiceOverride<TDisplayDpi> scaled(display);
    auto* form = new TForm(Application, "Scaled", 300, 200, bsDialog, biSystemMenu);
    auto* edit = new TEdit(form, form, 10, 12, 201, 19);
    EXPECT_FALSE(form->HandleAllocated());
    form->Show();
    ui::Pump();
    EXPECT_EQ(form->Dpi(), 144);
    EXPECT_EQ(form->ClientWidth(), 450);
    EXPECT_EQ(form->ClientHeight(), 300);
    RECT r;
    GetWindowRect(edit->Handle(), &r);
    EXPECT_EQ(r.right - r.left, ScaleForDpi(211, 144) - ScaleForDpi(10, 144));
    // The edit shows its text in the scaled font.
    auto font = reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    GetObjectA(font, sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, ScaleFontForDpi(-11, 144));
    form->Release();
}

TEST_F(DisplayScaleLayoutTest, FormScaledPastItsMonitorIsShownInsideTheWorkArea) {
    TFakeMonitorAreas monitor;
    monitor.Work = {100, 50, 900, 650};
    TServiceOverride<TMonitorAreas> areas(monitor);
    TFixedDisplayDpi display(192);
    TServiceOverride<TDisplayDpi> scaled(display);
    auto* form = new TForm(Application, "Large", 500, 400, bsSizeable, biSystemMenu);
    form->Position = poDesigned;
    form->SetBounds(300, 200, form->Width(), form->Height());
    auto* corner = new TButton(form, form, "Corner", 420, 360, 70, 30);
    corner->SetAnchors(akRight | akBottom);
    form->Show();
    ui::Pump();
    RECT shown;
    GetWindowRect(form->Handle(), &shown);
    EXPECT_GE(shown.left, 100);
    EXPECT_GE(shown.top, 50);
    EXPECT_LE(shown.right, 900);
    EXPECT_LE(shown.bottom, 650);
    EXPECT_EQ(shown.right - shown.left, 800) << "as wide as the area allows";
    // The anchored button came along with the smaller window.
    EXPECT_LE(corner->Left() + corner->Width(), form->ClientWidth());
    EXPECT_LE(corner->Top() + corner->Height(), form->ClientHeight());
    EXPECT_EQ(form->ClientWidth() - (corner->Left() + corner->Width()), ScaleForDpi(10, 192));
    // A window that fits keeps its size and place.
    display.SetDpi(96);
    auto* small = new TForm(Application, "Small", 300, 200, bsSizeable, biSystemMenu);
    small->Position = poDesigned;
    small->SetBounds(150, 100, small->Width(), small->Height());
    const int w = small->Width(), h = small->Height();
    small->Show();
    ui::Pump();
    GetWindowRect(small->Handle(), &shown);
    EXPECT_EQ(shown.left, 150);
    EXPECT_EQ(shown.right - shown.left, w);
    EXPECT_EQ(shown.bottom - shown.top, h);
    small->Release();
    form->Release();
}

// What the message box measured and placed, at the DPI the display says.
struct TBoxLayout {
    int Dpi = 0;
    RECT Text{}, Icon{}, Yes{}, No{};
    int ClientWidth = 0, ClientHeight = 0, TextFont = 0;
};

TBoxLayout MessageBoxAt(int dpi) {
    TFixedDisplayDpi display(dpi);
    TServiceOverride<TDisplayDpi> scaled(display);
    TvlSkinMessage messages(nullptr);
    TBoxLayout layout;
    ui::OnNextModal([&](TForm* box) {
        auto* form = dynamic_cast<TvlMessageForm*>(box);
        ASSERT_NE(form, nullptr);
        layout.Dpi = form->Dpi();
        layout.Text = form->Message->BoundsRect();
        layout.TextFont = form->Message->TextFont().Height();
        layout.Icon = form->Image->BoundsRect();
        layout.Yes = dynamic_cast<TControl*>(box->FindComponent("Yes"))->BoundsRect();
        layout.No = dynamic_cast<TControl*>(box->FindComponent("No"))->BoundsRect();
        layout.ClientWidth = box->ClientWidth();
        layout.ClientHeight = box->ClientHeight();
        ui::SaveScreenshot(box->Handle(), "message-yes-no-dpi" + std::to_string(dpi));
        ui::Key(dynamic_cast<TWinControl*>(box->FindComponent("No")), VK_ESCAPE);
    });
    messages.ShowMessageBox("A question long enough to measure.\nAnd a second line.", mtConfirmation, mbYes | mbNo);
    return layout;
}

}  // namespace

TEST_F(DisplayScaleLayoutTest, MessageBoxMeasuresItsTextInTheScaledFont) {
    const TBoxLayout at96 = MessageBoxAt(kDesignDpi);
    for (int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const TBoxLayout box = MessageBoxAt(dpi);
        EXPECT_EQ(box.Dpi, dpi);
        EXPECT_EQ(box.TextFont, ScaleFontForDpi(at96.TextFont, dpi));
        // The text's size is its own at the larger font, not the 96-DPI one
        // stretched; it grows with the scale, give or take the glyphs' hinting.
        const double scale = dpi / 96.0;
        const int width = box.Text.right - box.Text.left, width96 = at96.Text.right - at96.Text.left;
        const int height = box.Text.bottom - box.Text.top, height96 = at96.Text.bottom - at96.Text.top;
        EXPECT_GT(width, width96 * (scale - 0.2));
        EXPECT_LT(width, width96 * (scale + 0.2));
        EXPECT_GT(height, height96 * (scale - 0.2));
        EXPECT_EQ(box.Text.left, ScaleForDpi(at96.Text.left, dpi));
        EXPECT_EQ(box.Icon.right - box.Icon.left, ScaleForDpi(32, dpi));
        EXPECT_EQ(box.Yes.right - box.Yes.left, ScaleForDpi(70, dpi));
        EXPECT_EQ(box.No.left - box.Yes.right, ScaleForDpi(10, dpi));
        // Nothing overlaps and everything is inside the dialog.
        EXPECT_LE(box.Icon.right, box.Text.left);
        EXPECT_LE(box.Text.bottom, box.Yes.top);
        EXPECT_LE(box.Text.right, box.ClientWidth);
        EXPECT_LE(box.No.right, box.ClientWidth);
        EXPECT_LE(box.Yes.bottom, box.ClientHeight);
    }
}
