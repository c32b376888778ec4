#pragma once
// Records of the [SKINOBJECTS] list: the parts of the skinned form frame
// (caption, caption buttons, animations) and the menu items. Each record is
// created with its element name (the section it reads) and reads its keys in
// a fixed order, a derived class after its base.
#include <memory>
#include <string>

#include "core/Geometry.h"
#include "skin/data/vlSkinIni.h"

class TvlDataSkinObject {
public:
    explicit TvlDataSkinObject(std::string elementName) : ElementName(std::move(elementName)) {}
    virtual ~TvlDataSkinObject() = default;
    virtual void ReadData(const TvlSkinIni& ini);

    std::string ElementName;
    std::string Hint;
    int ActivePictureIndex = -1;
    bool SkinRectInAPicture = false;
    TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
    bool Morphing = false;
    TvlMorphKind MorphKind = mkDefault;
};

class TvlDataUserObject : public TvlDataSkinObject {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
};

class TvlDataSkinButton : public TvlDataSkinObject {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
    TRect DownRect, DisableSkinRect;
};

class TvlDataSkinStdButton : public TvlDataSkinButton {
public:
    using TvlDataSkinButton::TvlDataSkinButton;
    void ReadData(const TvlSkinIni& ini) override;
    TvlStdCommand Command = cmDefault;
    // Looks used while the window is maximized or rolled up.
    TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
};

class TvlDataSkinMainMenuBarButton : public TvlDataSkinStdButton {
public:
    using TvlDataSkinStdButton::TvlDataSkinStdButton;
};

class TvlDataSkinMenuItem : public TvlDataSkinObject, public TvlSkinFont {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect DividerRect;
    int DividerLeftOffset = 0, DividerRightOffset = 0;
    TRect TextRect;
    uint32_t ActiveFontColor = 0, UnEnabledFontColor = 0;
};

class TvlDataSkinMainMenuItem : public TvlDataSkinObject, public TvlSkinFont {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect DownRect, TextRect;
    uint32_t ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
};

class TvlDataSkinMainMenuBarItem : public TvlDataSkinMainMenuItem {
public:
    using TvlDataSkinMainMenuItem::TvlDataSkinMainMenuItem;
};

class TvlDataSkinCaption : public TvlDataSkinObject, public TvlSkinFont {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
    TRect TextRect;
    uint32_t ActiveFontColor = 0;
    TAlignment Alignment = taCenter;
    bool Shadow = false;
    uint32_t ShadowColor = 0, ActiveShadowColor = 0;
    TRect FrameRect, ActiveFrameRect, FrameTextRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
};

class TvlDataSkinAnimate : public TvlDataSkinObject {
public:
    using TvlDataSkinObject::TvlDataSkinObject;
    void ReadData(const TvlSkinIni& ini) override;
    int CountFrames = 1;
    bool Cycle = false, ButtonStyle = false;
    int TimerInterval = 50;
    TvlStdCommand Command = cmDefault;
};

// The record of an [SKINOBJECTS] kind ("button", "caption", ...), not yet
// read, or nullptr for a kind that is not known (compared exactly).
std::unique_ptr<TvlDataSkinObject> CreateSkinObject(const std::string& kind, const std::string& elementName);
