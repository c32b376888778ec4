#include <gtest/gtest.h>

#include <array>
#include <map>

#include "SkinTestSupport.h"

namespace {

// Loads a skin whose description is the minimal one plus `extra`.
void Load(TvlSkinData& skin, const std::string& extra) {
    TvlSkinPackageParts p;
    p.Text = MinimalDescription(extra);
    TvlCompressedStoredSkin stored = StoredSkin(p);
    skin.LoadStoredSkin(&stored);
}

template <class T>
T* Control(TvlSkinData& skin, const std::string& name) {
    int i = skin.FindControlIndex(name);
    return i < 0 ? nullptr : dynamic_cast<T*>(skin.SkinControls[i].get());
}

}  // namespace

TEST(SkinRecords, EveryControlKindMakesItsRecordWithDefaults) {
    const char* kinds[] = {"panel",        "expanel",     "button",     "menubutton", "checkradio", "gauge",
                           "splitter",     "trackbar",    "label",      "stdlabel",   "updown",     "grid",
                           "tab",          "mainmenubar", "controlbar", "edit",       "memo",       "listbox",
                           "checklistbox", "combobox",    "scrollbar",  "spinedit",   "scrollbox",  "treeview",
                           "listview",     "richedit",    "bevel",      "slider"};
    std::string list = "[SKINCONTROLS]\r\ncount=31\r\n";
    int i = 0;
    for (const char* kind : kinds) list += std::to_string(i++) + "=" + kind + "_look:" + kind + "\r\n";
    list += "28=nocolon\r\n29=odd:Button\r\n30=last:bevel\r\n";
    TvlSkinData skin;
    Load(skin, list);
    ASSERT_EQ(skin.SkinControls.size(), 29u);
    EXPECT_EQ(skin.SkinControls.back()->ElementName, "last");
    for (const auto& record : skin.SkinControls) {
        EXPECT_EQ(record->PictureIndex, -1) << record->ElementName;
        EXPECT_EQ(record->MaskPictureIndex, -1);
        EXPECT_TRUE(record->SkinRect.IsEmpty());
    }
    EXPECT_TRUE(Control<TvlDataSkinPanelControl>(skin, "panel_look"));
    EXPECT_EQ(Control<TvlDataSkinPanelControl>(skin, "panel_look")->BGPictureIndex, -1);
    EXPECT_EQ(Control<TvlDataSkinPanelControl>(skin, "panel_look")->Alignment, taCenter);
    EXPECT_TRUE(Control<TvlDataSkinButtonControl>(skin, "menubutton_look"));
    EXPECT_FALSE(Control<TvlDataSkinMenuButtonControl>(skin, "button_look"));
    EXPECT_EQ(Control<TvlDataSkinButtonControl>(skin, "button_look")->FontName, "Arial");
    EXPECT_EQ(Control<TvlDataSkinButtonControl>(skin, "button_look")->FontHeight, 14);
    EXPECT_EQ(Control<TvlDataSkinStdLabelControl>(skin, "stdlabel_look")->ActiveFontColor, 16711680u);
    auto* list_ = Control<TvlDataSkinListBox>(skin, "checklistbox_look");
    ASSERT_TRUE(list_);
    EXPECT_EQ(list_->VScrollBarName, "vscrollbar");
    EXPECT_EQ(list_->HScrollBarName, "hscrollbar");
    EXPECT_EQ(list_->BothHScrollBarName, "bothhscrollbar");
    EXPECT_EQ(Control<TvlDataSkinComboBox>(skin, "combobox_look")->ListBoxName, "");
    EXPECT_EQ(Control<TvlDataSkinTabControl>(skin, "tab_look")->BGPictureIndex, -1);
    EXPECT_EQ(Control<TvlDataSkinControlBar>(skin, "controlbar_look")->BGPictureIndex, -1);
    EXPECT_TRUE(Control<TvlDataSkinEditControl>(skin, "memo_look"));
    EXPECT_TRUE(Control<TvlDataSkinCustomControl>(skin, "splitter_look"));
    EXPECT_FALSE(Control<TvlDataSkinCustomControl>(skin, "treeview_look"));
    EXPECT_EQ(skin.FindControlIndex("Button_look"), -1);
    EXPECT_EQ(skin.FindControlIndex("odd"), -1);
}

TEST(SkinRecords, KeysAreReadInTheirOwnSyntax) {
    TvlSkinData skin;
    Load(skin,
         "[SKINCONTROLS]\r\ncount=6\r\n0=checklistbox:checklistbox\r\n1=updown:updown\r\n2=button:button\r\n"
         "3=edit:edit\r\n4=spinedit:spinedit\r\n5=button:gauge\r\n"
         "[checklistbox]\r\npictureindex=2\r\nskinrect=0,0,40,30\r\nlefttoppoint=3,3\r\nitemrect=1,2,3,4\r\n"
         "vscrollbarname=myscroll\r\ncaptionfontstyle=fsbold\r\nitemcheckrect=5,6,7,8\r\n"
         "[updown]\r\nclientrect=2,2,10,10\r\nlefttoppoint=4,4\r\nupbuttonrect=0,0,9,9\r\n"
         "[button]\r\nfontcolor=$FF\r\nmorphing=1\r\nmorphkind=mkpush\r\ndownskinrect=1, 2, 3, 4\r\n"
         "activefontcolor=0x00FF00\r\nfontheight=oops\r\n"
         "[edit]\r\ndisabledfontcolor=1\r\nactivefontcolor=2\r\n"
         "[spinedit]\r\nactivefontcolor=3\r\ndisabledfontcolor=4\r\n");
    auto* clb = Control<TvlDataSkinCheckListBox>(skin, "checklistbox");
    ASSERT_TRUE(clb);
    EXPECT_EQ(clb->PictureIndex, 2);
    EXPECT_EQ(clb->LTPoint, (TPoint{3, 3}));
    EXPECT_EQ(clb->ItemRect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(clb->VScrollBarName, "myscroll");
    EXPECT_EQ(clb->CaptionFont.FontStyle, TFontStyles{fsBold});
    EXPECT_EQ(clb->ItemCheckRect, (TRect{5, 6, 7, 8}));
    auto* ud = Control<TvlDataSkinUpDownControl>(skin, "updown");
    ASSERT_TRUE(ud);
    EXPECT_EQ(ud->ClientRect, TRect{});
    EXPECT_EQ(ud->LTPoint, TPoint{});
    EXPECT_EQ(ud->UpButtonRect, (TRect{0, 0, 9, 9}));
    auto* b = Control<TvlDataSkinButtonControl>(skin, "button");  // the first of two entries named "button"
    ASSERT_TRUE(b);
    EXPECT_EQ(b->FontColor, 255u);
    EXPECT_EQ(b->ActiveFontColor, 0x00FF00u);
    EXPECT_EQ(b->FontHeight, 14);
    EXPECT_TRUE(b->Morphing);
    EXPECT_EQ(b->MorphKind, mkPush);
    EXPECT_EQ(b->DownSkinRect, (TRect{1, 2, 3, 4}));
    EXPECT_TRUE(dynamic_cast<TvlDataSkinGaugeControl*>(skin.SkinControls[5].get()));
    auto* e = Control<TvlDataSkinEditControl>(skin, "edit");
    EXPECT_EQ(e->DisabledFontColor, 1u);
    EXPECT_EQ(e->ActiveFontColor, 2u);
    auto* s = Control<TvlDataSkinSpinEditControl>(skin, "spinedit");
    EXPECT_EQ(s->ActiveFontColor, 3u);
    EXPECT_EQ(s->DisabledFontColor, 4u);
}

TEST(SkinRecords, ObjectKindsAndWindowRecords) {
    TvlSkinData skin;
    Load(skin,
         "[SKINOBJECTS]\r\ncount=9\r\n0=caption:caption\r\n1=close:stdbutton\r\n2=tray:stdbutton\r\n"
         "3=anim:animate\r\n4=user:userobject\r\n5=item:menuitem\r\n6=baritem:mainmenubaritem\r\n"
         "7=barbutton:mainmenubarbutton\r\n8=plain:button\r\n"
         "[caption]\r\nalignment=TaCenter\r\nfontstyle=fsbold fsunderline\r\nmorphkind=nothing\r\n"
         "[close]\r\ncommand=cmclose\r\nhint=Close it\r\n[tray]\r\ncommand=cmsomething\r\n"
         "[anim]\r\nmorphing=1\r\ncountframes=8\r\n"
         "[user]\r\nskinrect=1,1,5,5\r\nhint=never read\r\nactivepictureindex=3\r\n"
         "[baritem]\r\nUNENABLEDFONTCOLOR=77\r\n[plain]\r\ndisableskinrsect=0,0,2,2\r\n"
         "[POPUPWINDOW]\r\nwindowpictureindex=1\r\nitemsrect=3,3,20,20\r\nleftstretch=2\r\ntopstretch=1\r\n"
         "[HINTWINDOW]\r\nfontcolor=123\r\n");
    ASSERT_EQ(skin.SkinObjects.size(), 9u);
    auto* cap = dynamic_cast<TvlDataSkinCaption*>(skin.SkinObjects[0].get());
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->Alignment, taRightJustify);
    EXPECT_EQ(cap->FontStyle, TFontStyles{fsBold | fsUnderline});
    EXPECT_EQ(cap->MorphKind, mkDefault);
    EXPECT_EQ(dynamic_cast<TvlDataSkinStdButton&>(*skin.SkinObjects[1]).Command, cmClose);
    EXPECT_EQ(skin.SkinObjects[1]->Hint, "Close it");
    EXPECT_EQ(dynamic_cast<TvlDataSkinStdButton&>(*skin.SkinObjects[2]).Command, cmMinimizeToTray);
    auto& anim = dynamic_cast<TvlDataSkinAnimate&>(*skin.SkinObjects[3]);
    EXPECT_FALSE(anim.Morphing);
    EXPECT_EQ(anim.CountFrames, 8);
    EXPECT_EQ(anim.TimerInterval, 50);
    EXPECT_EQ(anim.Command, cmDefault);
    auto& user = dynamic_cast<TvlDataUserObject&>(*skin.SkinObjects[4]);
    EXPECT_EQ(user.SkinRect, (TRect{1, 1, 5, 5}));
    EXPECT_EQ(user.Hint, "");
    EXPECT_EQ(user.ActivePictureIndex, -1);
    EXPECT_TRUE(dynamic_cast<TvlDataSkinMenuItem*>(skin.SkinObjects[5].get()));
    EXPECT_EQ(dynamic_cast<TvlDataSkinMainMenuItem&>(*skin.SkinObjects[6]).UnEnabledFontColor, 77u);
    EXPECT_TRUE(dynamic_cast<TvlDataSkinStdButton*>(skin.SkinObjects[7].get()));
    EXPECT_EQ(dynamic_cast<TvlDataSkinButton&>(*skin.SkinObjects[8]).DisableSkinRect, (TRect{0, 0, 2, 2}));
    EXPECT_EQ(skin.FindObjectIndex("Close"), -1);
    EXPECT_EQ(skin.FindObjectIndex("close"), 1);

    EXPECT_EQ(skin.PopupWindow.WindowPictureIndex, 1);
    EXPECT_EQ(skin.PopupWindow.ItemsRect, (TRect{3, 3, 20, 20}));
    EXPECT_FALSE(skin.PopupWindow.LeftStretch);
    EXPECT_TRUE(skin.PopupWindow.TopStretch);
    EXPECT_EQ(skin.HintWindow.WindowPictureIndex, -1);
    EXPECT_EQ(skin.HintWindow.FontColor, 123u);
    EXPECT_EQ(skin.HintWindow.FontName, "Arial");

    skin.ClearSkin();
    EXPECT_TRUE(skin.IsEmpty());
    EXPECT_TRUE(skin.SkinObjects.empty());
    EXPECT_EQ(skin.PopupWindow.WindowPictureIndex, -1);
}

TEST(SkinRecords, PicturesAreViewedAsTheCompositionsReadThem) {
    TPixelImage image;
    image.Resize(5, 2);
    image.SetPixelColor(4, 1, 0x123456);
    TvlPixelView view = PictureView(image);
    EXPECT_EQ(view.Stride, 16);
    // 0x00BBGGRR lies in memory as blue, green, red.
    EXPECT_EQ(view.Row(1)[12], 0x12);
    EXPECT_EQ(view.Row(1)[14], 0x56);
    EXPECT_EQ(view.Width, 5);
}

void PrintTo(const TvlSkinFont& f, std::ostream* os) {
    *os << f.FontName << " " << f.FontHeight << " style " << f.FontStyle << " colour " << f.FontColor;
}

namespace {

// A font every record of a test gets its own of, told apart by the index.
TvlSkinFont NumberedFont(int i) {
    TvlSkinFont f;
    f.FontName = "Face" + std::to_string(i);
    f.FontHeight = 20 + i;
    f.FontStyle = static_cast<TFontStyles>(1 + i % 15);
    f.FontColor = 0x10203u * static_cast<uint32_t>(i + 1);
    return f;
}

std::string FontKeys(const std::string& prefix, const TvlSkinFont& f) {
    return prefix + "fontname=" + f.FontName + "\r\n" + prefix + "fontheight=" + std::to_string(f.FontHeight) +
           "\r\n" + prefix + "fontstyle=" + skinvalue::FontStyleText(f.FontStyle) + "\r\n" + prefix +
           "fontcolor=" + std::to_string(f.FontColor) + "\r\n";
}

}  // namespace

// Every record with a text font, of every kind, reads the same key group:
// the values its section gives, Arial 14 without style in black where it
// gives none. The prefixed groups (the grid's fixed cells, the list box
// caption) read their own keys only; records without a font have none.
TEST(SkinRecords, EveryFontGroupReadsItsKeysOrDefaults) {
    const std::vector<std::string> fontKinds = {"panel", "expanel",  "button",       "menubutton", "checkradio",
                                                "gauge", "label",    "stdlabel",     "grid",       "tab",
                                                "edit",  "memo",     "listbox",      "checklistbox",
                                                "combobox", "spinedit", "treeview",  "listview",   "richedit"};
    const std::vector<std::string> plainKinds = {"splitter",   "trackbar",  "updown",    "mainmenubar", "controlbar",
                                                 "scrollbar",  "scrollbox", "bevel",     "slider"};
    const std::vector<std::string> fontObjects = {"menuitem", "mainmenubaritem", "caption"};
    const std::vector<std::string> plainObjects = {"button", "stdbutton", "mainmenubarbutton", "animate",
                                                   "userobject"};
    const TvlSkinFont fixed = NumberedFont(100), caption = NumberedFont(101), hint = NumberedFont(102);
    std::map<std::string, std::string> prefixed = {{"grid_bare", FontKeys("fixed", fixed)},
                                                   {"listbox_bare", FontKeys("caption", caption)}};
    std::string controls, objects, sections;
    int n = 0;
    auto add = [&](std::string& list, const std::string& kind, int& count, bool withFont) {
        for (const char* variant : {"_set", "_bare"}) {
            const std::string name = kind + variant;
            list += std::to_string(count++) + "=" + name + ":" + kind + "\r\n";
            sections += "[" + name + "]\r\n" + prefixed[name];
            if (withFont && std::string(variant) == "_set") sections += FontKeys("", NumberedFont(n));
            ++n;
        }
    };
    int controlCount = 0, objectCount = 0;
    for (const auto& k : fontKinds) add(controls, k, controlCount, true);
    for (const auto& k : plainKinds) add(controls, k, controlCount, false);
    for (const auto& k : fontObjects) add(objects, k, objectCount, true);
    for (const auto& k : plainObjects) add(objects, k, objectCount, false);
    sections += "[HINTWINDOW]\r\n" + FontKeys("", hint);
    TvlSkinData skin;
    Load(skin, "[SKINCONTROLS]\r\ncount=" + std::to_string(controlCount) + "\r\n" + controls +
                   "[SKINOBJECTS]\r\ncount=" + std::to_string(objectCount) + "\r\n" + objects + sections);
    ASSERT_EQ(skin.SkinControls.size(), static_cast<size_t>(controlCount));
    ASSERT_EQ(skin.SkinObjects.size(), static_cast<size_t>(objectCount));

    // Records come in the order listed, two a kind; n numbered them alike.
    auto check = [](const std::string& name, int i, const TvlSkinFont* font, bool hasFont) {
        if (!hasFont) {
            EXPECT_FALSE(font) << name;
            return;
        }
        ASSERT_TRUE(font) << name;
        EXPECT_EQ(*font, (i % 2 == 0 ? NumberedFont(i) : TvlSkinFont{})) << name;
    };
    int i = 0;
    for (const auto& record : skin.SkinControls) {
        const bool hasFont = i < 2 * static_cast<int>(fontKinds.size());
        check(record->ElementName, i, dynamic_cast<const TvlSkinFont*>(record.get()), hasFont);
        ++i;
    }
    for (const auto& record : skin.SkinObjects) {
        const bool hasFont = i - controlCount < 2 * static_cast<int>(fontObjects.size());
        check(record->ElementName, i, dynamic_cast<const TvlSkinFont*>(record.get()), hasFont);
        ++i;
    }
    EXPECT_EQ(Control<TvlDataSkinGridControl>(skin, "grid_set")->FixedFont, TvlSkinFont{});
    EXPECT_EQ(Control<TvlDataSkinGridControl>(skin, "grid_bare")->FixedFont, fixed);
    EXPECT_EQ(Control<TvlDataSkinGridControl>(skin, "grid_bare")->Font(), TvlSkinFont{});
    EXPECT_EQ(Control<TvlDataSkinListBox>(skin, "listbox_set")->CaptionFont, TvlSkinFont{});
    EXPECT_EQ(Control<TvlDataSkinListBox>(skin, "listbox_bare")->CaptionFont, caption);
    EXPECT_EQ(skin.HintWindow.Font(), hint);
}

// Groups of looks and points that several records share are read from the
// same keys in each of them: corner points, the up and down buttons, the
// button of an edit, and the frame of the popup and hint windows.
TEST(SkinRecords, SharedKeyGroupsReadTheSameKeysEverywhere) {
    const std::vector<std::string> upDownKinds = {"updown", "listbox", "scrollbar", "spinedit"};
    const std::vector<std::string> editKinds = {"edit", "memo", "combobox"};
    const std::vector<std::string> cornerKinds = {"panel", "listbox", "tab", "edit"};
    auto rect = [](int i) { return TRect{i, i + 1, i + 20, i + 30}; };
    auto rectText = [](const TRect& r) {
        return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
               std::to_string(r.Bottom);
    };
    const char* upDownKeys[] = {"upbuttonrect",   "activeupbuttonrect",   "downupbuttonrect",
                                "downbuttonrect", "activedownbuttonrect", "downdownbuttonrect"};
    const char* editKeys[] = {"buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect"};
    const char* cornerKeys[] = {"lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint"};
    std::string list, sections;
    int count = 0;
    auto section = [&](const std::string& prefix, const std::string& kind, auto&& keys, int base) {
        const std::string name = prefix + kind;
        list += std::to_string(count++) + "=" + name + ":" + kind + "\r\n";
        sections += "[" + name + "]\r\n";
        int k = 0;
        for (const char* key : keys) {
            const TRect r = rect(base + k++);
            sections += std::string(key) + "=" +
                        (std::string(key).ends_with("point") ? std::to_string(r.Left) + "," + std::to_string(r.Top)
                                                             : rectText(r)) +
                        "\r\n";
        }
    };
    for (size_t i = 0; i < upDownKinds.size(); ++i) section("ud_", upDownKinds[i], upDownKeys, 10 * int(i));
    for (size_t i = 0; i < editKinds.size(); ++i) section("eb_", editKinds[i], editKeys, 100 + 10 * int(i));
    for (size_t i = 0; i < cornerKinds.size(); ++i) section("cp_", cornerKinds[i], cornerKeys, 200 + 10 * int(i));
    TvlSkinData skin;
    Load(skin, "[SKINCONTROLS]\r\ncount=" + std::to_string(count) + "\r\n" + list + sections +
                   "[POPUPWINDOW]\r\nwindowpictureindex=4\r\nmaskpictureindex=5\r\nrighttoppoint=7,8\r\n"
                   "leftstretch=1\r\nbottomstretch=1\r\n"
                   "[HINTWINDOW]\r\nwindowpictureindex=6\r\nleftbottompoint=9,10\r\nrightstretch=1\r\n"
                   "topstretch=1\r\nclientrect=1,2,3,4\r\n");
    ASSERT_EQ(skin.SkinControls.size(), static_cast<size_t>(count));

    for (size_t i = 0; i < upDownKinds.size(); ++i) {
        auto* looks = dynamic_cast<TvlUpDownButtonRects*>(skin.SkinControls[i].get());
        ASSERT_TRUE(looks) << upDownKinds[i];
        const int b = 10 * static_cast<int>(i);
        const TRect got[] = {looks->UpButtonRect,   looks->ActiveUpButtonRect,   looks->DownUpButtonRect,
                             looks->DownButtonRect, looks->ActiveDownButtonRect, looks->DownDownButtonRect};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], rect(b + k)) << upDownKinds[i] << " " << upDownKeys[k];
    }
    for (size_t i = 0; i < editKinds.size(); ++i) {
        auto* looks = dynamic_cast<TvlEditButtonRects*>(skin.SkinControls[upDownKinds.size() + i].get());
        ASSERT_TRUE(looks) << editKinds[i];
        const int b = 100 + 10 * static_cast<int>(i);
        const TRect got[] = {looks->ButtonRect, looks->ActiveButtonRect, looks->DownButtonRect,
                             looks->UnEnabledButtonRect};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(got[k], rect(b + k)) << editKinds[i] << " " << editKeys[k];
    }
    for (size_t i = 0; i < cornerKinds.size(); ++i) {
        auto* points = dynamic_cast<TvlCornerPoints*>(
            skin.SkinControls[upDownKinds.size() + editKinds.size() + i].get());
        ASSERT_TRUE(points) << cornerKinds[i];
        const int b = 200 + 10 * static_cast<int>(i);
        const TPoint got[] = {points->LTPoint, points->RTPoint, points->LBPoint, points->RBPoint};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(got[k], (TPoint{rect(b + k).Left, rect(b + k).Top})) << cornerKinds[i] << " " << k;
    }

    const TvlDataSkinPopupWindow& pw = skin.PopupWindow;
    EXPECT_EQ(pw.WindowPictureIndex, 4);
    EXPECT_EQ(pw.MaskPictureIndex, 5);
    EXPECT_EQ(pw.Corners(), (TvlCornerPoints{{}, {7, 8}, {}, {}}));
    EXPECT_TRUE(pw.LeftStretch && pw.BottomStretch && !pw.RightStretch && !pw.TopStretch);
    const TvlDataSkinHintWindow& hw = skin.HintWindow;
    EXPECT_EQ(hw.WindowPictureIndex, 6);
    EXPECT_EQ(hw.MaskPictureIndex, -1);
    EXPECT_EQ(hw.Corners(), (TvlCornerPoints{{}, {}, {9, 10}, {}}));
    EXPECT_TRUE(!hw.LeftStretch && !hw.BottomStretch && hw.RightStretch && hw.TopStretch);
    EXPECT_EQ(hw.ClientRect, (TRect{1, 2, 3, 4}));
}

// Looks in three states name the state before the look ("activethumbrect")
// or after it ("closebuttonactiverect"); each member gets its own key.
TEST(SkinRecords, LooksInThreeStatesReadTheirOwnKeys) {
    struct TCase {
        std::string Section, Name;
        bool StateAfter;
    };
    const std::vector<TCase> cases = {{"ex", "closebutton", true}, {"ex", "hrollbutton", true},
                                      {"ex", "hrestorebutton", true}, {"ex", "vrollbutton", true},
                                      {"ex", "vrestorebutton", true}, {"sb", "thumb", false},
                                      {"sb", "glyph", false},         {"lb", "checkbutton", false},
                                      {"std", "restore", true}};
    auto rect = [](int i) { return TRect{i, 2 * i, 3 * i + 1, 4 * i + 1}; };
    std::map<std::string, std::string> keys;
    for (size_t c = 0; c < cases.size(); ++c) {
        const TCase& k = cases[c];
        const std::string names[] = {k.Name + "rect", k.StateAfter ? k.Name + "activerect" : "active" + k.Name + "rect",
                                     k.StateAfter ? k.Name + "downrect" : "down" + k.Name + "rect"};
        for (int s = 0; s < 3; ++s) {
            const TRect r = rect(static_cast<int>(3 * c) + s + 1);
            keys[k.Section] += names[s] + "=" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
                               std::to_string(r.Right) + "," + std::to_string(r.Bottom) + "\r\n";
        }
    }
    TvlSkinData skin;
    Load(skin, "[SKINCONTROLS]\r\ncount=3\r\n0=ex:expanel\r\n1=sb:scrollbar\r\n2=lb:listbox\r\n"
               "[SKINOBJECTS]\r\ncount=1\r\n0=std:stdbutton\r\n[ex]\r\n" + keys["ex"] + "[sb]\r\n" + keys["sb"] +
                   "[lb]\r\n" + keys["lb"] + "[std]\r\n" + keys["std"]);
    auto* ex = Control<TvlDataSkinExPanelControl>(skin, "ex");
    auto* sb = Control<TvlDataSkinScrollBarControl>(skin, "sb");
    auto* lb = Control<TvlDataSkinListBox>(skin, "lb");
    ASSERT_TRUE(ex && sb && lb);
    ASSERT_EQ(skin.SkinObjects.size(), 1u);
    auto& stdButton = dynamic_cast<TvlDataSkinStdButton&>(*skin.SkinObjects[0]);
    const std::vector<std::array<const TRect*, 3>> got = {
        {&ex->CloseButtonRect, &ex->CloseButtonActiveRect, &ex->CloseButtonDownRect},
        {&ex->HRollButtonRect, &ex->HRollButtonActiveRect, &ex->HRollButtonDownRect},
        {&ex->HRestoreButtonRect, &ex->HRestoreButtonActiveRect, &ex->HRestoreButtonDownRect},
        {&ex->VRollButtonRect, &ex->VRollButtonActiveRect, &ex->VRollButtonDownRect},
        {&ex->VRestoreButtonRect, &ex->VRestoreButtonActiveRect, &ex->VRestoreButtonDownRect},
        {&sb->ThumbRect, &sb->ActiveThumbRect, &sb->DownThumbRect},
        {&sb->GlyphRect, &sb->ActiveGlyphRect, &sb->DownGlyphRect},
        {&lb->CheckButtonRect, &lb->ActiveCheckButtonRect, &lb->DownCheckButtonRect},
        {&stdButton.RestoreRect, &stdButton.RestoreActiveRect, &stdButton.RestoreDownRect}};
    for (size_t c = 0; c < cases.size(); ++c)
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(*got[c][static_cast<size_t>(s)], rect(static_cast<int>(3 * c) + s + 1)) << cases[c].Name << s;
    EXPECT_EQ(stdButton.RestoreInActiveRect, TRect{});
}
