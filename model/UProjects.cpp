#include "model/UProjects.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/FileIO.h"
#include "model/UUtils.h"

namespace {

// On a case-sensitive file system a file written on Windows may carry other
// letter case; reading and writing resolve the same name, so only one
// projects file ever exists and what is saved is what is read next time.
const char* const CategoriesFile = CategoriesFileName;
const char* const ProjectsFile = ProjectsFileName;
const char* const HoursFile = HoursFileName;

std::string DataPath(const char* name) { return ResolveFileName(ProgramFolder(), name); }

std::optional<std::string> ReadDataFile(const char* name) { return ReadFileIfExists(DataPath(name)); }

void WriteDataFile(const char* name, const std::string& bytes) {
    TFileSetWriter writer;
    writer.Add(DataPath(name), bytes);
    writer.Commit();
}

// Task texts are quoted fields in which "^^" stands for "^". On top of
// that, "^" is the escape of the texts themselves: "^" is kept as "^^", and
// the bytes that would end the line as "^r" (CR), "^n" (LF), "^0" (NUL). A
// text without these bytes is written unchanged, and a file written this way
// still gives the old reader whole lines.
// The separator and the bytes that end a line or the text.
bool IsSpecial(char c) { return c == '^' || c == '\r' || c == '\n' || c == '\0'; }

size_t FindSpecial(const std::string& text, size_t start) {
    for (size_t i = start; i < text.size(); ++i)
        if (IsSpecial(text[i])) return i;
    return std::string::npos;
}

// A header's or an hourly action's line: each field followed by '^'.
void AppendFieldsLine(std::string& out, std::initializer_list<std::string_view> fields) {
    for (std::string_view field : fields) {
        out += field;
        out += '^';
    }
    out += "\r\n";
}

void AppendTaskField(std::string& out, const std::string& text) {
    size_t start = 0;
    for (;;) {
        size_t i = FindSpecial(text, start);
        if (i == std::string::npos) {
            out.append(text, start, std::string::npos);
            return;
        }
        out.append(text, start, i - start);
        switch (text[i]) {
            case '^': out += "^^^^"; break;
            case '\r': out += "^^r"; break;
            case '\n': out += "^^n"; break;
            default: out += "^^0"; break;
        }
        start = i + 1;
    }
}

// A "^" that starts no known escape stays as it is, so that files of older
// versions, which wrote "^^" for a "^" in a description, read as they did.
std::string DecodeTaskField(const std::string& field) {
    size_t i = field.find('^');
    if (i == std::string::npos) return field;
    std::string text(field, 0, i);
    for (; i < field.size(); ++i) {
        char c = field[i];
        if (c == '^' && i + 1 < field.size()) {
            switch (field[i + 1]) {
                case '^':
                    c = '^';
                    ++i;
                    break;
                case 'r':
                    c = '\r';
                    ++i;
                    break;
                case 'n':
                    c = '\n';
                    ++i;
                    break;
                case '0':
                    c = '\0';
                    ++i;
                    break;
                default: break;
            }
        }
        text += c;
    }
    return text;
}

bool IsHeaderLine(std::string_view trimmed) { return trimmed.starts_with("Header^"); }

std::string Refusal(const char* what, const std::string& text) {
    for (char c : text) {
        if (c == '^') return std::string(what) + " cannot contain the character \"^\".";
        if (c == '\r' || c == '\n') return std::string(what) + " cannot contain line breaks.";
        if (c == '\0') return std::string(what) + " cannot contain NUL characters.";
    }
    return {};
}

}  // namespace

TTask::TTask(bool done, std::string description, std::string notes, std::string startDate, std::string endDate)
    : Done(done),
      Description(std::move(description)),
      Notes(std::move(notes)),
      StartDate(std::move(startDate)),
      EndDate(std::move(endDate)) {}

TTask* TProject::AddTask(std::unique_ptr<TTask> task) { return Tasks.AddOwned(task->Description, std::move(task)); }

void TProject::DeleteTask(int index) { Tasks.DeleteOwned(index); }

void TProject::ClearTasks() { Tasks.ClearOwned(); }

int TProject::DoneCount() const {
    int done = 0;
    for (int i = 0; i < Tasks.Count(); ++i)
        if (Task(i)->Done) ++done;
    return done;
}

int TProject::Progress() const {
    // The percentage is defined as done / count * 100 in extended precision
    // (64-bit mantissa), rounded to nearest with halves to even. Only an exact
    // half can round differently from the exact quotient, and among those the
    // extended evaluation lands below the half for 59/200 alone (29.4999...).
    // Integers give the same answer on every compiler and FPU setting.
    long long count = Tasks.Count();
    if (count == 0) return 0;
    long long done = DoneCount();
    if (done * 200 == count * 59) return 29;
    long long scaled = done * 100;
    long long result = scaled / count;
    long long twiceRest = 2 * (scaled % count);
    if (twiceRest > count || (twiceRest == count && result % 2 == 1)) ++result;
    return static_cast<int>(result);
}

TProject* TProjects::AddProject(std::unique_ptr<TProject> project) {
    return AddOwned(project->Name, std::move(project));
}

void TProjects::DeleteProject(int index) { DeleteOwned(index); }

TProject* TProjects::FindProjectByName(const std::string& name, int& index) const {
    for (int i = 0; i < Count(); ++i) {
        if (Project(i)->Name == name) {
            index = i;
            return Project(i);
        }
    }
    return nullptr;
}

void TProjects::LoadCategories() {
    if (auto text = ReadDataFile(CategoriesFile)) CategoriesFromText(*this, *text);
}

void TProjects::LoadProjects() {
    if (auto text = ReadDataFile(ProjectsFile)) ProjectsFromText(*this, *text);
}

void TProjects::SaveCategories() const { WriteDataFile(CategoriesFile, CategoriesToText(*this)); }

void TProjects::SaveProjects() const { WriteDataFile(ProjectsFile, ProjectsToText(*this)); }

TToDoHour::TToDoHour(std::string day, std::string hour, std::string action)
    : Day(std::move(day)), Hour(std::move(hour)), Action(std::move(action)) {}

TToDoHour* THours::AddEntry(std::unique_ptr<TToDoHour> entry) {
    return AddOwned(entry->Day + "-" + entry->Hour, std::move(entry));
}

void THours::DeleteEntry(int index) { DeleteOwned(index); }

void THours::LoadHours() {
    if (auto text = ReadDataFile(HoursFile)) HoursFromText(*this, *text);
}

void THours::SaveHours() const { WriteDataFile(HoursFile, HoursToText(*this)); }

void SaveAll(const TProjects& projects, const THours& hours) {
    TFileSetWriter writer;
    writer.Add(DataPath(CategoriesFile), CategoriesToText(projects));
    writer.Add(DataPath(ProjectsFile), ProjectsToText(projects));
    writer.Add(DataPath(HoursFile), HoursToText(hours));
    writer.Commit();
}

std::string CategoriesToText(const TProjects& projects) { return projects.Categories.Text(); }

void CategoriesFromText(TProjects& projects, const std::string& text) { projects.Categories.SetText(text); }

std::string ProjectsToText(const TProjects& projects) {
    size_t size = 0;
    for (int i = 0; i < projects.Count(); ++i) {
        const TProject* p = projects.Project(i);
        size += 24 + p->Name.size() + p->Category.size() + p->StartDate.size() + p->EndDate.size();
        for (int t = 0; t < p->Tasks.Count(); ++t) {
            const TTask* task = p->Task(t);
            size += 32 + task->Description.size() + task->Notes.size() + task->StartDate.size() + task->EndDate.size();
        }
    }
    std::string out;
    out.reserve(size);
    for (int i = 0; i < projects.Count(); ++i) {
        const TProject* p = projects.Project(i);
        out += "Header^";
        AppendFieldsLine(out, {p->Name, p->Category, p->StartDate, p->EndDate});
        for (int t = 0; t < p->Tasks.Count(); ++t) {
            const TTask* task = p->Task(t);
            out += task->Done ? "^True^,^" : "^False^,^";
            AppendTaskField(out, task->Description);
            out += "^,^";
            AppendTaskField(out, task->Notes);
            out += "^,^";
            AppendTaskField(out, task->StartDate);
            out += "^,^";
            AppendTaskField(out, task->EndDate);
            out += "^\r\n";
        }
        out += "EndProject\r\n";
    }
    return out;
}

// Marker lines count only where the writer puts them: a header begins with
// "Header^", an end line is "EndProject" alone, every other line is a task
// (task lines begin with "^"). Lines the writer never produces are skipped:
// tasks and end lines outside a project, headers with fewer than five fields
// (which still end the project before them, as any header does), tasks with
// fewer than five fields.
void ProjectsFromText(TProjects& projects, const std::string& text) {
    for (const TProjectTaskLines& project : OutlineProjectsFromText(projects, text))
        TasksFromText(*project.Project, project.Lines);
}

std::vector<TProjectTaskLines> OutlineProjectsFromText(TProjects& projects, std::string_view text) {
    std::vector<TProjectTaskLines> outline;
    std::unique_ptr<TProject> current;
    // The current project's task lines run from the first one's start to
    // the last one's end: the lines between are split as the whole text is.
    const char* first = nullptr;
    const char* last = nullptr;
    std::vector<std::string_view> parts;
    ForEachLine(text, [&](std::string_view line) {
        std::string_view trimmed = TrimView(line);
        if (trimmed.empty()) return;
        if (IsHeaderLine(trimmed)) {
            // A project whose end line has not come is dropped.
            current.reset();
            SplitStringViews('^', line, parts);
            if (parts.size() < 5) return;
            current = std::make_unique<TProject>();
            current->Name = parts[1];
            current->Category = parts[2];
            current->StartDate = parts[3];
            current->EndDate = parts[4];
            first = last = nullptr;
        } else if (trimmed == "EndProject") {
            if (!current) return;
            std::string_view lines = first ? std::string_view(first, static_cast<size_t>(last - first)) : std::string_view();
            outline.push_back({projects.AddProject(std::move(current)), lines});
        } else if (current) {
            if (!first) first = line.data();
            last = line.data() + line.size();
        }
    });
    return outline;
}

void TasksFromText(TProject& project, std::string_view lines) {
    std::vector<std::string> fields;
    ForEachLine(lines, [&](std::string_view line) {
        if (TrimView(line).empty()) return;
        SplitDelimitedText(line, ',', '^', fields);
        if (fields.size() < 5) return;
        project.AddTask(std::make_unique<TTask>(fields[0] == "True", DecodeTaskField(fields[1]),
                                                DecodeTaskField(fields[2]), DecodeTaskField(fields[3]),
                                                DecodeTaskField(fields[4])));
    });
}

std::string HoursToText(const THours& hours) {
    size_t size = 0;
    for (int i = 0; i < hours.Count(); ++i) {
        const TToDoHour* h = hours.Entry(i);
        size += 5 + h->Day.size() + h->Hour.size() + h->Action.size();
    }
    std::string out;
    out.reserve(size);
    for (int i = 0; i < hours.Count(); ++i) {
        const TToDoHour* h = hours.Entry(i);
        AppendFieldsLine(out, {h->Day, h->Hour, h->Action});
    }
    return out;
}

// Lines with fewer than three fields are skipped; extra fields are ignored.
void HoursFromText(THours& hours, const std::string& text) {
    std::vector<std::string_view> parts;
    ForEachLine(text, [&](std::string_view line) {
        if (TrimView(line).empty()) return;
        SplitStringViews('^', line, parts);
        if (parts.size() < 3) return;
        auto entry = std::make_unique<TToDoHour>(std::string(parts[0]), std::string(parts[1]), std::string(parts[2]));
        hours.AddEntry(std::move(entry));
    });
}

bool IsStorableFieldText(const std::string& text) { return FindSpecial(text, 0) == std::string::npos; }

std::string ValidateProjectTexts(const std::string& name, const std::string& category, const std::string& startDate,
                                 const std::string& endDate) {
    for (auto [what, text] : {std::pair{"The project name", &name}, std::pair{"The category", &category},
                              std::pair{"The start date", &startDate}, std::pair{"The end date", &endDate}}) {
        std::string message = Refusal(what, *text);
        if (!message.empty()) return message;
    }
    return {};
}

std::string ValidateCategoryName(const std::string& name) { return Refusal("The category name", name); }

std::string ValidateHourTexts(const std::string& day, const std::string& hour, const std::string& action) {
    for (auto [what, text] :
         {std::pair{"The day", &day}, std::pair{"The hour", &hour}, std::pair{"The action", &action}}) {
        std::string message = Refusal(what, *text);
        if (!message.empty()) return message;
    }
    return {};
}
