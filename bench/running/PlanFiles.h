#pragma once
// The plans of the running-program benchmark, as the bytes of the three data
// files: `projects` projects of `tasksEach` tasks spread over ten categories,
// and a tenth as many hourly actions as tasks. The first project is the
// first child of the first category in the tree.
#include <string>

struct TPlanFiles {
    std::string Categories, Projects, Hours;
};

inline TPlanFiles MakePlanFiles(int projects, int tasksEach) {
    TPlanFiles files;
    const int categories = projects < 10 ? projects : 10;
    for (int c = 0; c < categories; ++c) files.Categories += "Category " + std::to_string(c + 1) + "\r\n";
    files.Projects.reserve(static_cast<size_t>(projects) * tasksEach * 110);
    for (int p = 0; p < projects; ++p) {
        std::string name = "Project " + std::to_string(p + 1);
        std::string category = "Category " + std::to_string(p % categories + 1);
        files.Projects += "Header^" + name + "^" + category + "^" + (p % 3 ? "12/01/2007^12/31/2007^" : "^^") + "\r\n";
        for (int t = 0; t < tasksEach; ++t) {
            // Every third task done, every fourth without notes, every fifth
            // with the blank date text: the mix the task dialog produces.
            const char* date = t % 5 ? "12/13/2007" : "  /  /    ";
            files.Projects += std::string("^") + (t % 3 == 0 ? "True" : "False") + "^,^Task " + std::to_string(t + 1) +
                              " of " + name + ": follow up^,^" +
                              (t % 4 ? "Call the supplier, then write the summary" : "") + "^,^" + date + "^,^" + date +
                              "^\r\n";
        }
        files.Projects += "EndProject\r\n";
    }
    static const char* const hours[] = {"9:00 AM", "10:00 AM", "12:00 M", "3:00 PM", "5:00 PM"};
    const int actions = projects * tasksEach / 10;
    for (int a = 0; a < actions; ++a)
        files.Hours += std::to_string(a / 5 % 12 + 1) + "/" + std::to_string(a / 60 % 28 + 1) + "/" +
                       std::to_string(2007 + a / 1680) + "^" + hours[a % 5] + "^Action " + std::to_string(a + 1) +
                       "^\r\n";
    return files;
}
