#include "skin/data/vlSkinControls.h"

void TvlDataSkinControl::ReadData(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, ElementName);
    PictureIndex = r.Integer("pictureindex", -1);
    MaskPictureIndex = r.Integer("maskpictureindex", -1);
    SkinRect = r.Rect("skinrect");
}

void TvlDataSkinCustomControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    LTPoint = r.Point("lefttoppoint");
    RTPoint = r.Point("righttoppoint");
    LBPoint = r.Point("leftbottompoint");
    RBPoint = r.Point("rightbottompoint");
    ClientRect = r.Rect("clientrect");
}

void TvlDataSkinPanelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGPictureIndex = r.Integer("bgpictureindex", -1);
    CaptionRect = r.Rect("captionrect");
    Alignment = r.Alignment("alignment");
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
    CloseButtonRect = r.Rect("closebuttonrect");
    CloseButtonActiveRect = r.Rect("closebuttonactiverect");
    CloseButtonDownRect = r.Rect("closebuttondownrect");
    HRollButtonRect = r.Rect("hrollbuttonrect");
    HRollButtonActiveRect = r.Rect("hrollbuttonactiverect");
    HRollButtonDownRect = r.Rect("hrollbuttondownrect");
    HRestoreButtonRect = r.Rect("hrestorebuttonrect");
    HRestoreButtonActiveRect = r.Rect("hrestorebuttonactiverect");
    HRestoreButtonDownRect = r.Rect("hrestorebuttondownrect");
    VRollButtonRect = r.Rect("vrollbuttonrect");
    VRollButtonActiveRect = r.Rect("vrollbuttonactiverect");
    VRollButtonDownRect = r.Rect("vrollbuttondownrect");
    VRestoreButtonRect = r.Rect("vrestorebuttonrect");
    VRestoreButtonActiveRect = r.Rect("vrestorebuttonactiverect");
    VRestoreButtonDownRect = r.Rect("vrestorebuttondownrect");
    CaptionRect = r.Rect("captionrect");
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
}

void TvlDataSkinButtonControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
}

void TvlDataSkinStdLabelControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    ActiveFontColor = r.Color("activefontcolor", 16711680);
}

void TvlDataSkinUpDownControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    UpButtonRect = r.Rect("upbuttonrect");
    ActiveUpButtonRect = r.Rect("activeupbuttonrect");
    DownUpButtonRect = r.Rect("downupbuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    ActiveDownButtonRect = r.Rect("activedownbuttonrect");
    DownDownButtonRect = r.Rect("downdownbuttonrect");
    // An up-down is drawn from its button looks alone: no frame pieces, no client.
    LTPoint = RTPoint = LBPoint = RBPoint = TPoint{};
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    SelectFontColor = r.Color("selectfontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    FixedFontName = r.FontName("fixedfontname");
    FixedFontHeight = r.FontHeight("fixedfontheight");
    FixedFontStyle = r.FontStyle("fixedfontstyle");
    FixedFontColor = r.Color("fixedfontcolor");
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
    LTPoint = r.Point("lefttoppoint");
    RTPoint = r.Point("righttoppoint");
    LBPoint = r.Point("leftbottompoint");
    RBPoint = r.Point("rightbottompoint");
    TabLeftOffset = r.Integer("tableftoffset");
    TabRightOffset = r.Integer("tabrightoffset");
    TabsBGRect = r.Rect("tabsbgrect");
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    DisabledFontColor = r.Color("disabledfontcolor");
    ActiveFontColor = r.Color("activefontcolor");
    ButtonRect = r.Rect("buttonrect");
    ActiveButtonRect = r.Rect("activebuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    UnEnabledButtonRect = r.Rect("unenabledbuttonrect");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    ActiveFontColor = r.Color("activefontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    CaptionRect = r.Rect("captionrect");
    CaptionFontName = r.FontName("captionfontname");
    CaptionFontHeight = r.FontHeight("captionfontheight");
    CaptionFontStyle = r.FontStyle("captionfontstyle");
    CaptionFontColor = r.Color("captionfontcolor");
    UpButtonRect = r.Rect("upbuttonrect");
    ActiveUpButtonRect = r.Rect("activeupbuttonrect");
    DownUpButtonRect = r.Rect("downupbuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    ActiveDownButtonRect = r.Rect("activedownbuttonrect");
    DownDownButtonRect = r.Rect("downdownbuttonrect");
    CheckButtonRect = r.Rect("checkbuttonrect");
    ActiveCheckButtonRect = r.Rect("activecheckbuttonrect");
    DownCheckButtonRect = r.Rect("downcheckbuttonrect");
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
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    FocusFontColor = r.Color("focusfontcolor");
    ListBoxName = r.String("listboxname");
    ButtonRect = r.Rect("buttonrect");
    ActiveButtonRect = r.Rect("activebuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    UnEnabledButtonRect = r.Rect("unenabledbuttonrect");
}

void TvlDataSkinScrollBarControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TrackArea = r.Rect("trackarea");
    UpButtonRect = r.Rect("upbuttonrect");
    ActiveUpButtonRect = r.Rect("activeupbuttonrect");
    DownUpButtonRect = r.Rect("downupbuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    ActiveDownButtonRect = r.Rect("activedownbuttonrect");
    DownDownButtonRect = r.Rect("downdownbuttonrect");
    ThumbRect = r.Rect("thumbrect");
    ActiveThumbRect = r.Rect("activethumbrect");
    DownThumbRect = r.Rect("downthumbrect");
    ThumbOffset1 = r.Integer("thumboffset1");
    ThumbOffset2 = r.Integer("thumboffset2");
    ThumbTransparent = r.Flag("thumbtransparent");
    ThumbTransparentColor = r.Color("thumbtransparentcolor");
    GlyphRect = r.Rect("glyphrect");
    ActiveGlyphRect = r.Rect("activeglyphrect");
    DownGlyphRect = r.Rect("downglyphrect");
}

void TvlDataSkinSpinEditControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    ActiveSkinRect = r.Rect("activeskinrect");
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
    ActiveFontColor = r.Color("activefontcolor");
    DisabledFontColor = r.Color("disabledfontcolor");
    UpButtonRect = r.Rect("upbuttonrect");
    ActiveUpButtonRect = r.Rect("activeupbuttonrect");
    DownUpButtonRect = r.Rect("downupbuttonrect");
    DownButtonRect = r.Rect("downbuttonrect");
    ActiveDownButtonRect = r.Rect("activedownbuttonrect");
    DownDownButtonRect = r.Rect("downdownbuttonrect");
}

void TvlDataSkinScrollBoxControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinCustomControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    BGPictureIndex = r.Integer("bgpictureindex", -1);
}

void TvlDataSkinFontAndBGControl::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinControl::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    FontName = r.FontName("fontname");
    FontHeight = r.FontHeight("fontheight");
    FontStyle = r.FontStyle("fontstyle");
    FontColor = r.Color("fontcolor");
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
