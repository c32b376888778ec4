#include <gtest/gtest.h>

#include "core/StringList.h"
#include "skin/data/vlSkinIni.h"

using namespace skinvalue;

TEST(SkinValues, Integers) {
    EXPECT_EQ(ParseInteger("42", 7), 42);
    EXPECT_EQ(ParseInteger("-42", 7), -42);
    EXPECT_EQ(ParseInteger("+5", 7), 5);
    EXPECT_EQ(ParseInteger("$1F", 7), 31);
    EXPECT_EQ(ParseInteger("0x1f", 7), 31);
    EXPECT_EQ(ParseInteger("0X10", 7), 16);
    EXPECT_EQ(ParseInteger("$FFFFFFFF", 7), -1);
    EXPECT_EQ(ParseInteger("2147483647", 7), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483648", 7), INT32_MIN);
    for (const char* bad : {"", "2147483648", "12a", "1 2", "$", "0x", "-", "1.5", "$100000000", "0x1G"})
        EXPECT_EQ(ParseInteger(bad, 7), 7) << bad;
}

TEST(SkinValues, RectsAndPointsKeepOnlyDigits) {
    EXPECT_EQ(ParseRect("1,2,3,4"), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(ParseRect(" 1, 2 , 3,  4 "), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(ParsePoint("-3,4"), (TPoint{3, 4}));
    EXPECT_EQ(ParsePoint("x1y2,a3"), (TPoint{12, 3}));
    // Extra fields are ignored, even ones without digits.
    EXPECT_EQ(ParseRect("1,2,3,4,5,abc"), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(ParsePoint("7,8,9"), (TPoint{7, 8}));
    for (const char* bad : {"", "1,2,3", "1,,3,4", "a,b,c,d", "1,2,3,99999999999"})
        EXPECT_THROW(ParseRect(bad), EConvertError) << bad;
    EXPECT_THROW(ParsePoint("5"), EConvertError);
}

TEST(SkinValues, WordsAreMatchedExactly) {
    EXPECT_EQ(ParseFontStyle("fsbold"), TFontStyles{fsBold});
    EXPECT_EQ(ParseFontStyle("fsItalic"), TFontStyles{0});
    EXPECT_EQ(ParseFontStyle("fsbold fsunderline"), TFontStyles{fsBold | fsUnderline});
    EXPECT_EQ(ParseFontStyle("[fsitalic,fsstrikeout]"), TFontStyles{fsItalic | fsStrikeOut});
    EXPECT_EQ(FontStyleText(fsBold | fsStrikeOut), "fsbold,fsstrikeout");
    EXPECT_EQ(ParseAlignment("tacenter"), taCenter);
    EXPECT_EQ(ParseAlignment("TaCenter"), taRightJustify);
    EXPECT_EQ(ParseAlignment("taleftjustify"), taLeftJustify);
    EXPECT_EQ(ParseAlignment("tarightjustify"), taRightJustify);
    EXPECT_EQ(ParseMorphKind("mkpush"), mkPush);
    EXPECT_EQ(ParseMorphKind("mkleftslide"), mkLeftSlide);
    EXPECT_EQ(ParseMorphKind("mkPush"), mkDefault);
    EXPECT_EQ(ParseInActiveEffect("ieinvert"), ieInvert);
    EXPECT_EQ(ParseInActiveEffect("iedarkness"), ieDarkness);
    EXPECT_EQ(ParseInActiveEffect("iebright"), ieGrayScale);
    EXPECT_EQ(ParseCommand("cmclose"), cmClose);
    EXPECT_EQ(ParseCommand("cmrollup"), cmRollUp);
    EXPECT_EQ(ParseCommand("cmminimizetotray"), cmMinimizeToTray);
    EXPECT_EQ(ParseCommand("cmClose"), cmMinimizeToTray);
}

TEST(SkinIni, LinesSectionsKeysAndDefaults) {
    TvlSkinIni ini(
        SplitLines("key=before any section\r\n"
                   "  [Forminfo]  \r\n"
                   "; comment=1\r\n"
                   "\t LeftStretch = 1 \r\n"
                   "rightstretch=2\n"
                   "topstretch=-1\r"
                   "bottomstretch=yes\r\n"
                   "Empty=\r\n"
                   "no equals sign\r\n"
                   "twice=first\r\n"
                   "TWICE=second\r\n"
                   "value=a=b\r\n"
                   "[ list ]\r\n"
                   "namescount=3\r\n"
                   "0=zero\r\n"
                   "2=two\r\n"
                   "[forminfo]\r\n"
                   "later=ignored\r\n"));
    EXPECT_FALSE(ini.Find("", "key"));
    EXPECT_TRUE(ini.SectionExists("FORMINFO"));
    TvlSectionReader form(ini, "FORMINFO");
    EXPECT_TRUE(form.Flag("leftstretch"));
    EXPECT_FALSE(form.Flag("rightstretch"));
    EXPECT_FALSE(form.Flag("topstretch"));
    EXPECT_FALSE(form.Flag("bottomstretch"));
    EXPECT_FALSE(ini.Find("FORMINFO", "comment"));
    EXPECT_EQ(ini.ReadString("forminfo", "empty", "def"), "");
    EXPECT_EQ(ini.ReadString("forminfo", "absent", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("forminfo", "empty", 9), 9);
    EXPECT_EQ(ini.ReadString("forminfo", "twice", ""), "first");
    EXPECT_EQ(ini.ReadString("forminfo", "value", ""), "a=b");
    EXPECT_FALSE(ini.Find("forminfo", "later"));  // the first of two like-named sections wins
    EXPECT_EQ(ini.ReadNameList("LIST", "names"), (std::vector<std::string>{"zero", "", "two"}));
    // Absent keys give their defaults; an empty rect value is an error.
    EXPECT_EQ(ini.ReadRect("forminfo", "absent"), TRect{});
    EXPECT_EQ(form.Alignment("absent"), taCenter);
    EXPECT_EQ(form.InActiveEffect("absent"), ieBrightness);
    EXPECT_EQ(form.Command("absent"), cmDefault);
    EXPECT_THROW(ini.ReadRect("forminfo", "empty"), EConvertError);
}

TEST(SkinIni, IndexedEntriesSkipGapsAndForgedCounts) {
    TvlSkinIni ini(SplitLines("[S]\ncount=2000000000\n0=a:b\n01=x\n5=c:d\n1999999999=e:f\n2000000000=no\n"));
    auto entries = ini.ReadIndexedEntries("S", ini.ReadInteger("S", "count", 0));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (std::pair<int, std::string>{0, "a:b"}));
    EXPECT_EQ(entries[1].first, 5);
    EXPECT_EQ(entries[2].first, 1999999999);
    EXPECT_TRUE(ini.ReadIndexedEntries("S", -4).empty());
}

TEST(SkinIni, FieldListsReadEachFieldFromItsLowerCaseName) {
    TvlSkinIni ini(SplitLines("[button]\r\n"
                              "skinrect=1,2,3,4\r\n"
                              "activefontcolor=$FF\r\n"
                              "morphing=1\r\n"
                              "vertical=2\r\n"
                              "beginoffset=-7\r\n"
                              "alignment=taleftjustify\r\n"
                              "morphkind=mkgradient\r\n"
                              "hint=Close\r\n"
                              "hittestpoint=5,6\r\n"));
    TvlSectionReader r(ini, "button");
    struct {
        TRect SkinRect{9, 9, 9, 9};
        uint32_t ActiveFontColor = 1;
        bool Morphing = false, Vertical = true, Absent = true;
        int BeginOffset = 3;
        TAlignment Alignment = taCenter;
        TvlMorphKind MorphKind = mkDefault;
        std::string Hint;
        TPoint HitTestPoint;
    } f;
    // Names spread over lines, as a long list is written.
    VL_READ_FIELDS(r, f.SkinRect, f.ActiveFontColor, f.Morphing, f.Vertical,
                   f.Absent, f.BeginOffset, f.Alignment, f.MorphKind, f.Hint, f.HitTestPoint);
    EXPECT_EQ(f.SkinRect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(f.ActiveFontColor, 0xFFu);
    EXPECT_TRUE(f.Morphing);
    EXPECT_FALSE(f.Vertical);  // a flag is 1 or nothing
    EXPECT_FALSE(f.Absent);    // an absent key is its type's default, not the field's old value
    EXPECT_EQ(f.BeginOffset, -7);
    EXPECT_EQ(f.Alignment, taLeftJustify);
    EXPECT_EQ(f.MorphKind, mkGradient);
    EXPECT_EQ(f.Hint, "Close");
    EXPECT_EQ(f.HitTestPoint, (TPoint{5, 6}));
}
