// Feeds bytes to the three data file readers and checks that what they read
// is written and read back unchanged. An input whose first byte is odd is
// instead taken as texts for a model built in memory: whatever the dialogs'
// checks accept must come back exactly.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/UProjects.h"
#include "tests/native/model/ModelDump.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckRoundTrip(const TProjects& projects, const THours& hours) {
    TRoundTrip back(projects, hours);
    Check(Dump(back.Projects) == Dump(projects));
    Check(Dump(back.Hours) == Dump(hours));
    Check(ProjectsToText(back.Projects) == back.ProjectsText);
}

void ReadFiles(const std::string& bytes) {
    TProjects projects;
    THours hours;
    CategoriesFromText(projects, bytes);
    ProjectsFromText(projects, bytes);
    HoursFromText(hours, bytes);
    // The readers never give a line field a text the writers cannot keep.
    for (int i = 0; i < projects.Count(); ++i) {
        const TProject* p = projects.Project(i);
        Check(ValidateProjectTexts(p->Name, p->Category, p->StartDate, p->EndDate).empty());
    }
    for (int i = 0; i < hours.Count(); ++i) {
        const TToDoHour* h = hours.Entry(i);
        Check(ValidateHourTexts(h->Day, h->Hour, h->Action).empty());
    }
    CheckRoundTrip(projects, hours);
}

// Length-prefixed texts from the input; empty once it is used up.
class TextSource {
public:
    TextSource(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    bool More() const { return FPos < FSize; }
    int Number(int limit) { return More() ? FData[FPos++] % limit : 0; }
    std::string Text() {
        size_t length = static_cast<size_t>(Number(24));
        if (length > FSize - FPos) length = FSize - FPos;
        std::string text(reinterpret_cast<const char*>(FData + FPos), length);
        FPos += length;
        return text;
    }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

void BuildModel(TextSource& source) {
    TProjects projects;
    THours hours;
    TProject* project = nullptr;
    while (source.More()) {
        switch (source.Number(4)) {
            case 0: {
                std::string name = source.Text();
                if (ValidateCategoryName(name).empty()) projects.Categories.Add(name);
                break;
            }
            case 1: {
                std::string name = source.Text(), category = source.Text();
                std::string start = source.Text(), end = source.Text();
                if (!ValidateProjectTexts(name, category, start, end).empty()) break;
                project = new TProject;
                project->Name = name;
                project->Category = category;
                project->StartDate = start;
                project->EndDate = end;
                projects.AddObject(name, project);
                break;
            }
            case 2: {
                bool done = source.Number(2) == 1;
                std::string description = source.Text(), notes = source.Text();
                std::string start = source.Text(), end = source.Text();
                if (project) project->Tasks.AddObject(description, new TTask(done, description, notes, start, end));
                break;
            }
            default: {
                std::string day = source.Text(), hour = source.Text(), action = source.Text();
                if (ValidateHourTexts(day, hour, action).empty())
                    hours.AddObject(day + "-" + hour, new TToDoHour(day, hour, action));
                break;
            }
        }
    }
    CheckRoundTrip(projects, hours);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0) {
        ReadFiles(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    } else {
        TextSource source(data + 1, size - 1);
        BuildModel(source);
    }
    return 0;
}
