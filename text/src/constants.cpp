#include "constants.h"

#include <iterator>

#include "tzx/text_constants.h"

namespace tzx::text {

const ConstantRow kConstants[] = {
    {"BITMAP_DEFAULT", kBitmapDefault, 0},
    {"TRUETYPE_DEFAULT", kTruetypeDefault, 0},
    {"SANS", kSans, 0},
    {"SERIF", kSerif, 0},
    {"MONOSPACE", kMonospace, 0},

    {"FONTENGINE_NATIVE", nullptr, kFontengineNative},
    {"FONTENGINE_INBUILT", nullptr, kFontengineInbuilt},
    {"FONTENGINE_PLUGIN", nullptr, kFontenginePlugin},

    {"FONTTYPE_BITMAP", nullptr, kFonttypeBitmap},
    {"FONTTYPE_COLOR", nullptr, kFonttypeColor},
    {"FONTTYPE_VECTOR", nullptr, kFonttypeVector},
    {"FONTTYPE_BRUSH", nullptr, kFonttypeBrush},
    {"FONTTYPE_PLUGIN", nullptr, kFonttypePlugin},

    {"CHARMAP_DEFAULT", nullptr, kCharmapDefault},
    {"CHARMAP_MSSYMBOL", nullptr, kCharmapMssymbol},
    {"CHARMAP_UNICODE", nullptr, kCharmapUnicode},
    {"CHARMAP_SJIS", nullptr, kCharmapSjis},
    {"CHARMAP_BIG5", nullptr, kCharmapBig5},
    {"CHARMAP_WANSUNG", nullptr, kCharmapWansung},
    {"CHARMAP_JOHAB", nullptr, kCharmapJohab},
    {"CHARMAP_ADOBESTANDARD", nullptr, kCharmapAdobestandard},
    {"CHARMAP_ADOBEEXPERT", nullptr, kCharmapAdobeexpert},
    {"CHARMAP_ADOBECUSTOM", nullptr, kCharmapAdobecustom},
    {"CHARMAP_ADOBELATIN1", nullptr, kCharmapAdobelatin1},
    {"CHARMAP_OLDLATIN2", nullptr, kCharmapOldlatin2},
    {"CHARMAP_APPLEROMAN", nullptr, kCharmapAppleroman},

    {"FONTWEIGHT_THIN", nullptr, kFontweightThin},
    {"FONTWEIGHT_EXTRALIGHT", nullptr, kFontweightExtralight},
    {"FONTWEIGHT_ULTRALIGHT", nullptr, kFontweightUltralight},
    {"FONTWEIGHT_LIGHT", nullptr, kFontweightLight},
    {"FONTWEIGHT_BOOK", nullptr, kFontweightBook},
    {"FONTWEIGHT_NORMAL", nullptr, kFontweightNormal},
    {"FONTWEIGHT_REGULAR", nullptr, kFontweightRegular},
    {"FONTWEIGHT_MEDIUM", nullptr, kFontweightMedium},
    {"FONTWEIGHT_SEMIBOLD", nullptr, kFontweightSemibold},
    {"FONTWEIGHT_DEMIBOLD", nullptr, kFontweightDemibold},
    {"FONTWEIGHT_BOLD", nullptr, kFontweightBold},
    {"FONTWEIGHT_EXTRABOLD", nullptr, kFontweightExtrabold},
    {"FONTWEIGHT_ULTRABOLD", nullptr, kFontweightUltrabold},
    {"FONTWEIGHT_HEAVY", nullptr, kFontweightHeavy},
    {"FONTWEIGHT_BLACK", nullptr, kFontweightBlack},
    {"FONTWEIGHT_EXTRABLACK", nullptr, kFontweightExtrablack},
    {"FONTWEIGHT_ULTRABLACK", nullptr, kFontweightUltrablack},

    {"FONTSLANT_ROMAN", nullptr, kFontslantRoman},
    {"FONTSLANT_ITALIC", nullptr, kFontslantItalic},
    {"FONTSLANT_OBLIQUE", nullptr, kFontslantOblique},

    {"FONT", nullptr, kFont},

    {"ATTRFONTASCENDER", nullptr, kAttrfontascender},
    {"ATTRFONTDESCENDER", nullptr, kAttrfontdescender},
    {"ATTRFONTNAME", nullptr, kAttrfontname},
    {"ATTRFONTSIZE", nullptr, kAttrfontsize},
    {"ATTRFONTSCALABLE", nullptr, kAttrfontscalable},
    {"ATTRFONTAA", nullptr, kAttrfontaa},
    {"ATTRFONTDEPTH", nullptr, kAttrfontdepth},
    {"ATTRFONTPALETTE", nullptr, kAttrfontpalette},
    {"ATTRFONTTRANSPARENTPEN", nullptr, kAttrfonttransparentpen},
    {"ATTRFONTTYPE", nullptr, kAttrfonttype},
    {"ATTRFONTENGINE", nullptr, kAttrfontengine},
    {"ATTRFONTCHARMAP", nullptr, kAttrfontcharmap},
    {"ATTRFONTLOADER", nullptr, kAttrfontloader},
    {"ATTRFONTHEIGHT", nullptr, kAttrfontheight},
    {"ATTRFONTFORMAT", nullptr, kAttrfontformat},

    {"BULLET_NONE", nullptr, kBulletNone},
    {"BULLET_DASH", nullptr, kBulletDash},
    {"BULLET_CROSS", nullptr, kBulletCross},
    {"BULLET_CIRCLE", nullptr, kBulletCircle},
    {"BULLET_BOX", nullptr, kBulletBox},
    {"BULLET_CHECKMARK", nullptr, kBulletCheckmark},
    {"BULLET_ARROW", nullptr, kBulletArrow},
    {"BULLET_DIAMOND", nullptr, kBulletDiamond},
    {"BULLET_NUMERIC", nullptr, kBulletNumeric},
    {"BULLET_NUMERICSINGLE", nullptr, kBulletNumericsingle},
    {"BULLET_NUMERICDOUBLE", nullptr, kBulletNumericdouble},
    {"BULLET_LALPHA", nullptr, kBulletLalpha},
    {"BULLET_LALPHASINGLE", nullptr, kBulletLalphasingle},
    {"BULLET_LALPHADOUBLE", nullptr, kBulletLalphadouble},
    {"BULLET_UALPHA", nullptr, kBulletUalpha},
    {"BULLET_UALPHASINGLE", nullptr, kBulletUalphasingle},
    {"BULLET_UALPHADOUBLE", nullptr, kBulletUalphadouble},
    {"BULLET_LROMAN", nullptr, kBulletLroman},
    {"BULLET_LROMANSINGLE", nullptr, kBulletLromansingle},
    {"BULLET_LROMANDOUBLE", nullptr, kBulletLromandouble},
    {"BULLET_UROMAN", nullptr, kBulletUroman},
    {"BULLET_UROMANSINGLE", nullptr, kBulletUromansingle},
    {"BULLET_UROMANDOUBLE", nullptr, kBulletUromandouble},
    {"BULLET_HOLLOWCIRCLE", nullptr, kBulletHollowcircle},

    {"FRAMEMODE_FULL", nullptr, kFramemodeFull},
    {"FRAMEMODE_SINGLE", nullptr, kFramemodeSingle},

    {"ALL", nullptr, kAll},
    {"ALPHANUMERICAL", nullptr, kAlphanumerical},
    {"ALPHABETICAL", nullptr, kAlphabetical},
    {"NUMERICAL", nullptr, kNumerical},
    {"HEXNUMERICAL", nullptr, kHexnumerical},

    {"TEXTOBJECT", nullptr, kTextobject},
    {"TEXTOUT", nullptr, kTextout},
    {"PRINT", nullptr, kPrint},

    {"ATTRWIDTH", nullptr, kAttrwidth},
    {"ATTRHEIGHT", nullptr, kAttrheight},
    {"ATTRTYPE", nullptr, kAttrtype},
    {"ATTRTEXT", nullptr, kAttrtext},
    {"ATTRDEPTH", nullptr, kAttrdepth},
    {"ATTRPALETTE", nullptr, kAttrpalette},
    {"ATTRTRANSPARENTPEN", nullptr, kAttrtransparentpen},
    {"ATTRADJUSTX", nullptr, kAttradjustx},
    {"ATTRADJUSTY", nullptr, kAttradjusty},
    {nullptr, nullptr, 0},
};

const size_t kConstantCount = std::size(kConstants) - 1;

static_assert(std::size(kConstants) - 1 == 105, "the text table has 105 rows");

}  // namespace tzx::text
