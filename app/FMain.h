#pragma once
// The planner's main window: the category and project tree, the task list
// with its progress header, the calendar with its hourly actions, and the
// buttons that create, edit, remove and save.
#include <memory>
#include <string>
#include <unordered_map>

#include "media/GIFCtrl.h"
#include "model/PlanSafety.h"
#include "model/UProjects.h"
#include "skin/controls/vlSkinCtrls.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/Lacquer.h"
#include "skin/form/vlMessages.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinTabs.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TPlanLoad;

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* owner);
    ~TfrmMain() override;

    // Components, by their designer names.
    TvlSkinPanel* vlSkinPanel1 = nullptr;  // top bar
    TvlSkinButton* btn1 = nullptr;
    TvlSkinButton* btnSave = nullptr;
    TvlSkinButton* btnMakeMoney = nullptr;
    TvlSkinPanel* panBanner = nullptr;
    TImage* imgBanner = nullptr;
    TGIFAnimator* gifBanner = nullptr;
    TvlSkinPanel* vlSkinPanel2 = nullptr;  // header
    TvlSkinBevel* vlSkinBevel1 = nullptr;
    TvlSkinStdLabel* lblProjName = nullptr;
    TvlSkinStdLabel* lblProgress = nullptr;
    TvlSkinStdLabel* lblStartDate = nullptr;
    TvlSkinStdLabel* lblEndDate = nullptr;
    TvlSkinGauge* MainGauge = nullptr;
    TvlSkinPanel* panLinks = nullptr;
    TvlSkinLinkLabel* lblLink1URL = nullptr;
    TvlSkinLinkLabel* lblLink2URL = nullptr;
    TvlSkinGroupBox* vlSkinGroupBox1 = nullptr;
    TvlSkinTreeView* tvwMain = nullptr;
    TvlSkinScrollBar* vlSkinScrollBar1 = nullptr;  // tree, horizontal
    TvlSkinScrollBar* vlSkinScrollBar2 = nullptr;  // tree, vertical
    TvlSkinSplitter* vlSkinSplitter1 = nullptr;
    TvlSkinPageControl* pgcMain = nullptr;
    TvlSkinTabSheet* tabTasks = nullptr;
    TvlSkinTabSheet* tabCalendar = nullptr;
    TvlSkinPanel* vlSkinPanel3 = nullptr;
    TvlSkinListView* lvwItems = nullptr;
    TvlSkinScrollBar* vlSkinScrollBar3 = nullptr;  // task list, horizontal
    TvlSkinScrollBar* vlSkinScrollBar4 = nullptr;  // task list, vertical
    TvlSkinButton* btnAdd = nullptr;
    TvlSkinButton* btnEdit = nullptr;
    TvlSkinButton* btnRemove = nullptr;
    TvlSkinMonthCalendar* vlSkinMonthCalendar1 = nullptr;
    TvlSkinPanel* vlSkinPanel4 = nullptr;
    TvlSkinListView* lvwToDo = nullptr;
    TvlSkinScrollBar* vlSkinScrollBar5 = nullptr;  // hour list, horizontal
    TvlSkinScrollBar* vlSkinScrollBar6 = nullptr;  // hour list, vertical
    TvlSkinButton* btnEditHour = nullptr;
    TvlSkinButton* vlSkinButton3 = nullptr;
    TvlSkinPopupMenu* vlSkinPopupMenu1 = nullptr;
    TMenuItem* NewCategory1 = nullptr;
    TMenuItem* AddProject1 = nullptr;
    TMenuItem* Rename1 = nullptr;
    TMenuItem* Delete1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TvlSkinMessage* msgMain = nullptr;
    TTimer* Timer1 = nullptr;

    // Event handlers.
    void FormCreate(TObject* sender);
    void FormResize(TObject* sender);
    void FormShow(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormDestroy(TObject* sender);
    void btn1Click(TObject* sender);
    void AddProject1Click(TObject* sender) { btn1Click(sender); }
    void btnSaveClick(TObject* sender);
    void btnMakeMoneyClick(TObject* sender);
    void imgBannerClick(TObject* sender);
    void gifBannerClick(TObject* sender);
    void tvwMainChange(TObject* sender, TTreeNode* node);
    void tvwMainKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    void NewCategory1Click(TObject* sender);
    void Rename1Click(TObject* sender);
    void Delete1Click(TObject* sender);
    void lvwItemsChange(TObject* sender, int item, TItemChange change);
    void lvwItemsDblClick(TObject* sender) { btnEditClick(sender); }
    void lvwItemsKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    void btnAddClick(TObject* sender);
    void btnEditClick(TObject* sender);
    void btnRemoveClick(TObject* sender);
    void btnEditHourClick(TObject* sender);
    void vlSkinButton3Click(TObject* sender);
    void lvwToDoDblClick(TObject* sender) { btnEditHourClick(sender); }
    void vlSkinMonthCalendar1NumberClick(TObject* sender) { ShowDayActions(); }
    void vlSkinMonthCalendar1MouseEnter(TObject* sender) { Timer1->SetEnabled(true); }
    void vlSkinMonthCalendar1MouseLeave(TObject* sender) { Timer1->SetEnabled(true); }
    void Timer1Timer(TObject* sender) { ShowDayActions(); }

    // The window's skin: the built-in "Modern" skin, kept as the stored skin
    // component and loaded while the window is created.
    TvlCompressedStoredSkin vlCompressedStoredSkin1;
    TvlSkinData* vlSkinData1 = nullptr;
    // The window's skinned frame.
    TvlLacquer* vlLacquer1 = nullptr;

    // State, readable by tests.
    TProject* CurrentProject() const { return FCurrentProject; }
    // The whole plan: waits for the tasks still being read.
    TProjects* Projects() {
        CompletePlan();
        return FProjects.get();
    }
    THours* Hours() const { return FHours.get(); }
    // Whether the tasks read after the first paint have been taken over.
    bool PlanComplete() const { return !FPlanLoad; }

    // Branding as read from dbconfig.dat, for tests.
    const std::string& AffiliateID() const { return FAffiliateID; }
    const std::string& BannerURL() const { return FBannerURL; }
    const std::string& BannerPath() const { return FBannerPath; }
    const std::string& IconPath() const { return FIconPath; }
    HICON BrandIcon() const { return FBrandIcons.Big; }
    // The maker's site; "Make Money" appends the affiliate identifier.
    static constexpr const char* MakerSiteURL = "https://plandesk.example.com/";

    // The caption of hour row n (1 to 24).
    static std::string HourCaption(int n);
    // The calendar's date in the short date format.
    std::string CalendarDay() const;

private:
    void BuildLayout();
    void LoadBranding();
    // Shows the stored banner picture `storedPath` in the control its
    // configured name (FBannerPath) calls for; hides the strip on failure.
    void ShowBanner(const std::string& storedPath);
    // Loads the replacement skin dbskin.dat into vlSkinData1 when it reads.
    void LoadReplacementSkin(const std::string& path);
    void LoadBrandIcon(const std::string& path);
    void ShowProject();
    // Takes the tasks over from the reading thread, waiting for them when
    // they are not in yet; then keeps the texts as read for the rescue.
    // Everything that changes the plan, or reads tasks, calls it first.
    void CompletePlan();
    void WndProc(TMessage& m) override;
    // Posted by the reading thread when the tasks are in.
    static constexpr UINT TM_PLANREAD = WM_APP + 0x3E30;
    // After every change of the plan: its bytes for a rescue.
    void PlanChanged();
    // At start: loads a rescued plan newer than the files when the user wants
    // it; a plan kept on closing that the user does not want goes to the
    // backups.
    void OfferRescue();
    // At start: what the rescue compares the plan with, from the files'
    // texts as read.
    void KeepReadPlanForRescue(TPlanBytes texts);
    // BackupCount of dbconfig.dat.
    int BackupCountSetting() const;
    void ClearProjectView();
    // Rebuilds the tree; selects the node of `selectProject`, or else the
    // first project node named `selectName`.
    void FillTree(const std::string& selectName, TProject* selectProject = nullptr);
    void ShowDayActions();
    void UpdateGauge();
    void CenterBanner();
    void ChangeScale(int fromDpi, int toDpi) override;
    static constexpr int kTabHeight = 20;  // the sheets' tabs, at 96 DPI
    // The task list and the action list end above their sheets' buttons.
    void FitSheetsAboveButtons();
    int Ask(const std::string& text);
    void Tell(const std::string& text);
    // The selected row of the task list, or -1 after telling the user that
    // the list is empty or that no row is selected.
    int ChosenTaskRow(const char* noTasks, const char* noSelection);
    // Runs one start-up step; a failure is reported and the next steps run.
    template <class Step>
    bool StartupStep(Step step);
    TProject* SelectedProject() const;
    int SelectedCategoryIndex() const;

    TProject* FCurrentProject = nullptr;
    std::unique_ptr<TProjects> FProjects;
    std::unique_ptr<THours> FHours;
    // The data files read and parsed while the window is built and shown
    // (FormCreate takes the projects, CompletePlan their tasks).
    std::unique_ptr<TPlanLoad> FPlanLoad;
    // Set while the tree and lists are emptied, filled or destroyed, so that
    // the change notices they raise meanwhile have no effect; for good from
    // FormCloseQuery on.
    bool FRebuilding = false;
    // Sets the flag for a scope and puts back what it was, also on an exception.
    struct TRebuildingScope {
        explicit TRebuildingScope(bool& flag) : Flag(flag), Was(flag) { flag = true; }
        ~TRebuildingScope() { Flag = Was; }
        TRebuildingScope(const TRebuildingScope&) = delete;
        TRebuildingScope& operator=(const TRebuildingScope&) = delete;
        bool& Flag;
        bool Was;
    };
    // Data files that could not be read: saving over them needs a yes.
    bool FCategoriesUnread = false, FProjectsUnread = false, FHoursUnread = false;
    // The plan's bytes as they would be saved, for the crash reporter's rescue.
    TRescueKeeper FRescue;
    std::string FRescueFolder;
    bool FBackupFailureShown = false;
    std::unordered_map<TTreeNode*, TProject*> FNodeProjects;
    std::string FAffiliateID, FBannerURL, FBannerPath, FLink1URL, FLink1Name, FLink2URL, FLink2Name, FIconPath;
    struct TBrandIcons {  // the window's icons from IconPath, owned
        HICON Big = nullptr, Small = nullptr;
        ~TBrandIcons();
    } FBrandIcons;

public:
    // Called by the crash reporter before its dialog: writes the plan into
    // "Rescue" when it has unsaved changes, giving up after 5 seconds.
    static bool RescueUnsavedPlan();
    static std::string RescueQuestion(const std::string& when);
    static std::string ClosedRescueQuestion(const std::string& when);
    static std::string BackupFailedMessage(const std::string& reason);
    static constexpr const char* UnreadFilesQuestion =
        "Some data files could not be read at start-up. Saving now replaces them with what the planner holds. "
        "Save anyway?";
};

extern TfrmMain* frmMain;
