#pragma once
// Records of the [SKINCONTROLS] list: one per named control look. Each record
// is created with its element name (the section it reads) and reads its keys
// in a fixed order, a derived class after its base. Rects are looks in the
// picture "pictureindex" unless they are places inside the element's own look
// (client, caption, text and button places). Key groups that many records
// share (a font, the corner points, button looks) are value types the records
// derive from: one reader each, and the members keep their names.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Geometry.h"
#include "skin/data/vlSkinIni.h"

// The looks of an up and a down button, each normal, under the mouse and
// pressed: keys "upbuttonrect", "activeupbuttonrect", "downupbuttonrect",
// then the same for "downbutton". Up-downs, spin edits, list boxes and
// scroll bars draw their arrows from them.
struct TvlUpDownButtonRects {
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TvlUpDownButtonRects& UpDownButtons() { return *this; }
    static TvlUpDownButtonRects Read(const TvlSectionReader& r);
};

// The looks of the button inside an edit or combo box: normal, under the
// mouse, pressed and disabled ("buttonrect", "activebuttonrect",
// "downbuttonrect", "unenabledbuttonrect").
struct TvlEditButtonRects {
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    TvlEditButtonRects& EditButton() { return *this; }
    static TvlEditButtonRects Read(const TvlSectionReader& r);
};

class TvlDataSkinControl {
public:
    explicit TvlDataSkinControl(std::string elementName) : ElementName(std::move(elementName)) {}
    virtual ~TvlDataSkinControl() = default;
    virtual void ReadData(const TvlSkinIni& ini);

    std::string ElementName;
    int PictureIndex = -1;
    int MaskPictureIndex = -1;
    TRect SkinRect;
};

class TvlDataSkinCustomControl : public TvlDataSkinControl, public TvlCornerPoints {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ClientRect;
};

class TvlDataSkinPanelControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    int BGPictureIndex = -1;
    TRect CaptionRect;
    TAlignment Alignment = taCenter;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
};

class TvlDataSkinExPanelControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect RollHSkinRect;
    TRect RollVSkinRect;
    int RollLeftOffset = 0;
    int RollRightOffset = 0;
    int RollTopOffset = 0;
    int RollBottomOffset = 0;
    TRect RollVCaptionRect;
    TRect RollHCaptionRect;
    TRect CloseButtonRect;
    TRect CloseButtonActiveRect;
    TRect CloseButtonDownRect;
    TRect HRollButtonRect;
    TRect HRollButtonActiveRect;
    TRect HRollButtonDownRect;
    TRect HRestoreButtonRect;
    TRect HRestoreButtonActiveRect;
    TRect HRestoreButtonDownRect;
    TRect VRollButtonRect;
    TRect VRollButtonActiveRect;
    TRect VRollButtonDownRect;
    TRect VRestoreButtonRect;
    TRect VRestoreButtonActiveRect;
    TRect VRestoreButtonDownRect;
    TRect CaptionRect;
};

class TvlDataSkinButtonControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t ActiveFontColor = 0;
    uint32_t DownFontColor = 0;
    uint32_t DisabledFontColor = 0;
    TRect ActiveSkinRect;
    TRect DownSkinRect;
    TRect DisabledSkinRect;
    bool Morphing = false;
    TvlMorphKind MorphKind = mkDefault;
};

class TvlDataSkinMenuButtonControl : public TvlDataSkinButtonControl {
public:
    using TvlDataSkinButtonControl::TvlDataSkinButtonControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TrackButtonRect;
};

class TvlDataSkinCheckRadioControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t ActiveFontColor = 0;
    uint32_t UnEnabledFontColor = 0;
    uint32_t FrameFontColor = 0;
    TRect ActiveSkinRect;
    TRect CheckImageArea;
    TRect TextArea;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
    TRect ActiveCheckImageRect;
    TRect ActiveUnCheckImageRect;
    TRect UnEnabledCheckImageRect;
    TRect UnEnabledUnCheckImageRect;
    bool Morphing = false;
    TvlMorphKind MorphKind = mkDefault;
};

class TvlDataSkinGaugeControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ProgressArea;
    TRect ProgressRect;
    int BeginOffset = 0;
    int EndOffset = 0;
    bool Vertical = false;
    bool ProgressTransparent = false;
    uint32_t ProgressTransparentColor = 0;
};

class TvlDataSkinSplitterControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
};

class TvlDataSkinTrackBarControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TrackArea;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    bool Vertical = false;
    bool ButtonTransparent = false;
    uint32_t ButtonTransparentColor = 0;
};

class TvlDataSkinLabelControl : public TvlDataSkinCustomControl, public TvlSkinFont {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
};

class TvlDataSkinStdLabelControl : public TvlDataSkinControl, public TvlSkinFont {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t ActiveFontColor = 16711680;
};

class TvlDataSkinUpDownControl : public TvlDataSkinCustomControl, public TvlUpDownButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
};

class TvlDataSkinGridControl : public TvlDataSkinControl, public TvlSkinFont {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect FixedCellRect;
    TRect SelectCellRect;
    TRect FocusCellRect;
    int FixedCellLeftOffset = 0;
    int FixedCellRightOffset = 0;
    TRect FixedCellTextRect;
    int CellLeftOffset = 0;
    int CellRightOffset = 0;
    TRect CellTextRect;
    uint32_t LinesColor = 0;
    uint32_t BGColor = 0;
    uint32_t SelectFontColor = 0;
    uint32_t FocusFontColor = 0;
    TvlSkinFont FixedFont;
};

class TvlDataSkinTabControl : public TvlDataSkinControl, public TvlCornerPoints, public TvlSkinFont {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TabRect;
    TRect ActiveTabRect;
    TRect FocusTabRect;
    TRect MouseInTabRect;
    TRect ClientRect;
    int BGPictureIndex = -1;
    int TabLeftOffset = 0;
    int TabRightOffset = 0;
    TRect TabsBGRect;
    uint32_t ActiveFontColor = 0;
    uint32_t FocusFontColor = 0;
    uint32_t MouseInFontColor = 0;
    std::string UpDown;
};

class TvlDataSkinMainMenuBar : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemsRect;
    std::string MenuBarItem;
    std::string CloseButton;
    std::string MinButton;
    std::string MaxButton;
    std::string SysMenuButton;
    uint32_t TrackMarkColor = 0;
    uint32_t TrackMarkActiveColor = 0;
};

class TvlDataSkinControlBar : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemRect;
    int BGPictureIndex = -1;
};

class TvlDataSkinEditControl : public TvlDataSkinCustomControl, public TvlSkinFont, public TvlEditButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ActiveSkinRect;
    uint32_t DisabledFontColor = 0;
    uint32_t ActiveFontColor = 0;
};

class TvlDataSkinMemoControl : public TvlDataSkinEditControl {
public:
    using TvlDataSkinEditControl::TvlDataSkinEditControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t BGColor = 0;
    uint32_t ActiveBGColor = 0;
};

class TvlDataSkinListBox : public TvlDataSkinCustomControl, public TvlSkinFont, public TvlUpDownButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemRect;
    TRect ActiveItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    uint32_t ActiveFontColor = 0;
    uint32_t FocusFontColor = 0;
    TRect CaptionRect;
    TvlSkinFont CaptionFont;
    TRect CheckButtonRect;
    TRect ActiveCheckButtonRect;
    TRect DownCheckButtonRect;
    std::string VScrollBarName = "vscrollbar";
    std::string HScrollBarName = "hscrollbar";
    std::string BothHScrollBarName = "bothhscrollbar";
};

class TvlDataSkinCheckListBox : public TvlDataSkinListBox {
public:
    using TvlDataSkinListBox::TvlDataSkinListBox;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemCheckRect;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
};

class TvlDataSkinComboBox : public TvlDataSkinCustomControl, public TvlSkinFont, public TvlEditButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    uint32_t FocusFontColor = 0;
    std::string ListBoxName;
};

class TvlDataSkinScrollBarControl : public TvlDataSkinCustomControl, public TvlUpDownButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TrackArea;
    TRect ThumbRect;
    TRect ActiveThumbRect;
    TRect DownThumbRect;
    int ThumbOffset1 = 0;
    int ThumbOffset2 = 0;
    bool ThumbTransparent = false;
    uint32_t ThumbTransparentColor = 0;
    TRect GlyphRect;
    TRect ActiveGlyphRect;
    TRect DownGlyphRect;
};

class TvlDataSkinSpinEditControl : public TvlDataSkinCustomControl, public TvlSkinFont, public TvlUpDownButtonRects {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ActiveSkinRect;
    uint32_t ActiveFontColor = 0;
    uint32_t DisabledFontColor = 0;
};

class TvlDataSkinScrollBoxControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    int BGPictureIndex = -1;
};

// Tree views, list views and rich edits read the same keys: a font and a
// background colour over the plain element.
class TvlDataSkinFontAndBGControl : public TvlDataSkinControl, public TvlSkinFont {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t BGColor = 0;
};

class TvlDataSkinTreeView : public TvlDataSkinFontAndBGControl {
public:
    using TvlDataSkinFontAndBGControl::TvlDataSkinFontAndBGControl;
};

class TvlDataSkinListView : public TvlDataSkinFontAndBGControl {
public:
    using TvlDataSkinFontAndBGControl::TvlDataSkinFontAndBGControl;
};

class TvlDataSkinRichEdit : public TvlDataSkinFontAndBGControl {
public:
    using TvlDataSkinFontAndBGControl::TvlDataSkinFontAndBGControl;
};

class TvlDataSkinBevel : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t LightColor = 0;
    uint32_t DarkColor = 0;
};

class TvlDataSkinSlider : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t BGColor = 0;
    TRect HRulerRect;
    TRect HThumbRect;
    TRect VRulerRect;
    TRect VThumbRect;
    int EdgeSize = 0;
    uint32_t PointsColor = 0;
};

// The record of a [SKINCONTROLS] kind ("panel", "button", ...), not yet read,
// or nullptr for a kind that is not known (compared exactly).
std::unique_ptr<TvlDataSkinControl> CreateSkinControl(const std::string& kind, const std::string& elementName);
