// Script constants of the text library: font names, engines, styles, bullets and attributes.
// Scripts see each one as a global under its upper-case name.
#pragma once

#include "tzx/types.h"

namespace tzx::text {

// Names of the built-in fonts.
inline constexpr char kBitmapDefault[] = ":::default_bitmap";
inline constexpr char kTruetypeDefault[] = ":::default_truetype";
inline constexpr char kSans[] = ":::default_sans";
inline constexpr char kSerif[] = ":::default_serif";
inline constexpr char kMonospace[] = ":::default_mono";

// Font engines.
inline constexpr int kFontengineNative = 0;
inline constexpr int kFontengineInbuilt = 4;
inline constexpr int kFontenginePlugin = 6;

// Font kinds reported by ATTRFONTTYPE.
inline constexpr int kFonttypeBitmap = 0;
inline constexpr int kFonttypeColor = 1;
inline constexpr int kFonttypeVector = 2;
inline constexpr int kFonttypeBrush = 3;
inline constexpr int kFonttypePlugin = 4;

// Character maps of outline fonts.
inline constexpr int kCharmapDefault = 0;
inline constexpr int kCharmapMssymbol = 1;
inline constexpr int kCharmapUnicode = 2;
inline constexpr int kCharmapSjis = 3;
inline constexpr int kCharmapBig5 = 4;
inline constexpr int kCharmapWansung = 5;
inline constexpr int kCharmapJohab = 6;
inline constexpr int kCharmapAdobestandard = 7;
inline constexpr int kCharmapAdobeexpert = 8;
inline constexpr int kCharmapAdobecustom = 9;
inline constexpr int kCharmapAdobelatin1 = 10;
inline constexpr int kCharmapOldlatin2 = 11;
inline constexpr int kCharmapAppleroman = 12;

// Font weights of the style words.
inline constexpr int kFontweightThin = 0;
inline constexpr int kFontweightExtralight = 40;
inline constexpr int kFontweightUltralight = 40;
inline constexpr int kFontweightLight = 50;
inline constexpr int kFontweightBook = 75;
inline constexpr int kFontweightNormal = 80;
inline constexpr int kFontweightRegular = 80;
inline constexpr int kFontweightMedium = 100;
inline constexpr int kFontweightSemibold = 180;
inline constexpr int kFontweightDemibold = 180;
inline constexpr int kFontweightBold = 200;
inline constexpr int kFontweightExtrabold = 205;
inline constexpr int kFontweightUltrabold = 205;
inline constexpr int kFontweightHeavy = 210;
inline constexpr int kFontweightBlack = 210;
inline constexpr int kFontweightExtrablack = 215;
inline constexpr int kFontweightUltrablack = 215;

// Font slants of the style words.
inline constexpr int kFontslantRoman = 0;
inline constexpr int kFontslantItalic = 100;
inline constexpr int kFontslantOblique = 110;

// Object type number of font handles.
inline constexpr int kFont = kTypeFont;

// Font attributes.
inline constexpr int kAttrfontascender = 30;
inline constexpr int kAttrfontdescender = 31;
inline constexpr int kAttrfontname = 32;
inline constexpr int kAttrfontsize = 33;
inline constexpr int kAttrfontscalable = 34;
inline constexpr int kAttrfontaa = 35;
inline constexpr int kAttrfontdepth = 113;
inline constexpr int kAttrfontpalette = 114;
inline constexpr int kAttrfonttransparentpen = 115;
inline constexpr int kAttrfonttype = 116;
inline constexpr int kAttrfontengine = 117;
inline constexpr int kAttrfontcharmap = 118;
inline constexpr int kAttrfontloader = 124;
inline constexpr int kAttrfontheight = 125;
inline constexpr int kAttrfontformat = 128;

// List bullet kinds; values of 24 and above are character codes.
inline constexpr int kBulletNone = 0;
inline constexpr int kBulletDash = 1;
inline constexpr int kBulletCross = 2;
inline constexpr int kBulletCircle = 3;
inline constexpr int kBulletBox = 4;
inline constexpr int kBulletCheckmark = 5;
inline constexpr int kBulletArrow = 6;
inline constexpr int kBulletDiamond = 7;
inline constexpr int kBulletNumeric = 8;
inline constexpr int kBulletNumericsingle = 9;
inline constexpr int kBulletNumericdouble = 10;
inline constexpr int kBulletLalpha = 11;
inline constexpr int kBulletLalphasingle = 12;
inline constexpr int kBulletLalphadouble = 13;
inline constexpr int kBulletUalpha = 14;
inline constexpr int kBulletUalphasingle = 15;
inline constexpr int kBulletUalphadouble = 16;
inline constexpr int kBulletLroman = 17;
inline constexpr int kBulletLromansingle = 18;
inline constexpr int kBulletLromandouble = 19;
inline constexpr int kBulletUroman = 20;
inline constexpr int kBulletUromansingle = 21;
inline constexpr int kBulletUromandouble = 22;
inline constexpr int kBulletHollowcircle = 23;

// Frame modes of list text.
inline constexpr int kFramemodeFull = 0;
inline constexpr int kFramemodeSingle = 1;

// Input filters of InKeyStr.
inline constexpr int kAll = 0;
inline constexpr int kAlphanumerical = 1;
inline constexpr int kAlphabetical = 2;
inline constexpr int kNumerical = 3;
inline constexpr int kHexnumerical = 4;

// Object type number of text objects, and the kinds of text render requests.
inline constexpr int kTextobject = kTypeTextObject;
inline constexpr int kTextout = 9;
inline constexpr int kPrint = 11;

// Text object attributes.
inline constexpr int kAttrwidth = 0;
inline constexpr int kAttrheight = 1;
inline constexpr int kAttrtype = 9;
inline constexpr int kAttrtext = 36;
inline constexpr int kAttrdepth = 103;
inline constexpr int kAttrpalette = 104;
inline constexpr int kAttrtransparentpen = 105;
inline constexpr int kAttradjustx = 126;
inline constexpr int kAttradjusty = 127;

}  // namespace tzx::text
