#pragma once
// The skinned page control and its sheets.
#include <string>

#include "skin/controls/vlSkinElement.h"
#include "toolkit/ComCtrls.h"

class TvlSkinTabSheet : public TvlSkinElement<TTabSheet> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinPageControl : public TvlSkinElement<TPageControl> {
public:
    using TvlSkinElement::TvlSkinElement;
    TvlSkinTabSheet* AddSheet(const std::string& caption) {
        return static_cast<TvlSkinTabSheet*>(TPageControl::AddSheet(caption));
    }
    TvlSkinTabSheet* Pages(int i) const { return static_cast<TvlSkinTabSheet*>(TPageControl::Pages(i)); }

protected:
    TTabSheet* NewSheet(const std::string& caption) override { return new TvlSkinTabSheet(Owner(), this, caption); }
};
