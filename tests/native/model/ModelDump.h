#pragma once
// An unambiguous description of a whole model, for comparing two models,
// and a model written to the data files' texts and read back.
#include <string>

#include "model/UProjects.h"

inline void DumpText(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
    out += ';';
}

inline std::string Dump(const TProjects& projects) {
    std::string out = "categories ";
    for (int i = 0; i < projects.Categories.Count(); ++i) DumpText(out, projects.Categories.Strings(i));
    for (int i = 0; i < projects.Count(); ++i) {
        const TProject* p = projects.Project(i);
        out += "\nproject ";
        DumpText(out, projects.Strings(i));
        DumpText(out, p->Name);
        DumpText(out, p->Category);
        DumpText(out, p->StartDate);
        DumpText(out, p->EndDate);
        for (int t = 0; t < p->Tasks.Count(); ++t) {
            const TTask* task = p->Task(t);
            out += task->Done ? "\n done " : "\n open ";
            DumpText(out, p->Tasks.Strings(t));
            DumpText(out, task->Description);
            DumpText(out, task->Notes);
            DumpText(out, task->StartDate);
            DumpText(out, task->EndDate);
        }
    }
    return out;
}

inline std::string Dump(const THours& hours) {
    std::string out;
    for (int i = 0; i < hours.Count(); ++i) {
        out += "\nhour ";
        DumpText(out, hours.Strings(i));
        DumpText(out, hours.Entry(i)->Day);
        DumpText(out, hours.Entry(i)->Hour);
        DumpText(out, hours.Entry(i)->Action);
    }
    return out;
}

// The model written to the three files' texts and read back into a fresh one.
struct TRoundTrip {
    TRoundTrip(const TProjects& projects, const THours& hours)
        : CategoriesText(CategoriesToText(projects)),
          ProjectsText(ProjectsToText(projects)),
          HoursText(HoursToText(hours)) {
        CategoriesFromText(Projects, CategoriesText);
        ProjectsFromText(Projects, ProjectsText);
        HoursFromText(Hours, HoursText);
    }
    std::string CategoriesText, ProjectsText, HoursText;
    TProjects Projects;
    THours Hours;
};
