// Script constants of the brush library: object types and brush attributes.
// Scripts see each one as a global under its upper-case name.
#pragma once

#include "tzx/types.h"

namespace tzx::brush {

// Object type numbers of brushes and their planes.
inline constexpr int kBrush = kTypeBrush;
inline constexpr int kBrushpart = kTypeBrushPart;
inline constexpr int kMask = kTypeMask;
inline constexpr int kAlphachannel = kTypeAlphaChannel;

// Brush attributes.
inline constexpr int kAttrwidth = 0;
inline constexpr int kAttrheight = 1;
inline constexpr int kAttrtransparentcolor = 5;
inline constexpr int kAttrtype = 9;
inline constexpr int kAttrhasmask = 16;
inline constexpr int kAttrhasalpha = 17;
inline constexpr int kAttrformat = 19;
inline constexpr int kAttrhardware = 73;
inline constexpr int kAttrdisplay = 85;
inline constexpr int kAttrloader = 91;
inline constexpr int kAttrdepth = 103;
inline constexpr int kAttrpalette = 104;
inline constexpr int kAttrtransparentpen = 105;
inline constexpr int kAttrcycle = 106;

// No transparency kind (ChangeBrushTransparency).
inline constexpr int kNone = -1;

}  // namespace tzx::brush
