#pragma once
// The kinds of morph and of inactive-window effect, numbered as the skin
// description names them ("mkdefault" … "mkpush", "iebrightness" …
// "ieinvert"): the description reads them, the effects draw them.

enum TvlMorphKind { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };

enum TvlInActiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
