#include "constants.h"

#include <iterator>

#include "tzx/graphics_constants.h"

namespace tzx::graphics {

const ConstantRow kConstants[] = {
    {"BLACK", nullptr, kBlack},
    {"MAROON", nullptr, kMaroon},
    {"GREEN", nullptr, kGreen},
    {"OLIVE", nullptr, kOlive},
    {"NAVY", nullptr, kNavy},
    {"PURPLE", nullptr, kPurple},
    {"TEAL", nullptr, kTeal},
    {"GRAY", nullptr, kGray},
    {"SILVER", nullptr, kSilver},
    {"RED", nullptr, kRed},
    {"LIME", nullptr, kLime},
    {"YELLOW", nullptr, kYellow},
    {"BLUE", nullptr, kBlue},
    {"FUCHSIA", nullptr, kFuchsia},
    {"AQUA", nullptr, kAqua},
    {"WHITE", nullptr, kWhite},

    {"CENTER", nullptr, kCenter},
    {"LEFT", nullptr, kLeft},
    {"RIGHT", nullptr, kRight},
    {"TOP", nullptr, kTop},
    {"BOTTOM", nullptr, kBottom},
    {"LEFTOUT", nullptr, kLeftout},
    {"RIGHTOUT", nullptr, kRightout},
    {"TOPOUT", nullptr, kTopout},
    {"BOTTOMOUT", nullptr, kBottomout},

    {"NOTRANSPARENCY", nullptr, kNotransparency},

    {"USELAYERPOSITION", nullptr, kUselayerposition},
    {"KEEPASPRAT", nullptr, kKeepasprat},

    {"BRUSH_VS_BOX", nullptr, kBrushVsBox},
    {"LAYER_VS_BOX", nullptr, kLayerVsBox},
    {"SPRITE_VS_BOX", nullptr, kSpriteVsBox},
    {"SPRITE_VS_BRUSH", nullptr, kSpriteVsBrush},

    {"IMAGETYPE_RASTER", nullptr, kImagetypeRaster},
    {"IMAGETYPE_VECTOR", nullptr, kImagetypeVector},

    {"FILLNONE", nullptr, kFillnone},
    {"FILLCOLOR", nullptr, kFillcolor},
    {"FILLGRADIENT", nullptr, kFillgradient},
    {"FILLTEXTURE", nullptr, kFilltexture},

    {"NORMAL", nullptr, kNormal},
    {"BOLD", nullptr, kBold},
    {"ITALIC", nullptr, kItalic},
    {"UNDERLINED", nullptr, kUnderlined},
    {"ANTIALIAS", nullptr, kAntialias},
    {"SHADOW", nullptr, kShadow},
    {"BORDER", nullptr, kBorder},
    {"EDGE", nullptr, kEdge},

    {"LINEAR", nullptr, kLinear},
    {"RADIAL", nullptr, kRadial},
    {"CONICAL", nullptr, kConical},

    {"SHDWNORTH", nullptr, kShdwnorth},
    {"SHDWNORTHEAST", nullptr, kShdwnortheast},
    {"SHDWEAST", nullptr, kShdweast},
    {"SHDWSOUTHEAST", nullptr, kShdwsoutheast},
    {"SHDWSOUTH", nullptr, kShdwsouth},
    {"SHDWSOUTHWEST", nullptr, kShdwsouthwest},
    {"SHDWWEST", nullptr, kShdwwest},
    {"SHDWNORTHWEST", nullptr, kShdwnorthwest},

    {"NOCOLOR", nullptr, kNocolor},

    {"NATIVE", nullptr, kNative},
    {"JUSTIFIED", nullptr, kJustified},

    {"IMGFMT_BMP", nullptr, kImgfmtBmp},
    {"IMGFMT_PNG", nullptr, kImgfmtPng},
    {"IMGFMT_JPEG", nullptr, kImgfmtJpeg},
    {"IMGFMT_GIF", nullptr, kImgfmtGif},
    {"IMGFMT_ILBM", nullptr, kImgfmtIlbm},
    {"IMGFMT_TIFF", nullptr, kImgfmtTiff},
    {"IMGFMT_NATIVE", nullptr, kImgfmtNative},
    {"IMGFMT_PLUGIN", nullptr, kImgfmtPlugin},
    {"IMGFMT_UNKNOWN", nullptr, kImgfmtUnknown},

    {"BOX", nullptr, kBox},
    {nullptr, nullptr, 0},
};

const size_t kConstantCount = std::size(kConstants) - 1;

static_assert(std::size(kConstants) - 1 == 70, "the graphics table has 70 rows");

}  // namespace tzx::graphics
