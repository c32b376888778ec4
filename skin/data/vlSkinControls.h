#pragma once
// Records of the [SKINCONTROLS] list: one per named control look. Each record
// is created with its element name (the section it reads) and reads its keys
// in a fixed order, a derived class after its base. Rects are looks in the
// picture "pictureindex" unless they are places inside the element's own look
// (client, caption, text and button places).
#include <cstdint>
#include <memory>
#include <string>

#include "core/Geometry.h"
#include "skin/data/vlSkinIni.h"

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

class TvlDataSkinCustomControl : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    TRect ClientRect;
};

class TvlDataSkinPanelControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    int BGPictureIndex = -1;
    TRect CaptionRect;
    TAlignment Alignment = taCenter;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
};

class TvlDataSkinExPanelControl : public TvlDataSkinCustomControl {
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
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
};

class TvlDataSkinButtonControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
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

class TvlDataSkinCheckRadioControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
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

class TvlDataSkinGaugeControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ProgressArea;
    TRect ProgressRect;
    int BeginOffset = 0;
    int EndOffset = 0;
    bool Vertical = false;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
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

class TvlDataSkinLabelControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
};

class TvlDataSkinStdLabelControl : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t ActiveFontColor = 16711680;
};

class TvlDataSkinUpDownControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
};

class TvlDataSkinGridControl : public TvlDataSkinControl {
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
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t SelectFontColor = 0;
    uint32_t FocusFontColor = 0;
    std::string FixedFontName = "Arial";
    int FixedFontHeight = 14;
    TFontStyles FixedFontStyle = 0;
    uint32_t FixedFontColor = 0;
};

class TvlDataSkinTabControl : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TabRect;
    TRect ActiveTabRect;
    TRect FocusTabRect;
    TRect MouseInTabRect;
    TRect ClientRect;
    int BGPictureIndex = -1;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    int TabLeftOffset = 0;
    int TabRightOffset = 0;
    TRect TabsBGRect;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
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

class TvlDataSkinEditControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ActiveSkinRect;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t DisabledFontColor = 0;
    uint32_t ActiveFontColor = 0;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    TRect DownButtonRect;
    TRect UnEnabledButtonRect;
};

class TvlDataSkinMemoControl : public TvlDataSkinEditControl {
public:
    using TvlDataSkinEditControl::TvlDataSkinEditControl;
    void ReadData(const TvlSkinIni& ini) override;
    uint32_t BGColor = 0;
    uint32_t ActiveBGColor = 0;
};

class TvlDataSkinListBox : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemRect;
    TRect ActiveItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t ActiveFontColor = 0;
    uint32_t FocusFontColor = 0;
    TRect CaptionRect;
    std::string CaptionFontName = "Arial";
    int CaptionFontHeight = 14;
    TFontStyles CaptionFontStyle = 0;
    uint32_t CaptionFontColor = 0;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
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

class TvlDataSkinComboBox : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t FocusFontColor = 0;
    std::string ListBoxName;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    TRect DownButtonRect;
    TRect UnEnabledButtonRect;
};

class TvlDataSkinScrollBarControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TrackArea;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
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

class TvlDataSkinSpinEditControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    TRect ActiveSkinRect;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t ActiveFontColor = 0;
    uint32_t DisabledFontColor = 0;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
};

class TvlDataSkinScrollBoxControl : public TvlDataSkinCustomControl {
public:
    using TvlDataSkinCustomControl::TvlDataSkinCustomControl;
    void ReadData(const TvlSkinIni& ini) override;
    int BGPictureIndex = -1;
};

// Tree views, list views and rich edits read the same keys: a font and a
// background colour over the plain element.
class TvlDataSkinFontAndBGControl : public TvlDataSkinControl {
public:
    using TvlDataSkinControl::TvlDataSkinControl;
    void ReadData(const TvlSkinIni& ini) override;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
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
