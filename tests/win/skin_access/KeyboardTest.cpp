// The keyboard, window by window, in both built-in skins: Tab reaches every
// focusable control of the main window (both sheets), the four dialogs,
// the message box and every kind of skinned control, in reading order,
// and the control with the focus shows it.
#include "tests/win/app/PlannerFixture.h"

#include "app/FCategory.h"
#include "app/FHour.h"
#include "app/FNewProject.h"
#include "app/FTask.h"
#include "skin/controls/vlSkinComboBox.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinListBox.h"
#include "skin/controls/vlSkinListViews.h"
#include "skin/controls/vlSkinScrollBar.h"
#include "skin/controls/vlSkinUpDown.h"
#include "skin/form/Lacquer.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/skin_access/KeyboardWalk.h"
#include "tests/win/skin_controls/SkinGallery.h"
#include "tests/win/support/SkinnedFormTest.h"

namespace {

class KeyboardPlannerTest : public PlannerTest {
protected:
    TfrmMain* StartWithSamplePlan() {
        Write("categories.dat", kSampleCategories);
        Write("projects.dat", kSamplePlan);
        Write("hours.dat", kSampleHours);
        return Start();
    }
    // Each built-in skin in turn on the sample plan.
    template <class Test>
    void InBothSkinsWithSamplePlan(Test test) {
        Write("categories.dat", kSampleCategories);
        Write("projects.dat", kSamplePlan);
        Write("hours.dat", kSampleHours);
        InBothSkins(test);
    }
    // Walks the dialog that opens next, then closes it with Cancel.
    static void WalkNextDialog(const std::string& what, bool readingOrder = true) {
        ui::OnNextModal([what, readingOrder](TForm* dialog) {
            keys::ExpectKeyboardWalk(dialog, what, readingOrder);
            ui::Answer(dialog, "vlSkinButton2");
        });
    }
};

}  // namespace

TEST_F(KeyboardPlannerTest, MainWindowBothSheetsInReadingOrderShowingTheFocus) {
    InBothSkinsWithSamplePlan([&](TfrmMain* w, const std::string& skin) {
        SelectNode("Product launch");
        ClickRow(w->lvwItems, 0);
        w->pgcMain->SetActivePageIndex(0);
        ui::Pump(30);
        keys::ExpectKeyboardWalk(w, "main window, Tasks, " + skin);
        w->pgcMain->SetActivePageIndex(1);
        ui::Pump(30);
        ClickRow(w->lvwToDo, 8);
        keys::ExpectKeyboardWalk(w, "main window, Calendar, " + skin);
        // Pictures of the focus on the calendar and on the tabs, for people.
        for (TWinControl* focused :
             {static_cast<TWinControl*>(w->vlSkinMonthCalendar1), static_cast<TWinControl*>(w->pgcMain)}) {
            focused->SetFocus();
            ui::Pump(150);
            ui::SaveScreenshot(w->Handle(), "keyboard-focus-" + focused->Name + "-" + skin);
        }
    });
}

// The project and task dialogs keep the tab order their layouts fix ("Ok"
// and "Cancel" right after the name field); every other window reads in
// order.
TEST_F(KeyboardPlannerTest, DialogsAndMessageBoxReachEveryControlShowingTheFocus) {
    InBothSkinsWithSamplePlan([&](TfrmMain* w, const std::string& skin) {
        WalkNextDialog("project dialog, " + skin, false);
        ui::Click(w->btn1);
        SelectNode("Product launch");
        WalkNextDialog("task dialog, " + skin, false);
        ui::Click(w->btnAdd);
        WalkNextDialog("category dialog, " + skin);
        w->NewCategory1->Click();
        w->pgcMain->SetActivePageIndex(1);
        ClickRow(w->lvwToDo, 8);
        WalkNextDialog("action dialog, " + skin);
        ui::Click(w->btnEditHour);
        w->pgcMain->SetActivePageIndex(0);
        SelectNode("Work");
        ui::OnNextModal([skin](TForm* box) {
            keys::ExpectKeyboardWalk(box, "message box, " + skin);
            ui::Answer(box, "Cancel");
        });
        w->Delete1->Click();
        EXPECT_EQ(w->tvwMain->Roots().size(), 2u) << "the category is kept";
    });
}

namespace {

class KeyboardGalleryTest : public SkinnedFormTest {
protected:
    KeyboardGalleryTest() : SkinnedFormTest("Keyboard", 900, 560) {}

    // A control of `form` in the test's skin at a place of its own.
    template <class Control>
    Control* Place(Control* control, const TRect& at) {
        control->SetSkinData(Skin);
        control->SetBounds(at.Left, at.Top, at.Right - at.Left, at.Bottom - at.Top);
        return control;
    }

    // The focusable kinds of the widgets folder on one form, each in a mode
    // of its own.
    TForm* Widgets() {
        auto* f = new TForm(Application, "Widgets", 700, 330);
        TvlSkinPageControl* pages = Place(new TvlSkinPageControl(f, f, false), {10, 10, 210, 110});
        pages->AddSheet("One");
        pages->AddSheet("Two");
        Place(new TvlSkinMonthCalendar(f, f, 0, 0, 1, 1), {220, 10, 420, 160})->SetDate(2007, 12, 13);
        Place(new TvlSkinDateEdit(f, f, 0, 0, 1, 1), {430, 10, 551, 30})->SetDate(TvlDay{2007, 12, 24});
        TvlSkinComboBox* combo = Place(new TvlSkinComboBox(f, f, 0, 0, 1, 1), {430, 40, 580, 60});
        TvlSkinListBox* list = Place(new TvlSkinListBox(f, f), {430, 70, 580, 160});
        combo->Items.Assign(Names());
        list->Items.Assign(Names());
        combo->ItemsChanged();
        list->ItemsChanged();
        combo->SetItemIndex(0);
        list->SetItemIndex(1);
        Place(new TvlSkinUpDown(f, f), {600, 10, 650, 35});
        Place(new TvlSkinEdit(f, f, 0, 0, 1, 1), {10, 180, 200, 200})->SetText("An edit");
        Place(new TvlSkinMemo(f, f, 0, 0, 1, 1), {220, 180, 420, 240})->SetText("A memo");
        Place(new TvlSkinScrollBar(f, f, sbHorizontal), {430, 180, 580, 199})->SetCanFocused(true);
        TvlSkinListView* view = Place(new TvlSkinListView(f, f, true, true), {10, 250, 310, 320});
        view->AddColumn("Task", 120);
        view->SetSelectedIndex(view->AddItem("Task 1"));
        Place(new TvlSkinTreeView(f, f), {330, 250, 580, 320})->AddRoot("Category");
        return f;
    }
    static TStringList Names() {
        TStringList names;
        for (const char* s : {"Home", "Work", "Garden"}) names.Add(s);
        return names;
    }
};

}  // namespace

TEST_F(KeyboardGalleryTest, EveryKindOfControlInBothSkins) {
    for (const char* skin : {"modern", "graphite"}) {
        SCOPED_TRACE(skin);
        if (std::string(skin) == "graphite") Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
        ASSERT_FALSE(Skin->IsEmpty());
        TForm* buttons = new TForm(Application, "Gallery", 900, 560);
        TSkinGallery gallery(buttons, Skin);
        // Dressed as a program's window is, so the pictures show the skinned frame.
        (new TvlLacquer(buttons))->SetSkinData(Skin);
        buttons->Show();
        ui::Pump(50);
        // The gallery is laid out for pictures, not built in reading order.
        keys::ExpectKeyboardWalk(buttons, std::string("buttons and boxes, ") + skin, false);
        for (TControl* c : gallery.Controls)
            if (c->Caption() == "Not flat") static_cast<TWinControl*>(c)->SetFocus();
        ui::Pump(150);
        ui::SaveScreenshot(buttons->Handle(), std::string("keyboard-focus-gallery-") + skin);
        delete buttons;
        TForm* widgets = Widgets();
        widgets->Show();
        ui::Pump(50);
        keys::ExpectKeyboardWalk(widgets, std::string("widgets, ") + skin);
        delete widgets;
        ui::Pump();
    }
}
