#include <gtest/gtest.h>

#include <random>

#include "model/UUtils.h"

namespace {
std::vector<std::string> Split(char delimiter, const std::string& text) {
    TStringList list;
    list.Add("stale");
    SplitString(delimiter, text, list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
    return out;
}

std::vector<std::string> Delimited(const std::string& line) {
    std::vector<std::string> fields{"stale", "fields", "from", "before", "x", "y", "z"};
    SplitDelimitedText(line, ',', '^', fields);
    return fields;
}

using Fields = std::vector<std::string>;
}  // namespace

TEST(SplitString, KeepsInnerEmptyFieldsAndDropsAnEmptyLastOne) {
    EXPECT_EQ(Split('^', "a^^b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(Split('^', "a^b^"), (Fields{"a", "b"}));
    EXPECT_EQ(Split('^', "^a"), (Fields{"", "a"}));
    EXPECT_EQ(Split('^', ""), Fields{});
    EXPECT_EQ(Split('^', "^^^"), (Fields{"", "", ""}));
    EXPECT_EQ(Split('^', "Header^Garden^Home^^^"), (Fields{"Header", "Garden", "Home", "", ""}));
    EXPECT_EQ(Split(',', " a ,b"), (Fields{" a ", "b"}));
}

TEST(DelimitedText, QuotedFieldsUndoubleTheQuoteAndKeepEverythingElse) {
    EXPECT_EQ(Delimited("^True^,^Purchase Domain Name^,^bought, two^,^12/03/2007^,^  /  /    ^"),
              (Fields{"True", "Purchase Domain Name", "bought, two", "12/03/2007", "  /  /    "}));
    EXPECT_EQ(Delimited("^False^,^^,^^,^^,^^"), (Fields{"False", "", "", "", ""}));
    EXPECT_EQ(Delimited("^a^^b^,^^^^,^^^"), (Fields{"a^b", "^", "^"}));
    // Unterminated quote runs to the end of the line.
    EXPECT_EQ(Delimited("^abc"), Fields{"abc"});
    EXPECT_EQ(Delimited("^ab^^"), Fields{"ab^"});
}

TEST(DelimitedText, UnquotedFieldsEndAtBlanksAndDelimiters) {
    EXPECT_EQ(Delimited("  a b,c"), (Fields{"a", "b", "c"}));
    EXPECT_EQ(Delimited(",a"), (Fields{"", "a"}));
    EXPECT_EQ(Delimited("a,"), (Fields{"a", ""}));
    // A delimiter followed by blanks is not the last character: no empty field.
    EXPECT_EQ(Delimited("a, "), Fields{"a"});
    EXPECT_EQ(Delimited("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(Delimited("^x^y,z"), (Fields{"x", "y", "z"}));
    EXPECT_EQ(Delimited(" \t "), Fields{});
    EXPECT_EQ(Delimited(""), Fields{});
    EXPECT_EQ(Delimited("\x80\xff,^\xe9^"), (Fields{"\x80\xff", "\xe9"}));
    EXPECT_EQ(Delimited(std::string("a,b\0,c", 6)), (Fields{"a", "b"}));
}

TEST(Lines, ForEachLineSplitsLikeSplitLines) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', ' ', '\r', '\n', '\0', '^'};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        int length = random() % 12;
        for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
        std::vector<std::string> lines;
        ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
        ASSERT_EQ(lines, SplitLines(text)) << "round " << round;
    }
}
