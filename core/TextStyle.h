#pragma once
// Font styles and text alignment, shared by the toolkit and the skin
// description (which names them "fsbold", "tacenter", ...).

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
