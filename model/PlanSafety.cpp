#include "model/PlanSafety.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/TimeParts.h"
#include "model/UProjects.h"

namespace {

const char* const FileNames[] = {CategoriesFileName, ProjectsFileName, HoursFileName};

// Paths keep the separator the program folder ends with.
std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + '/' + name;
}
std::string Separator(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? "\\" : "/";
}

std::string RescueFolder(const std::string& programFolder) {
    return Join(programFolder, RescueFolderName) + Separator(programFolder);
}

const std::string* Part(const TPlanBytes& bytes, int i) {
    return i == 0 ? &bytes.Categories : i == 1 ? &bytes.Projects : &bytes.Hours;
}
std::string* Part(TPlanBytes& bytes, int i) { return const_cast<std::string*>(Part(std::as_const(bytes), i)); }

// "YYYY-MM-DD HH-MM-SS" at the start of a folder name: a kept set; any other
// folder in "Backups" is left alone.
bool IsSetName(const std::string& name) {
    static const char shape[] = "0000-00-00 00-00-00";
    if (name.size() < sizeof shape - 1) return false;
    for (size_t i = 0; i + 1 < sizeof shape; ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (shape[i] == '0' ? !digit : name[i] != shape[i]) return false;
    }
    return true;
}

// Writes the three files into `folder` all together, or none of them.
void WriteSet(const std::string& folder, const TPlanBytes& bytes, const bool present[3]) {
    std::string error;
    if (!platform::MakeFolder(folder, error)) throw EFCreateError(folder, error);
    TFileSetWriter writer;
    for (int i = 0; i < 3; ++i)
        if (present[i]) writer.Add(Join(folder, FileNames[i]), *Part(bytes, i));
    writer.Commit();
}

void RemoveSetFolder(const std::string& folder) {
    for (const char* name : FileNames) platform::RemoveFile(Join(folder, name));
    platform::RemoveFile(Join(folder, ClosedMarkerName));
    platform::RemoveFolder(folder);
}

std::optional<int64_t> NewestWriteTime(const std::string& folder, bool resolve) {
    std::optional<int64_t> newest;
    for (const char* name : FileNames) {
        const std::string path = resolve ? ResolveFileName(folder, name) : Join(folder, name);
        if (auto t = platform::FileWriteTime(path)) newest = std::max(newest.value_or(*t), *t);
    }
    return newest;
}

}  // namespace

TPlanBytes PlanBytes(const TProjects& projects, const THours& hours) {
    return {CategoriesToText(projects), ProjectsToText(projects), HoursToText(hours)};
}

TPlanBytes PlanBytesOfTexts(const TPlanBytes& texts) {
    TProjects projects;
    THours hours;
    CategoriesFromText(projects, texts.Categories);
    ProjectsFromText(projects, texts.Projects);
    HoursFromText(hours, texts.Hours);
    return PlanBytes(projects, hours);
}

TPlanBytes DataFileBytes(const std::string& folder) {
    TPlanBytes bytes;
    for (int i = 0; i < 3; ++i)
        if (auto text = ReadFileIfExists(ResolveFileName(folder, FileNames[i]))) *Part(bytes, i) = std::move(*text);
    return bytes;
}

int ParseBackupCount(const std::string& value) {
    const size_t first = value.find_first_not_of(" \t"), last = value.find_last_not_of(" \t");
    if (first == std::string::npos) return DefaultBackupCount;
    const std::string digits = value.substr(first, last - first + 1);
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return DefaultBackupCount;
    return std::stoi(digits);
}

std::string BackupSetName(std::time_t when) {
    const std::tm local = CalendarParts(when, TClock::Local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H-%M-%S", &local);
    return text;
}

// ---- backups ----

TBackups::TBackups(std::string programFolder) : FProgramFolder(std::move(programFolder)) {}

std::string TBackups::Folder() const { return Join(FProgramFolder, BackupsFolderName); }

std::optional<std::string> TBackups::Keep(const std::string& name) {
    TPlanBytes bytes;
    bool present[3] = {};
    bool any = false;
    for (int i = 0; i < 3; ++i)
        if (auto text = ReadFileIfExists(ResolveFileName(FProgramFolder, FileNames[i]))) {
            *Part(bytes, i) = std::move(*text);
            present[i] = any = true;
        }
    if (!any) return std::nullopt;
    std::string error;
    if (!platform::MakeFolder(Folder(), error)) throw EFCreateError(Folder(), error);
    const std::string set = Join(Folder(), FreeName(name)) + Separator(FProgramFolder);
    try {
        WriteSet(set, bytes, present);
    } catch (...) {
        RemoveSetFolder(set);
        throw;
    }
    return set;
}

std::string TBackups::FreeName(const std::string& name) const {
    std::string free = name;
    for (int n = 2; platform::FileWriteTime(Join(Folder(), free)); ++n) free = name + " (" + std::to_string(n) + ")";
    return free;
}

void TBackups::Remove(const std::string& setFolder) { RemoveSetFolder(setFolder); }

std::vector<std::string> TBackups::Sets() const {
    std::vector<std::string> sets;
    for (std::string& name : platform::ListSubfolders(Folder()))
        if (IsSetName(name)) sets.push_back(std::move(name));
    std::sort(sets.begin(), sets.end());
    return sets;
}

void TBackups::Prune(int count) {
    std::vector<std::string> sets = Sets();
    for (size_t i = 0; i + static_cast<size_t>(std::max(count, 0)) < sets.size(); ++i)
        RemoveSetFolder(Join(Folder(), sets[i]) + Separator(FProgramFolder));
}

bool TBackups::AdoptRescue(const std::string& name) {
    if (!NewestWriteTime(RescueFolder(FProgramFolder), false)) return false;
    std::string error;
    if (!platform::MakeFolder(Folder(), error)) return false;
    const std::string set = Join(Folder(), FreeName(name));
    return platform::MoveFolder(Join(FProgramFolder, RescueFolderName), set, error);
}

// ---- rescue ----

std::optional<int64_t> PendingRescue(const std::string& programFolder) {
    const std::string rescue = RescueFolder(programFolder);
    // A rescue always writes all three files: fewer is not a plan to offer.
    for (const char* name : FileNames)
        if (!platform::FileWriteTime(Join(rescue, name))) return std::nullopt;
    const auto rescued = NewestWriteTime(rescue, false);
    if (!rescued) return std::nullopt;
    const auto saved = NewestWriteTime(programFolder, true);
    // Written in the second of a save still counts: a rescue is only ever
    // written after the changes it keeps.
    if (saved && *saved > *rescued) return std::nullopt;
    return rescued;
}

bool RescueWasClosed(const std::string& programFolder) {
    return platform::FileWriteTime(Join(RescueFolder(programFolder), ClosedMarkerName)).has_value();
}

TPlanBytes ReadRescue(const std::string& programFolder) { return DataFileBytes(RescueFolder(programFolder)); }

TRescueKeeper::~TRescueKeeper() {
    // A rescue still writing (given up after its time-out) may read them.
    if (FReaders->load() != 0) {
        for (auto& retired : FRetired) retired.release();
        return;
    }
    delete FCurrent.load();
}

void TRescueKeeper::SetDisk(TPlanBytes disk) {
    FDiskLater = nullptr;
    FDisk = std::move(disk);
    if (TSnapshot* current = FCurrent.load()) current->Differs.store(current->Plan != FDisk);
}

void TRescueKeeper::SetDiskLater(std::function<TPlanBytes()> disk) {
    // The plan in memory is the one on disk: nothing to rescue until it changes.
    FDisk = {};
    FDiskLater = std::move(disk);
    if (TSnapshot* current = FCurrent.load()) current->Differs.store(false);
}

void TRescueKeeper::SetPlan(TPlanBytes plan) {
    if (FDiskLater) {
        FDisk = FDiskLater();
        FDiskLater = nullptr;
    }
    auto next = std::make_unique<TSnapshot>();
    next->Differs.store(plan != FDisk);
    next->Plan = std::move(plan);
    TSnapshot* old = FCurrent.exchange(next.release());
    // A reader that took the old snapshot was counted in before taking it;
    // without readers no retired snapshot is in use either.
    if (FReaders->load() != 0) {
        FRetired.emplace_back(old);
    } else {
        delete old;
        FRetired.clear();
    }
}

bool TRescueKeeper::HasUnsavedChanges() const {
    const TSnapshot* current = FCurrent.load();
    return current && current->Differs.load();
}

const TRescueKeeper::TSnapshot* TRescueKeeper::StartReading() {
    FReaders->fetch_add(1);
    const TSnapshot* current = FCurrent.load();
    if (current && current->Differs.load()) return current;
    FReaders->fetch_sub(1);
    return nullptr;
}

namespace {

bool WriteRescueSet(const std::string& programFolder, const TPlanBytes& plan, TRescueReason reason) {
    const std::string folder = RescueFolder(programFolder);
    // A rescue from an earlier failure that was never loaded nor saved
    // over goes to the backups rather than being overwritten.
    TBackups(programFolder).AdoptRescue(BackupSetName(std::time(nullptr)) + " rescued");
    // An earlier set still there (it could not be moved) gets its old
    // contents back on a failed write and stays; anything else goes.
    const bool earlier = NewestWriteTime(folder, false).has_value();
    try {
        std::string error;
        if (!platform::MakeFolder(folder, error)) throw EFCreateError(folder, error);
        TFileSetWriter writer;
        for (int i = 0; i < 3; ++i) writer.Add(Join(folder, FileNames[i]), *Part(plan, i));
        if (reason == TRescueReason::Closed) writer.Add(Join(folder, ClosedMarkerName), "");
        writer.Commit();
    } catch (const std::exception&) {
        if (!earlier) RemoveSetFolder(folder);
        return false;
    }
    if (reason == TRescueReason::Failure) platform::RemoveFile(Join(folder, ClosedMarkerName));
    return true;
}

}  // namespace

bool TRescueKeeper::WriteRescue(const std::string& programFolder, TRescueReason reason) {
    const TSnapshot* snapshot = StartReading();
    if (!snapshot) return false;
    const bool written = WriteRescueSet(programFolder, snapshot->Plan, reason);
    FReaders->fetch_sub(1);
    return written;
}

bool TRescueKeeper::WriteRescueWithin(const std::string& programFolder, unsigned timeoutMs) {
    const TSnapshot* snapshot = StartReading();
    if (!snapshot) return false;
    struct TState {
        std::atomic<int> Result{-1};  // -1 while writing
        std::string Folder;
    };
    std::shared_ptr<TState> state;
    try {
        state = std::make_shared<TState>();
        state->Folder = programFolder;
        std::thread([state, snapshot, readers = FReaders] {
            state->Result.store(WriteRescueSet(state->Folder, snapshot->Plan, TRescueReason::Failure) ? 1 : 0);
            readers->fetch_sub(1);
        }).detach();
    } catch (const std::exception&) {
        FReaders->fetch_sub(1);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (state->Result.load() < 0) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return state->Result.load() == 1;
}
