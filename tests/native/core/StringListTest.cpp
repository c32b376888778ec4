#include <gtest/gtest.h>

#include "core/StringList.h"
#include "core/TextCompare.h"

TEST(StringList, IndexOfIgnoresCaseAndFindsFirstDuplicate) {
    TStringList list;
    list.Add("Home");
    list.Add("work");
    list.Add("Work");
    EXPECT_EQ(list.IndexOf("Work"), 1);
    EXPECT_EQ(list.IndexOf("HOME"), 0);
    EXPECT_EQ(list.IndexOf("Hom"), -1);
    list.Delete(1);
    EXPECT_EQ(list.IndexOf("WORK"), 1);
}

TEST(StringList, LinesSplitAtEveryBreakKindAndStopAtNul) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitLines("\r\n\n"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitLines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(std::string("a\nb\0c\nd", 7)), (std::vector<std::string>{"a", "b"}));
}

TEST(StringList, TextEndsEveryLineWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("x");
    list.Add("");
    EXPECT_EQ(list.Text(), "x\r\n\r\n");
    TStringList back;
    back.SetText(list.Text());
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Strings(1), "");
}

TEST(TextCompare, TrimRemovesControlCharactersAndSpaces) {
    EXPECT_EQ(Trim(" \t a b\r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_TRUE(AnsiSameText("Caf\xC9", "caf\xE9"));
    EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
}

// An index equal to the count is outside the list: nothing is removed, as
// for any other index outside it.
TEST(StringList, DeleteOutsideTheListRemovesNothing) {
    TStringList list;
    list.Add("a");
    list.Add("b");
    list.Delete(2);
    list.Delete(-1);
    list.Delete(3);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), "a");
    EXPECT_EQ(list.Strings(1), "b");
}
