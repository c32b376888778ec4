#pragma once
// Keeping plans beyond the all-or-nothing save: the set of data files a save
// replaces is kept in "Backups" beside the program, and a plan with unsaved
// changes is written to "Rescue" when the program fails or is closed without
// saving, to be offered at the next start.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TProjects;
class THours;

inline constexpr const char* BackupsFolderName = "Backups";
inline constexpr const char* RescueFolderName = "Rescue";
inline constexpr int DefaultBackupCount = 10;
// Beside the three files of a rescued set written when the program was closed
// rather than when it failed: the question at the next start says which.
inline constexpr const char* ClosedMarkerName = "closed";

// Why a plan was rescued.
enum class TRescueReason { Failure, Closed };

// The bytes the three data files have for a plan.
struct TPlanBytes {
    std::string Categories, Projects, Hours;
    bool operator==(const TPlanBytes&) const = default;
};
TPlanBytes PlanBytes(const TProjects& projects, const THours& hours);
// The bytes this program writes for the plan that `texts` hold.
TPlanBytes PlanBytesOfTexts(const TPlanBytes& texts);
// What the data files in `folder` hold now (a missing file holds nothing).
// A file that cannot be read raises EFOpenError.
TPlanBytes DataFileBytes(const std::string& folder);

// The BackupCount setting: a whole number, blanks around it allowed. A
// missing, negative or otherwise malformed value gives DefaultBackupCount.
int ParseBackupCount(const std::string& value);

// "2026-12-09 17-05-42": a set's name from its local time; the names of
// sets sort as their times.
std::string BackupSetName(std::time_t when);

// The kept sets in "Backups" of a program folder (with its trailing
// separator).
class TBackups {
public:
    explicit TBackups(std::string programFolder);

    // Copies the data files as they are now into a new set named `name` (a
    // number is added when a set of that name exists). Answers the set's
    // folder, or nothing when there is no data file to keep. A set that
    // cannot be written completely is removed again and EFCreateError is
    // raised.
    std::optional<std::string> Keep(const std::string& name);
    // Removes a set: its three files and its folder.
    void Remove(const std::string& setFolder);
    // Keeps the newest `count` sets and removes the older ones.
    void Prune(int count);
    // The sets' names, oldest first.
    std::vector<std::string> Sets() const;
    // Moves the rescued set into a set named `name` (a number is added when
    // a set of that name exists); false when there is none or it could not
    // be moved (it then stays where it is).
    bool AdoptRescue(const std::string& name);

private:
    std::string Folder() const;
    // `name`, or with a number added when a set of that name exists.
    std::string FreeName(const std::string& name) const;
    std::string FProgramFolder;
};

// A complete rescued set (all three files) newer than the data files: when it
// was written (seconds since 1970, UTC), or nothing.
std::optional<int64_t> PendingRescue(const std::string& programFolder);
// Whether the rescued set was written when the program was closed.
bool RescueWasClosed(const std::string& programFolder);
// The rescued set's bytes. Raises EFOpenError when a file cannot be read.
TPlanBytes ReadRescue(const std::string& programFolder);

// The plan's bytes for the rescue, kept current by the user-interface thread
// after each change and read, without locks, by whatever thread reports a
// failure: that thread may run while the user-interface thread is frozen,
// crashed or still changing the plan.
class TRescueKeeper {
public:
    TRescueKeeper() = default;
    TRescueKeeper(const TRescueKeeper&) = delete;
    TRescueKeeper& operator=(const TRescueKeeper&) = delete;
    ~TRescueKeeper();

    // User-interface thread. The files on disk hold `disk` (after loading or
    // saving); the plan in memory is `plan`.
    void SetDisk(TPlanBytes disk);
    // The files hold the plan in memory now; their bytes are worked out by
    // `disk` at the next SetPlan, so that a plan only read is never
    // serialised.
    void SetDiskLater(std::function<TPlanBytes()> disk);
    void SetPlan(TPlanBytes plan);
    bool HasUnsavedChanges() const;

    // Any thread: writes the plan into "Rescue" of `programFolder` when it
    // differs from the files on disk. False when there was nothing to write
    // or the write failed; a failed write leaves no "Rescue" folder that was
    // not there before.
    bool WriteRescue(const std::string& programFolder, TRescueReason reason = TRescueReason::Failure);
    // The same on a thread of its own, given up after `timeoutMs`: the
    // failing thread may hold a lock the write needs, and a report must
    // never hang on the rescue.
    bool WriteRescueWithin(const std::string& programFolder, unsigned timeoutMs);

private:
    struct TSnapshot {
        TPlanBytes Plan;
        std::atomic<bool> Differs{false};
    };
    // Counts a reader in and answers the snapshot to write, or null (and
    // the reader is counted out again).
    const TSnapshot* StartReading();

    TPlanBytes FDisk;
    std::function<TPlanBytes()> FDiskLater;
    std::atomic<TSnapshot*> FCurrent{nullptr};
    // Rescues reading a snapshot now. While there are any, replaced
    // snapshots are kept, so a reader never meets freed memory; a rescue
    // given up after its time-out may outlive the keeper, hence shared.
    std::shared_ptr<std::atomic<int>> FReaders = std::make_shared<std::atomic<int>>(0);
    std::vector<std::unique_ptr<TSnapshot>> FRetired;
};
