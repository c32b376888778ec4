#pragma once
// The skinned control classes by their final names. Until a control wears
// its skin it is the toolkit's plain control.
#include "toolkit/ComCtrls.h"
#include "toolkit/DateEdit.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

using TvlSkinButton = TButton;
using TvlSkinCheckBox = TCheckBox;
using TvlSkinPanel = TPanel;
using TvlSkinGroupBox = TGroupBox;
using TvlSkinBevel = TBevel;
using TvlSkinSplitter = TSplitter;
using TvlSkinStdLabel = TLabel;
using TvlSkinGauge = TGauge;
using TvlSkinEdit = TEdit;
using TvlSkinMemo = TMemo;
using TvlSkinComboBox = TComboBox;
using TvlSkinDateEdit = TDateEdit;
using TvlSkinListView = TListView;
using TvlSkinTreeView = TTreeView;
using TvlSkinPageControl = TPageControl;
using TvlSkinTabSheet = TTabSheet;
using TvlSkinMonthCalendar = TMonthCalendar;
using TvlSkinLinkLabel = TLinkLabel;
