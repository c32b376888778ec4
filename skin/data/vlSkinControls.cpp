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
    CaptionRect = r.Rect("captionrect");
    Alignment = r.Alignment("alignment");
    Font() = r.Font();
    CheckImageRect = r.Rect("checkimagerect");
    UnCheckImageRect = r.Rect("uncheckimagerect");
}

void TvlDataSkinExPanelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    RollHSkinRect = r.Rect("rollhskinrect");
    RollVSkinRect = r.Rect("rollvskinrect");
    RollLeftOffset = r.Integer("rollleftoffset");
    RollRightOffset = r.Integer("rollrightoffset");
    RollTopOffset = r.Integer("rolltopoffset");
    RollBottomOffset = r.Integer("rollbottomoffset");
    RollVCaptionRect = r.Rect("rollvcaptionrect");
    RollHCaptionRect = r.Rect("rollhcaptionrect");
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
    ActiveFontColor = r.Color("activefontcolor");
    DownFontColor = r.Color("downfontcolor");
    DisabledFontColor = r.Color("disabledfontcolor");
    ActiveSkinRect = r.Rect("activeskinrect");
    DownSkinRect = r.Rect("downskinrect");
    DisabledSkinRect = r.Rect("disabledskinrect");
    Morphing = r.Flag("morphing");
    MorphKind = r.MorphKind("morphkind");
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
    ActiveFontColor = r.Color("activefontcolor");
    UnEnabledFontColor = r.Color("unenabledfontcolor");
    FrameFontColor = r.Color("framefontcolor");
    ActiveSkinRect = r.Rect("activeskinrect");
    CheckImageArea = r.Rect("checkimagearea");
    TextArea = r.Rect("textarea");
    CheckImageRect = r.Rect("checkimagerect");
    UnCheckImageRect = r.Rect("uncheckimagerect");
    ActiveCheckImageRect = r.Rect("activecheckimagerect");
    ActiveUnCheckImageRect = r.Rect("activeuncheckimagerect");
    UnEnabledCheckImageRect = r.Rect("unenabledcheckimagerect");
    UnEnabledUnCheckImageRect = r.Rect("unenableduncheckimagerect");
    Morphing = r.Flag("morphing");
    MorphKind = r.MorphKind("morphkind");
}

void TvlDataSkinGaugeControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ProgressArea = r.Rect("progressarea");
    ProgressRect = r.Rect("progressrect");
    BeginOffset = r.Integer("beginoffset");
    EndOffset = r.Integer("endoffset");
    Vertical = r.Flag("vertical");
    Font() = r.Font();
    ProgressTransparent = r.Flag("progresstransparent");
    ProgressTransparentColor = r.Color("progresstransparentcolor");
}

void TvlDataSkinTrackBarControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TrackArea = r.Rect("trackarea");
    ButtonRect = r.Rect("buttonrect");
    ActiveButtonRect = r.Rect("activebuttonrect");
    Vertical = r.Flag("vertical");
    ButtonTransparent = r.Flag("buttontransparent");
    ButtonTransparentColor = r.Color("buttontransparentcolor");
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
    FixedCellRect = r.Rect("fixedcellrect");
    SelectCellRect = r.Rect("selectcellrect");
    FocusCellRect = r.Rect("focuscellrect");
    FixedCellLeftOffset = r.Integer("fixedcellleftoffset");
    FixedCellRightOffset = r.Integer("fixedcellrightoffset");
    FixedCellTextRect = r.Rect("fixedcelltextrect");
    CellLeftOffset = r.Integer("cellleftoffset");
    CellRightOffset = r.Integer("cellrightoffset");
    CellTextRect = r.Rect("celltextrect");
    LinesColor = r.Color("linescolor");
    BGColor = r.Color("bgcolor");
    Font() = r.Font();
    SelectFontColor = r.Color("selectfontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    FixedFont = r.Font("fixed");
}

void TvlDataSkinTabControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TabRect = r.Rect("tabrect");
    ActiveTabRect = r.Rect("activetabrect");
    FocusTabRect = r.Rect("focustabrect");
    MouseInTabRect = r.Rect("mouseintabrect");
    ClientRect = r.Rect("clientrect");
    BGPictureIndex = r.Integer("bgpictureindex", -1);
    Corners() = r.Corners();
    TabLeftOffset = r.Integer("tableftoffset");
    TabRightOffset = r.Integer("tabrightoffset");
    TabsBGRect = r.Rect("tabsbgrect");
    Font() = r.Font();
    ActiveFontColor = r.Color("activefontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    MouseInFontColor = r.Color("mouseinfontcolor");
    UpDown = r.String("updown");
}

void TvlDataSkinMainMenuBar::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ItemsRect = r.Rect("itemsrect");
    MenuBarItem = r.String("menubaritem");
    CloseButton = r.String("closebutton");
    MinButton = r.String("minbutton");
    MaxButton = r.String("maxbutton");
    SysMenuButton = r.String("sysmenubutton");
    TrackMarkColor = r.Color("trackmarkcolor");
    TrackMarkActiveColor = r.Color("trackmarkactivecolor");
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
    DisabledFontColor = r.Color("disabledfontcolor");
    ActiveFontColor = r.Color("activefontcolor");
    EditButton() = TvlEditButtonRects::Read(r);
}

void TvlDataSkinMemoControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinEditControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGColor = r.Color("bgcolor");
    ActiveBGColor = r.Color("activebgcolor");
}

void TvlDataSkinListBox::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ItemRect = r.Rect("itemrect");
    ActiveItemRect = r.Rect("activeitemrect");
    FocusItemRect = r.Rect("focusitemrect");
    ItemLeftOffset = r.Integer("itemleftoffset");
    ItemRightOffset = r.Integer("itemrightoffset");
    ItemTextRect = r.Rect("itemtextrect");
    Font() = r.Font();
    ActiveFontColor = r.Color("activefontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    CaptionRect = r.Rect("captionrect");
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
    ItemCheckRect = r.Rect("itemcheckrect");
    CheckImageRect = r.Rect("checkimagerect");
    UnCheckImageRect = r.Rect("uncheckimagerect");
}

void TvlDataSkinComboBox::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ItemRect = r.Rect("itemrect");
    FocusItemRect = r.Rect("focusitemrect");
    ItemLeftOffset = r.Integer("itemleftoffset");
    ItemRightOffset = r.Integer("itemrightoffset");
    ItemTextRect = r.Rect("itemtextrect");
    Font() = r.Font();
    FocusFontColor = r.Color("focusfontcolor");
    ListBoxName = r.String("listboxname");
    EditButton() = TvlEditButtonRects::Read(r);
}

void TvlDataSkinScrollBarControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TrackArea = r.Rect("trackarea");
    UpDownButtons() = TvlUpDownButtonRects::Read(r);
    r.StateRects("thumb", ThumbRect, ActiveThumbRect, DownThumbRect);
    ThumbOffset1 = r.Integer("thumboffset1");
    ThumbOffset2 = r.Integer("thumboffset2");
    ThumbTransparent = r.Flag("thumbtransparent");
    ThumbTransparentColor = r.Color("thumbtransparentcolor");
    r.StateRects("glyph", GlyphRect, ActiveGlyphRect, DownGlyphRect);
}

void TvlDataSkinSpinEditControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ActiveSkinRect = r.Rect("activeskinrect");
    Font() = r.Font();
    ActiveFontColor = r.Color("activefontcolor");
    DisabledFontColor = r.Color("disabledfontcolor");
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
    LightColor = r.Color("lightcolor");
    DarkColor = r.Color("darkcolor");
}

void TvlDataSkinSlider::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGColor = r.Color("bgcolor");
    HRulerRect = r.Rect("hrulerrect");
    HThumbRect = r.Rect("hthumbrect");
    VRulerRect = r.Rect("vrulerrect");
    VThumbRect = r.Rect("vthumbrect");
    EdgeSize = r.Integer("edgesize");
    PointsColor = r.Color("pointscolor");
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
