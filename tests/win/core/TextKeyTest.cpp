// Text keys follow the locale's comparison, letter case, expansions and all.
#include <gtest/gtest.h>

#include "core/StringList.h"
#include "core/TextCompare.h"

TEST(TextKey, EqualExactlyWhenTheLocaleComparesTheTextsEqual) {
    const std::vector<std::string> texts = {"",
                                            "ss",
                                            "SS",
                                            "\xDF",
                                            "Stra\xDF"
                                            "e",
                                            "STRASSE",
                                            "I",
                                            "i",
                                            "a\x01"
                                            "b",
                                            "ab",
                                            "co-op",
                                            "coop",
                                            "\xC9t\xE9",
                                            "\xE9T\xC9",
                                            "ete",
                                            "12/13/2007-9:00 AM",
                                            "12/13/2007-9:00 am",
                                            "12/13/2007-9:00 PM"};
    int equalPairs = 0;
    for (const std::string& a : texts)
        for (const std::string& b : texts) {
            bool same = AnsiSameText(a, b);
            equalPairs += same && a != b;
            EXPECT_EQ(AnsiTextKey(a) == AnsiTextKey(b), same) << a << " / " << b;
        }
    EXPECT_GT(equalPairs, 0);  // letter case at least
}

TEST(TextKey, IndexesOfFindsWhatIndexOfFinds) {
    TStringList list;
    for (const char* s : {"Stra\xDF"
                          "e",
                          "12/13/2007-9:00 am", "Home", "12/13/2007-9:00 AM", "\xE9T\xC9"})
        list.Add(s);
    std::vector<std::string> texts = {"STRASSE", "12/13/2007-9:00 AM", "home", "\xC9t\xE9", "nothing", ""};
    std::vector<int> found = list.IndexesOf(texts);
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(found[i], list.IndexOf(texts[i])) << texts[i];
    EXPECT_EQ(found[1], 1);
}
