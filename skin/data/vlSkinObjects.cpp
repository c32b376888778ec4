#include "skin/data/vlSkinObjects.h"

void TvlDataSkinObject::ReadData(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, ElementName);
    Hint = r.String("hint");
    ActivePictureIndex = r.Integer("activepictureindex", -1);
    VL_READ_FIELDS(r, SkinRectInAPicture, SkinRect, ActiveSkinRect);
    InActiveSkinRect = r.Rect("inactiveskinrect");
    VL_READ_FIELDS(r, Morphing, MorphKind);
}

void TvlDataUserObject::ReadData(const TvlSkinIni& ini) {
    SkinRect = TvlSectionReader(ini, ElementName).Rect("skinrect");
}

void TvlDataSkinButton::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinObject::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    DownRect = r.Rect("downrect");
    DisableSkinRect = r.Rect("disableskinrsect");
}

void TvlDataSkinStdButton::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinButton::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    Command = r.Command("command");
    r.StateRectsAfter("restore", RestoreRect, RestoreActiveRect, RestoreDownRect);
    RestoreInActiveRect = r.Rect("restoreinactiverect");
}

void TvlDataSkinMenuItem::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinObject::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemLeftOffset, ItemRightOffset, DividerRect, DividerLeftOffset);
    DividerRightOffset = r.Integer("dividerrightoffset");
    TextRect = r.Rect("textrect");
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, UnEnabledFontColor);
}

void TvlDataSkinMainMenuItem::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinObject::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    VL_READ_FIELDS(r, ItemLeftOffset, ItemRightOffset);
    DownRect = r.Rect("downrect");
    TextRect = r.Rect("textrect");
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, DownFontColor);
    UnEnabledFontColor = r.Color("unenabledfontColor");
}

void TvlDataSkinCaption::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinObject::ReadData(ini);
    TvlSectionReader r(ini, ElementName);
    TextRect = r.Rect("textrect");
    Font() = r.Font();
    VL_READ_FIELDS(r, ActiveFontColor, Alignment, Shadow, ShadowColor);
    ActiveShadowColor = r.Color("activeshadowcolor");
    FrameRect = r.Rect("framerect");
    ActiveFrameRect = r.Rect("activeframerect");
    FrameTextRect = r.Rect("frametextrect");
    FrameLeftOffset = r.Integer("frameleftoffset");
    FrameRightOffset = r.Integer("framerightoffset");
}

void TvlDataSkinAnimate::ReadData(const TvlSkinIni& ini) {
    TvlDataSkinObject::ReadData(ini);
    Morphing = false;  // an animation plays its frames, it never blends
    TvlSectionReader r(ini, ElementName);
    CountFrames = r.Integer("countframes", 1);
    Cycle = r.Flag("cycle");
    ButtonStyle = r.Flag("buttonstyle");
    TimerInterval = r.Integer("timerinterval", 50);
    Command = r.Command("command");
}

std::unique_ptr<TvlDataSkinObject> CreateSkinObject(const std::string& kind, const std::string& name) {
    if (kind == "menuitem") return std::make_unique<TvlDataSkinMenuItem>(name);
    if (kind == "mainmenubaritem") return std::make_unique<TvlDataSkinMainMenuBarItem>(name);
    if (kind == "stdbutton") return std::make_unique<TvlDataSkinStdButton>(name);
    if (kind == "mainmenubarbutton") return std::make_unique<TvlDataSkinMainMenuBarButton>(name);
    if (kind == "button") return std::make_unique<TvlDataSkinButton>(name);
    if (kind == "caption") return std::make_unique<TvlDataSkinCaption>(name);
    if (kind == "animate") return std::make_unique<TvlDataSkinAnimate>(name);
    if (kind == "userobject") return std::make_unique<TvlDataUserObject>(name);
    return nullptr;
}
