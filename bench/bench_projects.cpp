// Loading and saving a project file of 100,000 tasks in 1,000 projects,
// against reading the same bytes and splitting them into lines. Each
// benchmark times its operation and the baseline alternately in the same
// iterations and reports the ratio (targets: load 3, save 2).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "core/FileIO.h"
#include "core/StringList.h"
#include "model/PlanSafety.h"
#include "model/UProjects.h"

namespace {

void FillSample(TProjects& projects) {
    for (int i = 0; i < 1000; ++i) {
        auto* p = new TProject;
        p->Name = "Project " + std::to_string(i);
        p->Category = i % 2 ? "Work" : "Home";
        p->StartDate = "12/01/2007";
        p->EndDate = i % 3 ? "12/31/2007" : "";
        for (int t = 0; t < 100; ++t) {
            std::string description = "Task " + std::to_string(t) + " of project " + std::to_string(i) + ": follow up";
            std::string notes = t % 4 ? "Call the supplier, then write the summary for " + std::to_string(t) : "";
            const char* date = t % 5 ? "12/13/2007" : "  /  /    ";
            p->Tasks.AddObject(description, new TTask(t % 3 == 0, description, notes, date, date));
        }
        projects.AddObject(p->Name, p);
    }
}

template <class F>
double Seconds(F&& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const std::string& SampleText() {
    static const std::string text = [] {
        TProjects projects;
        FillSample(projects);
        return ProjectsToText(projects);
    }();
    return text;
}

void SplitBaseline(const std::string& text) {
    std::vector<std::string> lines = SplitLines(text);
    benchmark::DoNotOptimize(lines.data());
}

void BM_LoadFromText(benchmark::State& state) {
    const std::string& text = SampleText();
    double baseline = 0, load = 0;
    for (auto _ : state) {
        baseline += Seconds([&] { SplitBaseline(text); });
        load += Seconds([&] {
            TProjects projects;
            ProjectsFromText(projects, text);
            benchmark::DoNotOptimize(projects.Count());
        });
    }
    state.counters["x_split_lines"] = load / baseline;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_SaveToText(benchmark::State& state) {
    const std::string& text = SampleText();
    TProjects projects;
    FillSample(projects);
    double baseline = 0, save = 0;
    for (auto _ : state) {
        baseline += Seconds([&] { SplitBaseline(text); });
        save += Seconds([&] {
            std::string written = ProjectsToText(projects);
            benchmark::DoNotOptimize(written.data());
        });
    }
    state.counters["x_split_lines"] = save / baseline;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The same with the files: the baseline reads the file and splits it.
class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/plandesk-bench-XXXXXX";
        FPath = mkdtemp(name);
        SetProgramFolderOverride(FPath);
    }
    ~TempFolder() {
        SetProgramFolderOverride("");
        std::filesystem::remove_all(FPath);
    }
    std::string File(const char* name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

// Times `step` on the sample plan saved in a fresh folder, against reading
// and splitting the saved projects file.
template <class Step>
void AgainstReadSplit(benchmark::State& state, Step step) {
    TempFolder folder;
    TProjects sample;
    FillSample(sample);
    sample.SaveProjects();
    std::string path = folder.File("Projects.dat");
    double baseline = 0, measured = 0;
    for (auto _ : state) {
        baseline += Seconds([&] { SplitBaseline(*ReadFileIfExists(path)); });
        measured += Seconds([&] { step(sample); });
    }
    state.counters["x_read_split"] = measured / baseline;
}

void BM_LoadFile(benchmark::State& state) {
    AgainstReadSplit(state, [](TProjects&) {
        TProjects projects;
        projects.LoadProjects();
        benchmark::DoNotOptimize(projects.Count());
    });
}

void BM_SaveFile(benchmark::State& state) {
    AgainstReadSplit(state, [](TProjects& projects) { projects.SaveProjects(); });
}

// What keeping the plan ready for a rescue costs after each change: the
// plan's bytes made and compared with the disk's, against the bytes of the
// projects file alone (what a save makes anyway).
void BM_RescueKeepPerChange(benchmark::State& state) {
    TProjects projects;
    FillSample(projects);
    THours hours;
    TRescueKeeper keeper;
    keeper.SetDisk(PlanBytes(projects, hours));
    double baseline = 0, keep = 0;
    int n = 0;
    for (auto _ : state) {
        projects.Project(0)->Task(0)->Done = ++n % 2;  // a change, as a ticked task
        baseline += Seconds([&] {
            std::string written = ProjectsToText(projects);
            benchmark::DoNotOptimize(written.data());
        });
        keep += Seconds([&] { keeper.SetPlan(PlanBytes(projects, hours)); });
    }
    state.counters["x_projects_text"] = keep / baseline;
    state.counters["ms_per_change"] = keep * 1000 / static_cast<double>(state.iterations());
}

// Writing the rescue set of the 100,000-task plan (all three files, forced to
// the disk), against writing the projects file with a save.
void BM_RescueWrite(benchmark::State& state) {
    TempFolder folder;
    TProjects projects;
    FillSample(projects);
    THours hours;
    TRescueKeeper keeper;
    keeper.SetDisk({});
    keeper.SetPlan(PlanBytes(projects, hours));
    const std::string programFolder = folder.File("");
    double baseline = 0, rescue = 0;
    for (auto _ : state) {
        baseline += Seconds([&] { projects.SaveProjects(); });
        rescue += Seconds([&] {
            if (!keeper.WriteRescueWithin(programFolder, 5000)) state.SkipWithError("rescue not written");
        });
        std::filesystem::remove_all(programFolder + "Backups");
    }
    state.counters["x_save_projects"] = rescue / baseline;
    state.counters["ms_per_rescue"] = rescue * 1000 / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_RescueKeepPerChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RescueWrite)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LoadFromText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);
