#include <gtest/gtest.h>

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
    EXPECT_EQ(clb->CaptionFontStyle, TFontStyles{fsBold});
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
