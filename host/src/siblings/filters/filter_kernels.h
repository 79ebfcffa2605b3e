// The pixel algorithms of the filters library, on plain pixel buffers.
//
// Pictures are rows of 0xAARRGGBB words; planes are rows of bytes (an alpha
// channel, or pens). Unless an entry says otherwise, a colour effect changes
// R, G and B and keeps the alpha byte, neighbourhoods read past an edge take
// the nearest edge pixel, and every result is rounded to the nearest integer
// and clamped to 0..255. Effects that move pixels move every plane they are
// given alike and sample the nearest source pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::host::filters {

struct Picture {
  uint32_t* pixels;
  int stride;  // words per row
  int width;
  int height;
  uint32_t* Row(int y) const { return pixels + static_cast<ptrdiff_t>(y) * stride; }
};

struct BytePlane {
  uint8_t* pixels;  // null when the plane is absent
  int stride;
  uint8_t* Row(int y) const { return pixels + static_cast<ptrdiff_t>(y) * stride; }
};

// Bytes outside a picture's own memory that an effect may use; null when the
// host could not provide them.
using Scratch = void* (*)(size_t bytes);
using Release = void (*)(void* block);
struct Memory {
  Scratch take;
  Release give;
};

// Grey: Y = (77 R + 150 G + 29 B + 128) >> 8 in every channel.
void Grayscale(const Picture& p);
// Negative: c -> 255 - c.
void Invert(const Picture& p);
// c -> 255 - c where c > threshold.
void Solarize(const Picture& p, int threshold);
// c -> 255 (c / 255)^(1 / gamma) per channel; every gamma > 0.
void Gamma(const Picture& p, double red, double green, double blue);
// `steps` times c -> f (c - 128) + 128, f = 259 (a + 255) / (255 (259 - a)),
// a = amount clamped to -255..255.
void Contrast(const Picture& p, int amount, int steps);
// In HSL: lightness x brightness / 100, saturation x saturation / 100, hue
// turned by (hue - 100) x 1.8 degrees; 100, 100, 100 changes nothing.
void Modulate(const Picture& p, double brightness, double saturation, double hue);
// The sepia matrix (R' = .393 R + .769 G + .189 B, G' = .349 R + .686 G +
// .168 B, B' = .272 R + .534 G + .131 B) mixed with the colour by level / 255.
void Sepia(const Picture& p, int level);
// Black or white by grey Y: level <= 0 compares Y with 128; level > 0
// dithers with the 4 x 4 ordered matrix (white where Y > 16 m + 8).
void Monochrome(const Picture& p, int level);

// Gaussian blur of the colour channels (alpha byte included) and of the alpha
// plane: sigma = `sigma` when > 0, else radius / 3; kernel half-width
// `radius` rounded when >= 1, else ceil(3 sigma); weights
// exp(-i^2 / (2 sigma^2)) normalised in 16-bit fixed point. Nothing changes
// when sigma or the half-width is 0. False when scratch memory was missing.
bool Blur(const Picture& p, BytePlane alpha, double radius, double sigma, const Memory& m);
// Unsharp masking: c + gain (c - blur(c)), blur sigma = radius / 2 (1 for
// radius 0); alpha untouched.
bool Sharpen(const Picture& p, double radius, double gain, const Memory& m);
// Relief in grey: 128 + k (Y(x + 1, y + 1) - Y(x - 1, y - 1)), k = strength x
// gain, 1 when strength is 0.
bool Emboss(const Picture& p, double strength, double gain, const Memory& m);
// Edges per channel: (|Sobel x| + |Sobel y|) x k / 4, k = radius, 1 when 0.
bool Edge(const Picture& p, double radius, const Memory& m);
// Charcoal: grey edges (as Edge with k = gain) blurred by radius / 3 and
// inverted: R = G = B = 255 - e.
bool Charcoal(const Picture& p, double radius, double gain, const Memory& m);
// Oil paint: each pixel takes the mean colour of the most frequent of 32
// grey classes (Y >> 3, the lowest class on ties) in the square of
// half-width max(1, round(radius)) around it.
bool OilPaint(const Picture& p, double radius, const Memory& m);

// Shape planes of the moving effects: the picture may be null (pens alone).
struct Shape {
  Picture color;    // pixels null when absent
  BytePlane mask;   // 1 bit per pixel, most significant first
  BytePlane third;  // alpha channel or pens
  int width;
  int height;
};

// Pixelate: blocks of size x size from the top-left; colours and the alpha
// channel take the block's mean, masks and pens its top-left pixel.
void Pixelate(const Shape& s, int size);
// Swirl: a destination pixel at distance d < R = max(w, h) / 2 from the
// centre reads the source turned by degrees x (1 - d / R)^2 around it.
bool Swirl(const Shape& s, int degrees, const Memory& m);
// Ripple: a destination pixel at distance d from (cx w, cy h) reads the
// source moved along the radius by amplitude sin(2 pi d / wavelength +
// phase degrees); wavelength >= 1.
bool WaterRipple(const Shape& s, int wavelength, int amplitude, int phase, double cx, double cy,
                 const Memory& m);

// Every byte of the plane's rows inverted.
void InvertBytes(uint8_t* pixels, int height, int bytesPerRow);

// The shape of a picture as coverage 0..255: the alpha channel, else the
// mask (0 / 255), else pens other than the transparent pen (255).
// Shadow: the coverage at offset (grow, grow) of a plane grown by `grow` on
// every side, blurred with sigma (radius / 3 when sigma <= 0) and scaled by
// opacity / 255. Border: the coverage dilated by a disc of radius grow, then
// blurred likewise when sigma > 0, scaled by opacity / 255.
bool ShadowCoverage(const uint8_t* coverage, int width, int height, int grow, double sigma,
                    int opacity, bool border, BytePlane out, const Memory& m);

}  // namespace tzx::host::filters
