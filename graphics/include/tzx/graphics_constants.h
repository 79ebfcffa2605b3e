// Script constants of the graphics library: colours, position codes, styles and formats.
// Scripts see each one as a global under its upper-case name.
#pragma once

#include <cstdint>

namespace tzx::graphics {

// Named colours, 0xRRGGBB.
inline constexpr int kBlack = 0x000000;
inline constexpr int kMaroon = 0x800000;
inline constexpr int kGreen = 0x008000;
inline constexpr int kOlive = 0x808000;
inline constexpr int kNavy = 0x000080;
inline constexpr int kPurple = 0x800080;
inline constexpr int kTeal = 0x008080;
inline constexpr int kGray = 0x808080;
inline constexpr int kSilver = 0xC0C0C0;
inline constexpr int kRed = 0xFF0000;
inline constexpr int kLime = 0x00FF00;
inline constexpr int kYellow = 0xFFFF00;
inline constexpr int kBlue = 0x0000FF;
inline constexpr int kFuchsia = 0xFF00FF;
inline constexpr int kAqua = 0x00FFFF;
inline constexpr int kWhite = 0xFFFFFF;

// Position codes, resolved against the size of the target.
inline constexpr int kCenter = -100000;
inline constexpr int kLeft = -90000;
inline constexpr int kRight = -80000;
inline constexpr int kTop = -70000;
inline constexpr int kBottom = -60000;
inline constexpr int kLeftout = -50000;
inline constexpr int kRightout = -40000;
inline constexpr int kTopout = -30000;
inline constexpr int kBottomout = -20000;

// Transparent colour value meaning none.
inline constexpr uint32_t kNotransparency = 0xFFFFFFFF;

// Markers for a layer's own position and for a size that keeps the aspect ratio.
inline constexpr int kUselayerposition = 100000;
inline constexpr int kKeepasprat = 100000;

// Mixed object kinds of Collision.
inline constexpr int kBrushVsBox = 46;
inline constexpr int kLayerVsBox = 47;
inline constexpr int kSpriteVsBox = 48;
inline constexpr int kSpriteVsBrush = 58;

// Image kinds.
inline constexpr int kImagetypeRaster = 0;
inline constexpr int kImagetypeVector = 1;

// Fill styles.
inline constexpr int kFillnone = 0;
inline constexpr int kFillcolor = 1;
inline constexpr int kFillgradient = 2;
inline constexpr int kFilltexture = 3;

// Form and text style bits; BORDER and EDGE are one bit.
inline constexpr int kNormal = 1;
inline constexpr int kBold = 2;
inline constexpr int kItalic = 4;
inline constexpr int kUnderlined = 8;
inline constexpr int kAntialias = 16;
inline constexpr int kShadow = 32;
inline constexpr int kBorder = 64;
inline constexpr int kEdge = 64;

// Gradient styles.
inline constexpr int kLinear = 2;
inline constexpr int kRadial = 3;
inline constexpr int kConical = 4;

// Shadow directions, clockwise from north.
inline constexpr int kShdwnorth = 0;
inline constexpr int kShdwnortheast = 1;
inline constexpr int kShdweast = 2;
inline constexpr int kShdwsoutheast = 3;
inline constexpr int kShdwsouth = 4;
inline constexpr int kShdwsouthwest = 5;
inline constexpr int kShdwwest = 6;
inline constexpr int kShdwnorthwest = 7;

// Colour value meaning no colour.
inline constexpr uint32_t kNocolor = 0xFFFFFFFF;

// Native size and justified alignment.
inline constexpr int kNative = -110000;
inline constexpr int kJustified = -110001;

// Image file formats.
inline constexpr int kImgfmtBmp = 0;
inline constexpr int kImgfmtPng = 1;
inline constexpr int kImgfmtJpeg = 2;
inline constexpr int kImgfmtGif = 3;
inline constexpr int kImgfmtIlbm = 4;
inline constexpr int kImgfmtTiff = 5;
inline constexpr int kImgfmtNative = 6;
inline constexpr int kImgfmtPlugin = 7;
inline constexpr int kImgfmtUnknown = 8;

// Box against box in Collision.
inline constexpr int kBox = 14;

}  // namespace tzx::graphics
