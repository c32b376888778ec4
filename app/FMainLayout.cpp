// The main window's layout: every control of the window with its place,
// anchors, skin element and handlers, in the order they are created.
#include <tuple>
#include <utility>

#include "app/FMain.h"
#include "app/PlannerIcons.h"

void TfrmMain::BuildLayout() {
    auto button = [this](TWinControl* parent, const char* name, const char* caption, int l, int t, int w, int h) {
        auto* b = new TvlSkinButton(this, parent, caption, l, t, w, h);
        b->Name = name;
        b->SkinDataName = "button";
        b->SetSkinData(vlSkinData1);
        return b;
    };
    auto label = [this](TWinControl* parent, const char* name, const char* caption, int l, int t) {
        auto* lbl = new TvlSkinStdLabel(this, parent, caption, l, t);
        lbl->Name = name;
        lbl->SetShowAccelChar(false);  // they show names from the plan: "R&D" stays "R&D"
        lbl->SkinDataName = "stdlabel";
        lbl->SetSkinData(vlSkinData1);
        return lbl;
    };
    // A view's skinned bars, both hidden until needed: horizontal at the
    // bottom, vertical at the right of the view's parent.
    auto scrollBars = [this](auto* view, const char* hName, const char* vName) {
        auto* h = new TvlSkinScrollBar(this, view->Parent(), sbHorizontal);
        h->Name = hName;
        h->SetAlign(alBottom);
        auto* v = new TvlSkinScrollBar(this, view->Parent(), sbVertical);
        v->Name = vName;
        v->SetAlign(alRight);
        for (TvlSkinScrollBar* bar : {h, v}) bar->SetSkinData(vlSkinData1);
        view->SetHScrollBar(h);
        view->SetVScrollBar(v);
        view->SetSkinData(vlSkinData1);
        return std::pair{h, v};
    };
    auto panel = [this](TWinControl* parent, const char* name, TvlPanelBorderStyle border, TAlign align, int size) {
        auto* p = new TvlSkinPanel(this, parent, border);
        p->Name = name;
        p->SkinDataName = "panel";
        p->SetSkinData(vlSkinData1);
        if (align == alLeft || align == alRight)
            p->SetWidth(size);
        else
            p->SetHeight(size);
        p->SetAlign(align);
        return p;
    };

    vlSkinPanel1 = panel(this, "vlSkinPanel1", bvNone, alTop, 33);
    btn1 = button(vlSkinPanel1, "btn1", "New Project", 6, 7, 99, 20);
    btnSave = button(vlSkinPanel1, "btnSave", "Save Changes", 109, 7, 98, 20);
    btnMakeMoney = button(vlSkinPanel1, "btnMakeMoney", "Make Money", 211, 7, 98, 20);
    for (TvlSkinButton* b : {btn1, btnSave, btnMakeMoney}) b->Cursor = crHandPoint;
    btn1->OnClick = [this](TObject* s) { btn1Click(s); };
    btnSave->OnClick = [this](TObject* s) { btnSaveClick(s); };
    btnMakeMoney->OnClick = [this](TObject* s) { btnMakeMoneyClick(s); };

    panBanner = panel(this, "panBanner", bvFrame, alTop, 65);
    imgBanner = new TImage(this, panBanner, 0, 0, 0, 0);
    imgBanner->Name = "imgBanner";
    imgBanner->AutoSize = true;
    imgBanner->OnClick = [this](TObject* s) { imgBannerClick(s); };
    gifBanner = new TGIFAnimator(this, panBanner);
    gifBanner->Name = "gifBanner";
    gifBanner->SetAnimate(true);
    gifBanner->OnClick = [this](TObject* s) { gifBannerClick(s); };

    vlSkinPanel2 = panel(this, "vlSkinPanel2", bvNone, alTop, 87);
    vlSkinBevel1 = new TvlSkinBevel(this, vlSkinPanel2, 10, 13, 752, 62);
    vlSkinBevel1->SkinDataName = "bevel";
    vlSkinBevel1->SetSkinData(vlSkinData1);
    vlSkinBevel1->SetAnchors(akLeft | akRight | akTop);
    lblProjName = label(vlSkinPanel2, "lblProjName", "Project Name:  ", 23, 22);
    lblProgress = label(vlSkinPanel2, "lblProgress", "Progress:", 25, 44);
    lblStartDate = label(vlSkinPanel2, "lblStartDate", "Start Date:", 480, 22);
    lblStartDate->SetAnchors(akRight | akTop);
    lblEndDate = label(vlSkinPanel2, "lblEndDate", "End Date:", 607, 22);
    lblEndDate->SetAnchors(akRight | akTop);
    MainGauge = new TvlSkinGauge(this, vlSkinPanel2, 96, 43, 652, 19);
    MainGauge->Name = "MainGauge";
    MainGauge->SkinDataName = "statusgauge";
    MainGauge->SetSkinData(vlSkinData1);
    MainGauge->SetAnchors(akLeft | akRight | akTop);
    MainGauge->SetMinValue(0);
    MainGauge->SetMaxValue(100);
    MainGauge->SetValue(0);
    MainGauge->SetProgressText("0/0 tasks  ");
    MainGauge->SetShowProgressText(true);
    MainGauge->SetShowPercent(true);

    panLinks = panel(this, "panLinks", bvFrame, alBottom, 36);
    lblLink1URL = new TvlSkinLinkLabel(this, panLinks, "Search the web", 13, 8);
    lblLink1URL->Name = "lblLink1URL";
    lblLink1URL->URL = "https://duckduckgo.com/";
    lblLink2URL = new TvlSkinLinkLabel(this, panLinks, "Search", 723, 8);
    lblLink2URL->Name = "lblLink2URL";
    lblLink2URL->URL = "https://www.startpage.com/";
    lblLink2URL->Alignment = taRightJustify;
    lblLink2URL->SetAnchors(akRight | akTop);
    for (TvlSkinLinkLabel* l : {lblLink1URL, lblLink2URL}) {
        l->SetShowAccelChar(false);  // names from the branding file are shown as written
        l->SkinDataName = "stdlabel";
        l->SetSkinData(vlSkinData1);
    }

    vlSkinGroupBox1 = new TvlSkinGroupBox(this, this, "Projects");
    vlSkinGroupBox1->Name = "vlSkinGroupBox1";
    vlSkinGroupBox1->SkinDataName = "groupbox";
    vlSkinGroupBox1->SetSkinData(vlSkinData1);
    vlSkinGroupBox1->SetWidth(201);
    vlSkinGroupBox1->SetAlign(alLeft);
    ImageList1 = new TImageList(this, 16, 16);
    AddPlannerIcons(*ImageList1);
    tvwMain = new TvlSkinTreeView(this, vlSkinGroupBox1);
    tvwMain->Name = "tvwMain";
    tvwMain->SkinDataName = "treeview";
    tvwMain->SetAlign(alClient);
    tvwMain->SetImages(ImageList1);
    tvwMain->OnChange = [this](TObject* s, TTreeNode* n) { tvwMainChange(s, n); };
    tvwMain->OnKeyDown = [this](TObject* s, unsigned short& k, TShiftState sh) { tvwMainKeyDown(s, k, sh); };
    std::tie(vlSkinScrollBar1, vlSkinScrollBar2) = scrollBars(tvwMain, "vlSkinScrollBar1", "vlSkinScrollBar2");

    vlSkinPopupMenu1 = new TvlSkinPopupMenu(this);
    vlSkinPopupMenu1->Name = "vlSkinPopupMenu1";
    NewCategory1 = vlSkinPopupMenu1->Add(new TMenuItem(this, "New Category"));
    vlSkinPopupMenu1->Add(new TMenuItem(this, "-"));
    AddProject1 = vlSkinPopupMenu1->Add(new TMenuItem(this, "New Project"));
    Rename1 = vlSkinPopupMenu1->Add(new TMenuItem(this, "Edit"));
    Delete1 = vlSkinPopupMenu1->Add(new TMenuItem(this, "Delete"));
    NewCategory1->OnClick = [this](TObject* s) { NewCategory1Click(s); };
    AddProject1->OnClick = [this](TObject* s) { AddProject1Click(s); };
    Rename1->OnClick = [this](TObject* s) { Rename1Click(s); };
    Delete1->OnClick = [this](TObject* s) { Delete1Click(s); };
    tvwMain->PopupMenu = vlSkinPopupMenu1;

    vlSkinSplitter1 = new TvlSkinSplitter(this, this, 10);
    vlSkinSplitter1->SkinDataName = "vsplitter";
    vlSkinSplitter1->SetSkinData(vlSkinData1);
    vlSkinSplitter1->MinSize = 10;

    pgcMain = new TvlSkinPageControl(this, this, true);
    pgcMain->Name = "pgcMain";
    pgcMain->SkinDataName = "tab";
    pgcMain->SetAlign(alClient);
    pgcMain->SetDefaultItemHeight(kTabHeight);
    pgcMain->SetTabHeight(kTabHeight);
    pgcMain->SetSkinData(vlSkinData1);
    tabTasks = pgcMain->AddSheet("Tasks");
    tabCalendar = pgcMain->AddSheet("Calendar");

    // Tasks sheet.
    vlSkinPanel3 = panel(tabTasks, "vlSkinPanel3", bvNone, alTop, 284);
    lvwItems = new TvlSkinListView(this, vlSkinPanel3, true, true);
    lvwItems->Name = "lvwItems";
    lvwItems->SkinDataName = "listview";
    lvwItems->SetAlign(alClient);
    lvwItems->AddColumn("Done", 40);
    lvwItems->AddColumn("Task Description", 0, true);
    lvwItems->AddColumn("Task Notes", 0, true);
    lvwItems->AddColumn("Start Date", 100);
    lvwItems->AddColumn("End Date", 100);
    lvwItems->OnChange = [this](TObject* s, int i, TItemChange c) { lvwItemsChange(s, i, c); };
    lvwItems->OnDblClick = [this](TObject* s) { lvwItemsDblClick(s); };
    lvwItems->OnKeyDown = [this](TObject* s, unsigned short& k, TShiftState sh) { lvwItemsKeyDown(s, k, sh); };
    std::tie(vlSkinScrollBar3, vlSkinScrollBar4) = scrollBars(lvwItems, "vlSkinScrollBar3", "vlSkinScrollBar4");
    btnAdd = button(tabTasks, "btnAdd", "Add New Task", 6, 294, 110, 20);
    btnEdit = button(tabTasks, "btnEdit", "Edit Selected Task", 119, 294, 133, 20);
    btnRemove = button(tabTasks, "btnRemove", "Remove Selected Task", 255, 294, 150, 20);
    for (TvlSkinButton* b : {btnAdd, btnEdit, btnRemove}) b->SetAnchors(akLeft | akBottom);
    btnAdd->OnClick = [this](TObject* s) { btnAddClick(s); };
    btnEdit->OnClick = [this](TObject* s) { btnEditClick(s); };
    btnRemove->OnClick = [this](TObject* s) { btnRemoveClick(s); };

    // Calendar sheet.
    vlSkinMonthCalendar1 = new TvlSkinMonthCalendar(this, tabCalendar, 10, 12, 200, 150);
    vlSkinMonthCalendar1->Name = "vlSkinMonthCalendar1";
    vlSkinMonthCalendar1->SkinDataName = "panel";
    vlSkinMonthCalendar1->SetSkinData(vlSkinData1);
    vlSkinMonthCalendar1->SetDate(2007, 12, 13);
    vlSkinMonthCalendar1->OnNumberClick = [this](TObject* s) { vlSkinMonthCalendar1NumberClick(s); };
    vlSkinMonthCalendar1->OnMouseEnter = [this](TObject* s) { vlSkinMonthCalendar1MouseEnter(s); };
    vlSkinMonthCalendar1->OnMouseLeave = [this](TObject* s) { vlSkinMonthCalendar1MouseLeave(s); };
    vlSkinPanel4 = new TvlSkinPanel(this, tabCalendar, bvNone);
    vlSkinPanel4->Name = "vlSkinPanel4";
    vlSkinPanel4->SkinDataName = "panel";
    vlSkinPanel4->SetSkinData(vlSkinData1);
    vlSkinPanel4->SetBounds(224, 9, 327, 277);
    vlSkinPanel4->SetAnchors(akLeft | akTop | akRight | akBottom);
    lvwToDo = new TvlSkinListView(this, vlSkinPanel4, false, false);
    lvwToDo->Name = "lvwToDo";
    lvwToDo->SkinDataName = "listview";
    lvwToDo->SetAlign(alClient);
    lvwToDo->AddColumn("Hour", 60);
    lvwToDo->AddColumn("Action", 0, true);
    lvwToDo->OnDblClick = [this](TObject* s) { lvwToDoDblClick(s); };
    std::tie(vlSkinScrollBar5, vlSkinScrollBar6) = scrollBars(lvwToDo, "vlSkinScrollBar5", "vlSkinScrollBar6");
    btnEditHour = button(tabCalendar, "btnEditHour", "Edit selected action", 223, 294, 133, 20);
    vlSkinButton3 = button(tabCalendar, "vlSkinButton3", "Clear selected action", 359, 294, 150, 20);
    for (TvlSkinButton* b : {btnEditHour, vlSkinButton3}) b->SetAnchors(akLeft | akBottom);
    btnEditHour->OnClick = [this](TObject* s) { btnEditHourClick(s); };
    vlSkinButton3->OnClick = [this](TObject* s) { vlSkinButton3Click(s); };
    pgcMain->SetActivePageIndex(1);  // the layout keeps the calendar sheet active

    msgMain = new TvlSkinMessage(this);
    msgMain->Name = "msgMain";
    msgMain->SetSkinData(vlSkinData1);
    msgMain->SetCtrlSkinData(vlSkinData1);
    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
}
