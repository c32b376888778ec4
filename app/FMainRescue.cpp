// The plan kept from a failure or from closing without saving: the question
// that offers it at start-up, and loading it in place of the plan's files.
#include <ctime>
#include <optional>

#include "app/FMain.h"
#include "core/FileIO.h"

std::string TfrmMain::RescueQuestion(const std::string& when) {
    return "Plandesk did not close normally. Your unsaved changes of " + when + " were kept. Load them now?";
}

std::string TfrmMain::ClosedRescueQuestion(const std::string& when) {
    return "Plandesk was closed without saving on " + when + ". Your unsaved changes were kept. Load them now?";
}

namespace {

// Local date and time of a file time in seconds since 1970, as the user's
// settings write them.
std::string LocalDateTime(int64_t seconds) {
    const uint64_t ticks = static_cast<uint64_t>(seconds + 11644473600ll) * 10000000ull;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)}, local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return "";
    char date[80] = "", time[80] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

}  // namespace

// What the files would hold for the plan as read: a failure with no change
// since writes no rescue. Writing a large plan out takes long, so it waits
// for the first change, from the texts the plan was read from.
void TfrmMain::KeepReadPlanForRescue(TPlanBytes texts) {
    if (FCategoriesUnread || FProjectsUnread || FHoursUnread) {
        TPlanBytes read = PlanBytes(*FProjects, *FHours);
        FRescue.SetDisk(read);
        FRescue.SetPlan(std::move(read));
        return;
    }
    FRescue.SetDiskLater([texts = std::move(texts)] { return PlanBytesOfTexts(texts); });
}

void TfrmMain::OfferRescue() {
    const std::string folder = ProgramFolder();
    const std::optional<int64_t> when = PendingRescue(folder);
    if (!when) return;
    const bool closed = RescueWasClosed(folder);
    if (Ask(closed ? ClosedRescueQuestion(LocalDateTime(*when)) : RescueQuestion(LocalDateTime(*when))) != mrOk) {
        // Not asked again, and nothing lost: the set joins the backups.
        if (closed) TBackups(folder).AdoptRescue(BackupSetName(static_cast<std::time_t>(*when)) + " unsaved");
        return;
    }
    TPlanBytes rescued = ReadRescue(folder);
    auto projects = std::make_unique<TProjects>();
    auto hours = std::make_unique<THours>();
    CategoriesFromText(*projects, rescued.Categories);
    ProjectsFromText(*projects, rescued.Projects);
    HoursFromText(*hours, rescued.Hours);
    {
        TRebuildingScope rebuilding(FRebuilding);
        FCurrentProject = nullptr;
        FProjects = std::move(projects);
        FHours = std::move(hours);
    }
    // The files were not read in: a save replaces them with the rescued plan.
    FCategoriesUnread = FProjectsUnread = FHoursUnread = false;
    PlanChanged();
}
