#include <gtest/gtest.h>

#include <random>

#include "ModelDump.h"
#include "model/UProjects.h"

namespace {
// Pieces that stress the formats: separators, markers, escapes, every kind of
// line break, blanks and bytes of the upper half.
const std::vector<std::string> Pieces = {"^",          ",",          "^,",         "^^",   "Header^",
                                         "EndProject", "\r",         "\n",         "\r\n", " ",
                                         "\t",         "True",       "a",          "Zz",   "\xe9",
                                         "\xff",       "\x80",       "^r",         "^n",   "^0",
                                         "-",          "12/13/2007", "  /  /    ", "\x01", std::string(1, '\0')};

std::string RandomText(std::mt19937& random) {
    std::string text;
    int pieces = random() % 6;
    for (int i = 0; i < pieces; ++i) text += Pieces[random() % Pieces.size()];
    return text;
}

// Mostly texts the line fields can hold, now and then one they cannot.
std::string RandomLineText(std::mt19937& random) {
    for (;;) {
        std::string text = RandomText(random);
        if (random() % 8 == 0 || IsStorableFieldText(text)) return text;
    }
}

// A text for a field the dialogs check; refused texts are counted and
// replaced by one the dialogs accept.
std::string CheckedText(const std::string& refusal, const std::string& text, int& refused) {
    if (refusal.empty()) return text;
    ++refused;
    std::string kept;
    for (char c : text)
        if (IsStorableFieldText(std::string(1, c))) kept += c;
    return kept;
}
}  // namespace

TEST(RoundTrip, EveryAcceptedTextComesBackExactly) {
    std::mt19937 random(2007);
    int refused = 0, accepted = 0;
    for (int round = 0; round < 300; ++round) {
        TProjects projects;
        THours hours;
        int categories = random() % 4;
        for (int c = 0; c < categories; ++c) {
            std::string name = RandomText(random);
            name = CheckedText(ValidateCategoryName(name), name, refused);
            projects.Categories.Add(name);
        }
        int count = random() % 4;
        for (int i = 0; i < count; ++i) {
            std::string name = RandomLineText(random), category = RandomLineText(random);
            std::string start = RandomLineText(random), end = RandomLineText(random);
            std::string refusal = ValidateProjectTexts(name, category, start, end);
            EXPECT_EQ(refusal.empty(), IsStorableFieldText(name + category + start + end));
            if (!refusal.empty()) {
                ++refused;
                continue;
            }
            ++accepted;
            auto* p = new TProject;
            p->Name = name;
            p->Category = category;
            p->StartDate = start;
            p->EndDate = end;
            projects.AddObject(name, p);
            int tasks = random() % 4;
            for (int t = 0; t < tasks; ++t) {
                std::string description = RandomText(random);
                p->Tasks.AddObject(description, new TTask(random() % 2, description, RandomText(random),
                                                          RandomText(random), RandomText(random)));
            }
        }
        int actions = random() % 4;
        for (int i = 0; i < actions; ++i) {
            std::string day = RandomLineText(random), hour = RandomLineText(random), action = RandomLineText(random);
            if (!ValidateHourTexts(day, hour, action).empty()) {
                ++refused;
                continue;
            }
            ++accepted;
            hours.AddObject(day + "-" + hour, new TToDoHour(day, hour, action));
        }

        TRoundTrip back(projects, hours);
        ASSERT_EQ(Dump(back.Projects), Dump(projects)) << back.ProjectsText;
        ASSERT_EQ(Dump(back.Hours), Dump(hours)) << back.HoursText;
        ASSERT_EQ(ProjectsToText(back.Projects), back.ProjectsText);
    }
    // Both sides of the check were exercised.
    EXPECT_GT(refused, 50);
    EXPECT_GT(accepted, 50);
}
