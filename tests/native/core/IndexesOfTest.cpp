#include <gtest/gtest.h>

#include "core/StringList.h"
#include "core/TextCompare.h"

// Looking many texts up at once finds what IndexOf finds, one by one.
TEST(StringList, IndexesOfAgreesWithIndexOf) {
    TStringList list;
    for (const char* s : {"12/13/2007-9:00 AM", "Home", "work", "Work", "", "12/13/2007-9:00 am", "\xC9t\xE9",
                          "\xE9T\xC9", "12/13/2007-12:00 M"})
        list.Add(s);
    std::vector<std::string> texts = {"WORK",
                                      "home",
                                      "12/13/2007-9:00 AM",
                                      "12/13/2007-9:00 PM",
                                      "",
                                      "\xE9t\xE9",
                                      "Hom",
                                      "work",
                                      "12/13/2007-12:00 m",
                                      "WORK"};
    std::vector<int> found = list.IndexesOf(texts);
    ASSERT_EQ(found.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(found[i], list.IndexOf(texts[i])) << texts[i];
    EXPECT_EQ(found[0], 2);   // the first of the two equal entries
    EXPECT_EQ(found[3], -1);  // not there
    EXPECT_EQ(found[9], 2);   // asked twice, found twice
    EXPECT_EQ(TStringList().IndexesOf(texts), std::vector<int>(texts.size(), -1));
    EXPECT_TRUE(list.IndexesOf({}).empty());
}

TEST(TextCompare, KeysAreEqualExactlyForSameTexts) {
    const std::vector<std::string> texts = {"", "a", "A", "ab", "AB", "abc", "\xC9", "\xE9", "\xD7", "\xF7", "z"};
    for (const std::string& a : texts)
        for (const std::string& b : texts)
            EXPECT_EQ(AnsiTextKey(a) == AnsiTextKey(b), AnsiSameText(a, b)) << a << " / " << b;
}
