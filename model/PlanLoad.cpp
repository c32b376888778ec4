#include "model/PlanLoad.h"

#include <optional>
#include <utility>

#include "core/FileIO.h"

namespace {

// Reads the file `name` of `folder` into `text` and parses it with `parse`;
// whatever is raised is kept in `error` for the thread that takes the plan.
template <class Parse>
void ReadPart(const std::string& folder, const char* name, std::string& text, std::exception_ptr& error,
              Parse&& parse) {
    try {
        std::optional<std::string> file = ReadFileIfExists(ResolveFileName(folder, name));
        if (!file) return;
        text = std::move(*file);
        parse(text);
    } catch (...) {
        error = std::current_exception();
    }
}

}  // namespace

TPlanLoad::TPlanLoad(std::string folder) {
    FThread = std::thread([this, folder = std::move(folder)] {
        TLoadedPlan& p = FPlan;
        ReadPart(folder, HoursFileName, p.Texts.Hours, p.HoursError,
                 [&](const std::string& text) { HoursFromText(*p.Hours, text); });
        ReadPart(folder, CategoriesFileName, p.Texts.Categories, p.CategoriesError,
                 [&](const std::string& text) { CategoriesFromText(*p.Projects, text); });
        ReadPart(folder, ProjectsFileName, p.Texts.Projects, p.ProjectsError,
                 [&](const std::string& text) { ProjectsFromText(*p.Projects, text); });
    });
}

TPlanLoad::~TPlanLoad() {
    if (FThread.joinable()) FThread.join();
}

TLoadedPlan TPlanLoad::Take() {
    if (FThread.joinable()) FThread.join();
    return std::move(FPlan);
}

void RethrowIfAny(const std::exception_ptr& error) {
    if (error) std::rethrow_exception(error);
}
