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

// The line rules said another way: cut at the first NUL, make every CR LF and
// lone CR an LF, split at LF, and drop the empty piece after a final break.
static std::vector<std::string> ReferenceLines(std::string text) {
    text = text.substr(0, text.find('\0'));
    std::string unified;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        unified += text[i] == '\r' ? '\n' : text[i];
    }
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = unified.find('\n', start)) != std::string::npos; start = at + 1)
        lines.push_back(unified.substr(start, at - start));
    if (start < unified.size()) lines.push_back(unified.substr(start));
    return lines;
}

TEST(Lines, ForEachLineAndSplitLinesFollowTheLineRules) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', ' ', '\r', '\n', '\0', '^'};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        int length = random() % 12;
        for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
        std::vector<std::string> lines;
        ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
        ASSERT_EQ(lines, ReferenceLines(text)) << "round " << round;
        ASSERT_EQ(SplitLines(text), lines) << "round " << round;
    }
}
