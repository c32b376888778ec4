#pragma once
// The skinned buttons, check boxes, panels, labels, gauges, lists and tree.
// Each carries its skin element and skin data; until a control draws its
// element it keeps the toolkit's plain look.
#include "skin/controls/vlSkinBoxCtrls.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/controls/vlSkinElement.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

class TvlSkinPanel : public TvlSkinElement<TPanel> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinGroupBox : public TvlSkinElement<TGroupBox> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinBevel : public TvlSkinElement<TBevel> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinSplitter : public TvlSkinElement<TSplitter> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinStdLabel : public TvlSkinElement<TLabel> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinLinkLabel : public TvlSkinElement<TLinkLabel> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinGauge : public TvlSkinElement<TGauge> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinListView : public TvlSkinElement<TListView> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinTreeView : public TvlSkinElement<TTreeView> {
public:
    using TvlSkinElement::TvlSkinElement;
};
