#include "app/FMain.h"

#include <optional>
#include <utility>

#include "app/FCategory.h"
#include "app/FHour.h"
#include "app/FNewProject.h"
#include "app/FTask.h"
#include "app/StartupTimes.h"
#include "core/FileIO.h"
#include "core/TextCompare.h"
#include "model/PlanLoad.h"
#include "skin/controls/vlSkinRelay.h"

#include <atomic>
#include <ctime>

namespace {
// The window whose plan a failure report rescues.
std::atomic<TfrmMain*> g_rescuingForm{nullptr};
}  // namespace

TfrmMain* frmMain = nullptr;

namespace {
const char* const kNoProjectShown = "Project Name:";

// A date whose first character is a space counts as no date on screen.
std::string ShownDate(const std::string& date) { return !date.empty() && date[0] == ' ' ? std::string() : date; }

template <class Dialog>
struct DialogGuard {  // dialogs are freed after each use, whatever happens
    Dialog* dialog;
    ~DialogGuard() { dialog->Release(); }
};
}  // namespace

TfrmMain::TfrmMain(TComponent* owner) : TForm(owner, "Plandesk", 772, 566, bsSizeable, 0) {
    frmMain = this;
    Name = "frmMain";
    FPlanLoad = std::make_unique<TPlanLoad>(ProgramFolder());
    InstallSkinMessages();
    vlSkinData1 = new TvlSkinData(this);
    vlLacquer1 = new TvlLacquer(this);
    vlLacquer1->Name = "vlLacquer1";
    vlLacquer1->SetBorderIcons(vlbiSystemMenu | vlbiMinimize | vlbiMaximize);
    vlLacquer1->SetSkinData(vlSkinData1);
    UseBuiltInSkin(vlCompressedStoredSkin1);
    StartupMark("skin engine");
    BuildLayout();
    // Laid out at the display's scale before the skin, read at that scale,
    // gives the controls its sizes and fonts.
    ScaleToDpi(SystemDpi());
    StartupMark("layout built");
    vlSkinData1->SetCompressedStoredSkin(&vlCompressedStoredSkin1);
    StartupMark("skin read");
    // Measured again in the skin's font, the right-aligned link keeps its
    // right edge; its designed place is its left.
    lblLink2URL->SetLeft(ScaleForDpi(723, Dpi()));
    OnResize = [this](TObject* s) { FormResize(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    FormCreate(this);
    StartupMark("plan read");
}

TfrmMain::~TfrmMain() {
    FormDestroy(this);
    if (frmMain == this) frmMain = nullptr;
}

template <class Step>
bool TfrmMain::StartupStep(Step step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        Application->HandleException(e);
        return false;
    }
}

void TfrmMain::FormCreate(TObject*) {
    gifBanner->SetBounds(imgBanner->Left(), imgBanner->Top(), imgBanner->Width(), imgBanner->Height());
    LoadBranding();
    // The projects without their tasks are what the window shows first;
    // the tasks are read meanwhile and taken in CompletePlan.
    TLoadedPlan plan = FPlanLoad->TakeOutline();
    FHours = std::move(plan.Hours);
    FHoursUnread = !StartupStep([&] { RethrowIfAny(plan.HoursError); });
    {
        TUpdateGuard<TListView> update(lvwToDo);
        lvwToDo->SetItemCount(24);
        for (int n = 1; n <= 24; ++n) {
            int row = lvwToDo->AddItem(HourCaption(n));
            lvwToDo->SetItemText(row, 1, "");
        }
    }
    ShowDayActions();
    FitSheetsAboveButtons();
    pgcMain->SetActivePageIndex(0);
    FProjects = std::move(plan.Projects);
    FCategoriesUnread = !StartupStep([&] { RethrowIfAny(plan.CategoriesError); });
    FProjectsUnread = !StartupStep([&] { RethrowIfAny(plan.ProjectsError); });
    StartupMark("plan outlined");
    FRescueFolder = ProgramFolder();
    if (PendingRescue(FRescueFolder)) {
        // The question compares with, and may replace, the whole plan.
        CompletePlan();
        StartupStep([this] { OfferRescue(); });
    } else {
        // The tasks are read once the window has painted, and taken as
        // soon as they are in (or when the user wants them first).
        HWND window = Handle();
        FPlanLoad->WhenTasksRead([window] { PostMessageA(window, TM_PLANREAD, 0, 0); });
        AddIdleWork(this, [this] {
            RemoveIdleWork(this);
            if (FPlanLoad) FPlanLoad->StartTasks();
        });
    }
    ShowDayActions();
    FillTree("");
}

void TfrmMain::CompletePlan() {
    if (!FPlanLoad) return;
    TPlanTasksRead tasks = FPlanLoad->FinishTasks();
    FPlanLoad.reset();
    if (!StartupStep([&] { RethrowIfAny(tasks.TasksError); })) FProjectsUnread = true;
    // The files' texts as read, kept for the rescue.
    KeepReadPlanForRescue(std::move(tasks.Texts));
    g_rescuingForm.store(this);
}

void TfrmMain::WndProc(TMessage& m) {
    if (m.Msg == TM_PLANREAD) {
        CompletePlan();
        return;
    }
    TForm::WndProc(m);
}

void TfrmMain::CenterBanner() {
    for (TControl* image : std::initializer_list<TControl*>{imgBanner, gifBanner})
        image->SetBounds(panBanner->Width() / 2 - image->Width() / 2, panBanner->Height() / 2 - image->Height() / 2,
                         image->Width(), image->Height());
}

void TfrmMain::FitSheetsAboveButtons() {
    vlSkinPanel3->SetHeight(btnAdd->Top() - ScaleForDpi(10, Dpi()));
    vlSkinPanel4->SetHeight(btnEditHour->Top() - ScaleForDpi(20, Dpi()));
}

void TfrmMain::ChangeScale(int fromDpi, int toDpi) {
    TForm::ChangeScale(fromDpi, toDpi);
    // The sheets' tabs are as tall as the layout gives them at 96 DPI.
    pgcMain->SetDefaultItemHeight(ScaleForDpi(kTabHeight, toDpi));
    pgcMain->SetTabHeight(ScaleForDpi(kTabHeight, toDpi));
    FitSheetsAboveButtons();
}

void TfrmMain::FormResize(TObject*) {
    if (!FHours) return;  // not created yet
    CenterBanner();
    FitSheetsAboveButtons();
}

void TfrmMain::FormShow(TObject*) {
    CenterBanner();
    StartupMark("windows shown");
}

void TfrmMain::FormCloseQuery(TObject*, bool& canClose) {
    CompletePlan();
    FRebuilding = true;
    canClose = true;
    // Closing asks nothing and saves nothing, but unsaved changes are kept
    // the way a failure keeps them, to be offered at the next start.
    FRescue.WriteRescue(FRescueFolder, TRescueReason::Closed);
}

void TfrmMain::FormDestroy(TObject*) {
    TfrmMain* self = this;
    g_rescuingForm.compare_exchange_strong(self, nullptr);
    FRebuilding = true;
    FCurrentProject = nullptr;
    // The reading thread may still be adding tasks to the projects.
    RemoveIdleWork(this);
    FPlanLoad.reset();
    FProjects.reset();
    FHours.reset();
}

int TfrmMain::Ask(const std::string& text) { return msgMain->ShowMessageBox(text, mtInformation, mbOK | mbCancel); }

void TfrmMain::Tell(const std::string& text) { msgMain->ShowMessageBox(text, mtInformation, mbOK); }

std::string TfrmMain::HourCaption(int n) {
    if (n < 12) return std::to_string(n) + ":00 AM";
    if (n == 12) return "12:00 M";
    return std::to_string(n - 12) + ":00 PM";
}

std::string TfrmMain::CalendarDay() const { return FormatShortDate(vlSkinMonthCalendar1->Date()); }

// ---- project view ----

void TfrmMain::ClearProjectView() {
    TRebuildingScope rebuilding(FRebuilding);
    {
        TUpdateGuard<TListView> update(lvwItems);
        lvwItems->Clear();
    }
    lblProjName->SetCaption("Project Name:  ");
    lblStartDate->SetCaption("Start Date: ");
    lblEndDate->SetCaption("End Date: ");
    MainGauge->SetValue(0);
    MainGauge->SetProgressText("0/0 tasks  ");
}

void TfrmMain::UpdateGauge() {
    if (!FCurrentProject) return;
    MainGauge->SetValue(FCurrentProject->Progress());
    MainGauge->SetProgressText(std::to_string(FCurrentProject->DoneCount()) + "/" +
                               std::to_string(FCurrentProject->Tasks.Count()) + " tasks  ");
}

void TfrmMain::ShowProject() {
    TRebuildingScope rebuilding(FRebuilding);
    TProject* p = FCurrentProject;
    {
        // Repainting after every row would cost far more than adding it.
        TUpdateGuard<TListView> update(lvwItems);
        lvwItems->Clear();
        lvwItems->SetItemCount(p->Tasks.Count());
        for (int i = 0; i < p->Tasks.Count(); ++i) {
            TTask* t = p->Task(i);
            int row = lvwItems->AddItem("");
            // A new row is unchecked and its cells are empty: only what
            // differs is sent.
            if (t->Done) lvwItems->SetChecked(row, true);
            const std::string start = ShownDate(t->StartDate), end = ShownDate(t->EndDate);
            const std::string* cells[] = {&t->Description, &t->Notes, &start, &end};
            for (int c = 0; c < 4; ++c)
                if (!cells[c]->empty()) lvwItems->SetItemText(row, c + 1, *cells[c]);
        }
    }
    lblProjName->SetCaption("Project Name:  " + p->Name);
    if (!p->StartDate.empty() && p->StartDate[0] == ' ') p->StartDate.clear();
    if (!p->EndDate.empty() && p->EndDate[0] == ' ') p->EndDate.clear();
    lblStartDate->SetCaption("Start Date:  " + p->StartDate);
    lblEndDate->SetCaption("End Date:  " + p->EndDate);
    UpdateGauge();
}

void TfrmMain::FillTree(const std::string& selectName, TProject* selectProject) {
    TRebuildingScope rebuilding(FRebuilding);
    ClearProjectView();
    TTreeNode* selected = nullptr;
    {
        TUpdateGuard<TTreeView> update(tvwMain);
        tvwMain->Clear();
        FNodeProjects.clear();
        for (int c = 0; c < FProjects->Categories.Count(); ++c) {
            const std::string& category = FProjects->Categories.Strings(c);
            TTreeNode* root = tvwMain->AddRoot(category, 0, 0);
            for (int i = 0; i < FProjects->Count(); ++i) {
                TProject* p = FProjects->Project(i);
                if (p->Category != category) continue;
                TTreeNode* node = tvwMain->AddChild(root, p->Name, 1, 1);
                FNodeProjects[node] = p;
                bool wanted = selectProject ? p == selectProject : p->Name == selectName;
                if (wanted && !selected) selected = node;
            }
            tvwMain->Expand(root, true);
        }
    }
    // Selecting scrolls the node into view, which needs the layout that
    // the tree works out when it redraws again.
    if (selected) tvwMain->SetSelected(selected);
}

TProject* TfrmMain::SelectedProject() const {
    TTreeNode* node = tvwMain->Selected();
    if (!node || !node->Parent) return nullptr;
    auto it = FNodeProjects.find(node);
    return it == FNodeProjects.end() ? nullptr : it->second;
}

int TfrmMain::SelectedCategoryIndex() const {
    TTreeNode* node = tvwMain->Selected();
    if (!node || node->Parent) return -1;
    std::vector<TTreeNode*> roots = tvwMain->Roots();
    for (size_t i = 0; i < roots.size(); ++i)
        if (roots[i] == node) return static_cast<int>(i) < FProjects->Categories.Count() ? static_cast<int>(i) : -1;
    return -1;
}

// ---- tree ----

void TfrmMain::tvwMainChange(TObject*, TTreeNode* node) {
    if (FRebuilding || !node) return;
    if (node->Parent) {
        // The project behind the node, also when another one has its name.
        auto it = FNodeProjects.find(node);
        if (it == FNodeProjects.end()) return;
        CompletePlan();
        FCurrentProject = it->second;
        ShowProject();
    } else {
        ClearProjectView();
    }
}

void TfrmMain::tvwMainKeyDown(TObject* sender, unsigned short& key, TShiftState) {
    if (key == VK_DELETE) Delete1Click(sender);
}

void TfrmMain::btn1Click(TObject*) {
    CompletePlan();
    auto* dialog = new TfrmCreateProject(Application, msgMain, FProjects->Categories);
    DialogGuard<TfrmCreateProject> guard{dialog};
    if (dialog->ShowModal() != mrOk) return;
    auto project = std::make_unique<TProject>();
    project->Name = dialog->edtName->Text();
    project->Category = dialog->cbxCategories->Text();
    project->StartDate = dialog->edtStartDate->Text();
    project->EndDate = dialog->edtEndDate->Text();
    TProject* p = FProjects->AddProject(std::move(project));
    PlanChanged();
    FCurrentProject = p;
    FillTree(p->Name, p);
    // The new project is shown at once, so tasks can be added to it.
    ShowProject();
}

void TfrmMain::Rename1Click(TObject*) {
    CompletePlan();
    TTreeNode* node = tvwMain->Selected();
    if (!node) return;
    if (node->Parent) {
        TProject* p = SelectedProject();
        if (!p) return;
        int index = -1;
        for (int i = 0; i < FProjects->Count(); ++i)
            if (FProjects->Project(i) == p) index = i;
        if (index < 0) return;
        auto* dialog = new TfrmCreateProject(Application, msgMain, FProjects->Categories);
        DialogGuard<TfrmCreateProject> guard{dialog};
        dialog->SetCaption("Edit current project");
        dialog->edtName->SetText(p->Name);
        int category = dialog->cbxCategories->Items.IndexOf(p->Category);
        dialog->cbxCategories->SetItemIndex(category >= 0 ? category : 0);
        dialog->edtStartDate->SetMaskedText(p->StartDate);
        dialog->edtEndDate->SetMaskedText(p->EndDate);
        if (dialog->ShowModal() != mrOk) return;
        p->Name = dialog->edtName->Text();
        p->Category = dialog->cbxCategories->Text();
        p->StartDate = dialog->edtStartDate->Text();
        p->EndDate = dialog->edtEndDate->Text();
        FProjects->SetString(index, p->Name);
        PlanChanged();
        FillTree(p->Name, p);
    } else {
        int index = SelectedCategoryIndex();
        if (index < 0) return;
        auto* dialog = new TfrmCategory(Application, msgMain);
        DialogGuard<TfrmCategory> guard{dialog};
        dialog->SetCaption("Edit category");
        dialog->edtName->SetText(node->Text);
        if (dialog->ShowModal() != mrOk) return;
        std::string oldName = FProjects->Categories.Strings(index);
        std::string newName = dialog->edtName->Text();
        FProjects->Categories.SetString(index, newName);
        for (int i = 0; i < FProjects->Count(); ++i)
            if (FProjects->Project(i)->Category == oldName) FProjects->Project(i)->Category = newName;
        PlanChanged();
        FillTree("");
    }
}

void TfrmMain::Delete1Click(TObject*) {
    TTreeNode* node = tvwMain->Selected();
    if (!node) return;
    CompletePlan();
    if (node->Parent) {
        TProject* p = SelectedProject();
        if (!p) return;
        if (Ask("Are you sure to delete current project?") != mrOk) return;
        TRebuildingScope rebuilding(FRebuilding);
        if (FCurrentProject == p) FCurrentProject = nullptr;
        for (int i = 0; i < FProjects->Count(); ++i)
            if (FProjects->Project(i) == p) {
                FProjects->DeleteProject(i);
                break;
            }
        PlanChanged();
        FillTree("");
    } else {
        int index = SelectedCategoryIndex();
        if (index < 0) return;
        if (Ask("Are you sure to delete current category?") != mrOk) return;
        TRebuildingScope rebuilding(FRebuilding);
        for (int i = 0; i < FProjects->Count(); ++i)
            if (FProjects->Project(i)->Category == node->Text) {
                Ask("You can't delete a category with asociated projects! Please remove first the projects and try "
                    "again.");
                return;
            }
        FProjects->Categories.Delete(index);
        PlanChanged();
        FillTree("");
    }
}

void TfrmMain::NewCategory1Click(TObject*) {
    CompletePlan();
    auto* dialog = new TfrmCategory(Application, msgMain);
    DialogGuard<TfrmCategory> guard{dialog};
    dialog->SetCaption("Add new category");
    if (dialog->ShowModal() != mrOk) return;
    std::string name = dialog->edtName->Text();
    if (FProjects->Categories.IndexOf(name) >= 0) return;
    FProjects->Categories.Add(name);
    PlanChanged();
    FillTree("");
}

// ---- tasks ----

void TfrmMain::lvwItemsChange(TObject*, int item, TItemChange change) {
    if (FRebuilding || change != ctState || !FCurrentProject) return;
    if (item < 0 || item >= FCurrentProject->Tasks.Count()) return;
    const bool done = lvwItems->Checked(item);
    if (FCurrentProject->Task(item)->Done == done) return;
    FCurrentProject->Task(item)->Done = done;
    PlanChanged();
    UpdateGauge();
}

void TfrmMain::lvwItemsKeyDown(TObject* sender, unsigned short& key, TShiftState) {
    if (key == VK_DELETE) btnRemoveClick(sender);
}

void TfrmMain::btnAddClick(TObject*) {
    if (Trim(lblProjName->Caption()) == kNoProjectShown || !FCurrentProject) {
        Tell("You have to create a new project or open an existing before add tasks!");
        return;
    }
    auto* dialog = new TfrmTask(Application, msgMain);
    DialogGuard<TfrmTask> guard{dialog};
    dialog->SetCaption("Add task");
    if (dialog->ShowModal() != mrOk) return;
    FCurrentProject->AddTask(std::make_unique<TTask>(dialog->chkDone->Checked(), dialog->edtName->Text(),
                                                     dialog->memNotes->Text(), dialog->edtStartDate->Text(),
                                                     dialog->edtEndDate->Text()));
    PlanChanged();
    ShowProject();
}

int TfrmMain::ChosenTaskRow(const char* noTasks, const char* noSelection) {
    if (lvwItems->ItemCount() == 0) {
        Tell(noTasks);
        return -1;
    }
    int row = lvwItems->SelectedIndex();
    if (row < 0) Tell(noSelection);
    return row;
}

void TfrmMain::btnEditClick(TObject*) {
    int row = ChosenTaskRow("There is not tasks to edit!", "Please select a task to edit!");
    if (row < 0) return;
    if (!FCurrentProject || row >= FCurrentProject->Tasks.Count()) return;
    TTask* task = FCurrentProject->Task(row);
    auto* dialog = new TfrmTask(Application, msgMain);
    DialogGuard<TfrmTask> guard{dialog};
    dialog->SetCaption("Edit task");
    dialog->edtName->SetText(task->Description);
    dialog->memNotes->SetText(task->Notes);
    dialog->chkDone->SetChecked(task->Done);
    dialog->edtStartDate->SetMaskedText(task->StartDate);
    dialog->edtEndDate->SetMaskedText(task->EndDate);
    if (dialog->ShowModal() != mrOk) return;
    task->Description = dialog->edtName->Text();
    task->Notes = dialog->memNotes->Text();
    task->Done = dialog->chkDone->Checked();
    task->StartDate = dialog->edtStartDate->Text();
    task->EndDate = dialog->edtEndDate->Text();
    PlanChanged();
    ShowProject();
    lvwItems->SetSelectedIndex(row);
}

void TfrmMain::btnRemoveClick(TObject*) {
    int row = ChosenTaskRow("There is not tasks to remove!", "Please select a task to remove!");
    if (row < 0) return;
    if (Ask("Are you sure do you want remove this taks?") == mrCancel) return;
    if (!FCurrentProject || row >= FCurrentProject->Tasks.Count()) return;
    {
        TRebuildingScope rebuilding(FRebuilding);
        FCurrentProject->DeleteTask(row);
        lvwItems->DeleteItem(row);
    }
    PlanChanged();
    UpdateGauge();
}

// ---- saving ----

void TfrmMain::btnSaveClick(TObject*) {
    CompletePlan();
    if ((FCategoriesUnread || FProjectsUnread || FHoursUnread) && Ask(UnreadFilesQuestion) != mrOk) return;
    const std::string folder = ProgramFolder();
    TBackups backups(folder);
    const int keep = BackupCountSetting();
    const std::string name = BackupSetName(std::time(nullptr));
    // The set this save replaces is kept first; a backup that cannot be
    // written does not hold the save up.
    std::optional<std::string> set;
    std::string backupError;
    if (keep > 0) try {
            set = backups.Keep(name);
        } catch (const std::exception& e) {
            backupError = e.what();
        }
    try {
        SaveAll(*FProjects, *FHours);
    } catch (...) {
        if (set) backups.Remove(*set);
        throw;
    }
    FCategoriesUnread = FProjectsUnread = FHoursUnread = false;
    FRescue.SetDisk(PlanBytes(*FProjects, *FHours));
    // A rescued plan is not deleted but kept with the backups.
    backups.AdoptRescue(name + " rescued");
    if (keep > 0) backups.Prune(keep);
    if (!backupError.empty() && !FBackupFailureShown) {
        FBackupFailureShown = true;
        Tell(BackupFailedMessage(backupError));
    }
}

int TfrmMain::BackupCountSetting() const {
    char value[64];
    GetPrivateProfileStringA("Settings", "BackupCount", "", value, sizeof value,
                             (ProgramFolder() + "dbconfig.dat").c_str());
    return ParseBackupCount(value);
}

std::string TfrmMain::BackupFailedMessage(const std::string& reason) {
    return "Your changes were saved, but the previous plan could not be kept in the Backups folder: " + reason;
}

void TfrmMain::PlanChanged() {
    CompletePlan();
    if (FProjects && FHours) FRescue.SetPlan(PlanBytes(*FProjects, *FHours));
}

bool TfrmMain::RescueUnsavedPlan() {
    TfrmMain* form = g_rescuingForm.load();
    return form && form->FRescue.WriteRescueWithin(form->FRescueFolder, 5000);
}

// ---- calendar ----

void TfrmMain::ShowDayActions() {
    std::string day = CalendarDay();
    std::vector<std::string> keys;
    for (int row = 0; row < 24; ++row) keys.push_back(day + "-" + HourCaption(row + 1));
    // All twenty-four in one pass: this runs every second once the timer
    // is on, and the table grows with every day planned.
    std::vector<int> found = FHours->IndexesOf(keys);
    for (int row = 0; row < 24; ++row)
        lvwToDo->SetItemText(row, 1, found[row] >= 0 ? FHours->Entry(found[row])->Action : std::string());
}

void TfrmMain::btnEditHourClick(TObject*) {
    CompletePlan();
    int row = lvwToDo->SelectedIndex();
    if (row < 0) {
        Tell("Please select a hour to edit!");
        return;
    }
    std::string day = CalendarDay();
    std::string hour = lvwToDo->ItemText(row, 0);
    auto* dialog = new TfrmHour(Application, msgMain);
    {
        DialogGuard<TfrmHour> guard{dialog};
        dialog->vlSkinStdLabel2->SetCaption("Day: " + day);
        dialog->vlSkinStdLabel3->SetCaption("Hour: " + hour);
        dialog->edtName->SetText(lvwToDo->ItemText(row, 1));
        if (dialog->ShowModal() == mrOk) {
            std::string action = dialog->edtName->Text();
            int index = FHours->IndexOf(day + "-" + hour);
            if (index < 0) {
                FHours->AddEntry(std::make_unique<TToDoHour>(day, hour, action));
            } else {
                TToDoHour* entry = FHours->Entry(index);
                entry->Day = day;
                entry->Hour = hour;
                entry->Action = action;
            }
            PlanChanged();
        }
    }
    ShowDayActions();
}

void TfrmMain::vlSkinButton3Click(TObject*) {
    CompletePlan();
    int row = lvwToDo->SelectedIndex();
    if (row < 0) {
        Tell("Please select an action to delete!");
        return;
    }
    int index = FHours->IndexOf(CalendarDay() + "-" + lvwToDo->ItemText(row, 0));
    if (index < 0) return;
    FHours->DeleteEntry(index);
    PlanChanged();
    ShowDayActions();
}
