#include "skin/data/vlSkinControls.h"

TvlUpDownButtonRects TvlUpDownButtonRects::Read(const TvlSectionReader& r) {
    TvlUpDownButtonRects looks;
    r.StateRects("upbutton", looks.UpButtonRect, looks.ActiveUpButtonRect, looks.DownUpButtonRect);
    r.StateRects("downbutton", looks.DownButtonRect, looks.ActiveDownButtonRect, looks.DownDownButtonRect);
    return looks;
}

TvlEditButtonRects TvlEditButtonRects::Read(const TvlSectionReader& r) {
    TvlEditButtonRects looks;
    r.StateRects("button", looks.ButtonRect, looks.ActiveButtonRect, looks.DownButtonRect);
    looks.UnEnabledButtonRect = r.Rect("unenabledbuttonrect");
    return looks;
}

void TvlDataSkinControl::ReadData(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, ElementName);
    PictureIndex = r.Integer("pictureindex", -1);
    MaskPictureIndex = r.Integer("maskpictureindex", -1);
    SkinRect = r.Rect("skinrect");
}

void TvlDataSkinCustomControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Corners() = r.Corners();
    ClientRect = r.Rect("clientrect");
}

void TvlDataSkinPanelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGPictureIndex = r.Integer("bgpictureindex", -1);
    VL_READ_FIELDS(r, CaptionRect, Alignment);
    Font() = r.Font();
    VL_READ_FIELDS(r, CheckImageRect, UnCheckImageRect);
}

void TvlDataSkinExPanelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, RollHSkinRect, RollVSkinRect, RollLeftOffset, RollRightOffset, RollTopOffset,
                   RollBottomOffset, RollVCaptionRect, RollHCaptionRect);
    r.StateRectsAfter("closebutton", CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect);
    r.StateRectsAfter("hrollbutton", HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect);
    r.StateRectsAfter("hrestorebutton", HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect);
    r.StateRectsAfter("vrollbutton", VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect);
    r.StateRectsAfter("vrestorebutton", VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect);
    CaptionRect = r.Rect("captionrect");
    Font() = r.Font();
}

void TvlDataSkinButtonControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, DownFontColor, DisabledFontColor, ActiveSkinRect, DownSkinRect,
                   DisabledSkinRect, Morphing, MorphKind);
}

void TvlDataSkinMenuButtonControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinButtonControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TrackButtonRect = r.Rect("trackbuttonrect");
}

void TvlDataSkinCheckRadioControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, UnEnabledFontColor, FrameFontColor, ActiveSkinRect, CheckImageArea,
                   TextArea, CheckImageRect, UnCheckImageRect, ActiveCheckImageRect, ActiveUnCheckImageRect,
                   UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, Morphing, MorphKind);
}

void TvlDataSkinGaugeControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ProgressArea, ProgressRect, BeginOffset, EndOffset, Vertical);
    Font() = r.Font();
    VL_READ_FIELDS(r, ProgressTransparent, ProgressTransparentColor);
}

void TvlDataSkinTrackBarControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, TrackArea, ButtonRect, ActiveButtonRect, Vertical, ButtonTransparent,
                   ButtonTransparentColor);
}

void TvlDataSkinLabelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Font() = r.Font();
}

void TvlDataSkinStdLabelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Font() = r.Font();
    ActiveFontColor = r.Color("activefontcolor", 16711680);
}

void TvlDataSkinUpDownControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    UpDownButtons() = TvlUpDownButtonRects::Read(r);
    // An up-down is drawn from its button looks alone: no frame pieces, no client.
    Corners() = {};
    ClientRect = TRect{};
}

void TvlDataSkinGridControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, FixedCellRect, SelectCellRect, FocusCellRect, FixedCellLeftOffset,
                   FixedCellRightOffset, FixedCellTextRect, CellLeftOffset, CellRightOffset, CellTextRect,
                   LinesColor, BGColor);
    Font() = r.Font();
    VL_READ_FIELDS(r, SelectFontColor, FocusFontColor);
    FixedFont = r.Font("fixed");
}

void TvlDataSkinTabControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, ClientRect);
    BGPictureIndex = r.Integer("bgpictureindex", -1);
    Corners() = r.Corners();
    VL_READ_FIELDS(r, TabLeftOffset, TabRightOffset, TabsBGRect);
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, FocusFontColor, MouseInFontColor, UpDown);
}

void TvlDataSkinMainMenuBar::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemsRect, MenuBarItem, CloseButton, MinButton, MaxButton, SysMenuButton,
                   TrackMarkColor, TrackMarkActiveColor);
}

void TvlDataSkinControlBar::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ItemRect = r.Rect("itemrect");
    BGPictureIndex = r.Integer("bgpictureindex", -1);
}

void TvlDataSkinEditControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ActiveSkinRect = r.Rect("activeskinrect");
    Font() = r.Font();
    VL_READ_FIELDS(r, DisabledFontColor, ActiveFontColor);
    EditButton() = TvlEditButtonRects::Read(r);
}

void TvlDataSkinMemoControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinEditControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, BGColor, ActiveBGColor);
}

void TvlDataSkinListBox::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemRect, ActiveItemRect, FocusItemRect, ItemLeftOffset, ItemRightOffset, ItemTextRect);
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, FocusFontColor, CaptionRect);
    CaptionFont = r.Font("caption");
    UpDownButtons() = TvlUpDownButtonRects::Read(r);
    r.StateRects("checkbutton", CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect);
    VScrollBarName = r.String("vscrollbarname", "vscrollbar");
    HScrollBarName = r.String("hscrollbarname", "hscrollbar");
    BothHScrollBarName = r.String("bothhscrollbarname", "bothhscrollbar");
}

void TvlDataSkinCheckListBox::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinListBox::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemCheckRect, CheckImageRect, UnCheckImageRect);
}

void TvlDataSkinComboBox::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemRect, FocusItemRect, ItemLeftOffset, ItemRightOffset, ItemTextRect);
    Font() = r.Font();
    VL_READ_FIELDS(r, FocusFontColor, ListBoxName);
    EditButton() = TvlEditButtonRects::Read(r);
}

void TvlDataSkinScrollBarControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TrackArea = r.Rect("trackarea");
    UpDownButtons() = TvlUpDownButtonRects::Read(r);
    r.StateRects("thumb", ThumbRect, ActiveThumbRect, DownThumbRect);
    VL_READ_FIELDS(r, ThumbOffset1, ThumbOffset2, ThumbTransparent, ThumbTransparentColor);
    r.StateRects("glyph", GlyphRect, ActiveGlyphRect, DownGlyphRect);
}

void TvlDataSkinSpinEditControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ActiveSkinRect = r.Rect("activeskinrect");
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, DisabledFontColor);
    UpDownButtons() = TvlUpDownButtonRects::Read(r);
}

void TvlDataSkinScrollBoxControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGPictureIndex = r.Integer("bgpictureindex", -1);
}

void TvlDataSkinFontAndBGControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Font() = r.Font();
    BGColor = r.Color("bgcolor");
}

void TvlDataSkinBevel::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, LightColor, DarkColor);
}

void TvlDataSkinSlider::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, BGColor, HRulerRect, HThumbRect, VRulerRect, VThumbRect, EdgeSize, PointsColor);
}

std::unique_ptr<TvlDataSkinControl> CreateSkinControl(const std::string& kind, const std::string& name) {
    if (kind == "panel") return std::make_unique<TvlDataSkinPanelControl>(name);
    if (kind == "expanel") return std::make_unique<TvlDataSkinExPanelControl>(name);
    if (kind == "button") return std::make_unique<TvlDataSkinButtonControl>(name);
    if (kind == "menubutton") return std::make_unique<TvlDataSkinMenuButtonControl>(name);
    if (kind == "checkradio") return std::make_unique<TvlDataSkinCheckRadioControl>(name);
    if (kind == "gauge") return std::make_unique<TvlDataSkinGaugeControl>(name);
    if (kind == "splitter") return std::make_unique<TvlDataSkinSplitterControl>(name);
    if (kind == "trackbar") return std::make_unique<TvlDataSkinTrackBarControl>(name);
    if (kind == "label") return std::make_unique<TvlDataSkinLabelControl>(name);
    if (kind == "stdlabel") return std::make_unique<TvlDataSkinStdLabelControl>(name);
    if (kind == "updown") return std::make_unique<TvlDataSkinUpDownControl>(name);
    if (kind == "grid") return std::make_unique<TvlDataSkinGridControl>(name);
    if (kind == "tab") return std::make_unique<TvlDataSkinTabControl>(name);
    if (kind == "mainmenubar") return std::make_unique<TvlDataSkinMainMenuBar>(name);
    if (kind == "controlbar") return std::make_unique<TvlDataSkinControlBar>(name);
    if (kind == "edit") return std::make_unique<TvlDataSkinEditControl>(name);
    if (kind == "memo") return std::make_unique<TvlDataSkinMemoControl>(name);
    if (kind == "listbox") return std::make_unique<TvlDataSkinListBox>(name);
    if (kind == "checklistbox") return std::make_unique<TvlDataSkinCheckListBox>(name);
    if (kind == "combobox") return std::make_unique<TvlDataSkinComboBox>(name);
    if (kind == "scrollbar") return std::make_unique<TvlDataSkinScrollBarControl>(name);
    if (kind == "spinedit") return std::make_unique<TvlDataSkinSpinEditControl>(name);
    if (kind == "scrollbox") return std::make_unique<TvlDataSkinScrollBoxControl>(name);
    if (kind == "treeview") return std::make_unique<TvlDataSkinTreeView>(name);
    if (kind == "listview") return std::make_unique<TvlDataSkinListView>(name);
    if (kind == "richedit") return std::make_unique<TvlDataSkinRichEdit>(name);
    if (kind == "bevel") return std::make_unique<TvlDataSkinBevel>(name);
    if (kind == "slider") return std::make_unique<TvlDataSkinSlider>(name);
    return nullptr;
}
