#include "constants.h"

#include <iterator>

#include "tzx/brush_constants.h"

namespace tzx::brush {

const ConstantRow kConstants[] = {
    {"BRUSH", nullptr, kBrush},
    {"BRUSHPART", nullptr, kBrushpart},
    {"MASK", nullptr, kMask},
    {"ALPHACHANNEL", nullptr, kAlphachannel},

    {"ATTRWIDTH", nullptr, kAttrwidth},
    {"ATTRHEIGHT", nullptr, kAttrheight},
    {"ATTRTRANSPARENTCOLOR", nullptr, kAttrtransparentcolor},
    {"ATTRTYPE", nullptr, kAttrtype},
    {"ATTRHASMASK", nullptr, kAttrhasmask},
    {"ATTRHASALPHA", nullptr, kAttrhasalpha},
    {"ATTRFORMAT", nullptr, kAttrformat},
    {"ATTRHARDWARE", nullptr, kAttrhardware},
    {"ATTRDISPLAY", nullptr, kAttrdisplay},
    {"ATTRLOADER", nullptr, kAttrloader},
    {"ATTRDEPTH", nullptr, kAttrdepth},
    {"ATTRPALETTE", nullptr, kAttrpalette},
    {"ATTRTRANSPARENTPEN", nullptr, kAttrtransparentpen},
    {"ATTRCYCLE", nullptr, kAttrcycle},

    {"NONE", nullptr, kNone},
    {nullptr, nullptr, 0},
};

const size_t kConstantCount = std::size(kConstants) - 1;

static_assert(std::size(kConstants) - 1 == 19, "the brush table has 19 rows");

}  // namespace tzx::brush
