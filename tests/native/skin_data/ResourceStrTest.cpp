#include <gtest/gtest.h>

#include "skin/data/vlResourceStr.h"

TEST(ResourceStrData, HoldsTheBuiltInTableAndLooksKeysUpWithoutCase) {
    TvlResourceStrData r;
    ASSERT_EQ(r.ResStrings.Count(), 115);
    EXPECT_EQ(r.ResStrings.Strings(0), "MI_MINCAPTION=Mi&nimize");
    EXPECT_EQ(r.ResStrings.Strings(114), "FIND_REPLACE_CLOSE=Close");
    EXPECT_EQ(r.CharSet, 1);
    EXPECT_EQ(r.LookupText("MSG_BTN_YES"), "&Yes");
    EXPECT_EQ(r.LookupText("msg_btn_yes"), "&Yes");
    EXPECT_EQ(r.LookupText("FLV_LOOKIN"), "Look in: ");
    EXPECT_EQ(r.LookupText("FIND_REPLACE_ALL"), "Replace All");
    EXPECT_EQ(r.LookupText("NO_SUCH_KEY"), "");
    EXPECT_EQ(DefaultResourceText("CLOSEBUTTON_HINT"), "Close");
}

TEST(ResourceStrData, FirstLineWinsAndLinesWithoutEqualsNeverMatch) {
    TvlResourceStrData r;
    r.ResStrings.Insert(0, "EDIT_UNDO=Take back");
    r.ResStrings.Insert(0, "EDIT_COPY");
    EXPECT_EQ(r.LookupText("EDIT_UNDO"), "Take back");
    EXPECT_EQ(r.LookupText("EDIT_COPY"), "Copy");
    TStringList mine;
    mine.Add("EDIT_CUT=Snip=it");
    r.SetResStrings(mine);
    EXPECT_EQ(r.LookupText("EDIT_CUT"), "Snip=it");
    EXPECT_EQ(r.LookupText("EDIT_COPY"), "");  // not the built-in text
}
