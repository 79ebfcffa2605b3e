// The row kernels of scaling: a source row picked or interpolated at the destination columns,
// and two interpolated rows blended with one fraction. Every variant gives the same bytes as the
// per-channel formula a + (((b - a) * f) >> 16) with an arithmetic shift; the Avx2 variants
// only run where the processor has them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::graphics {

// Source positions of the destination columns (or rows): the integer part and the 16-bit
// fraction towards the next source pixel.
struct ScaleAxis {
  const int32_t* index;
  const int32_t* fraction;
  // Per entry the fraction as a signed 16-bit lane, four times (one lane per channel); filled
  // for the columns of smooth pixel scaling only.
  const uint64_t* weights;
  int32_t count;
  int32_t last;      // the last source index
  int32_t interior;  // leading entries whose next source index exists (index < last)
};

// `count` entries of an axis from entry `from` on.
ScaleAxis SliceAxis(const ScaleAxis& axis, int32_t from, int32_t count);

// The four-lane weight of a fraction.
uint64_t FractionWeight(int32_t fraction);

// Plain mode: out[i] = in[columns[i]] for count pixels.
void PickPixelRow(const uint8_t* in, const int32_t* columns, int32_t count, uint8_t* out);
void PickAlphaRow(const uint8_t* in, const int32_t* columns, int32_t count, uint8_t* out);

// 32-bit pixels; `in` is the source row, `out` takes count pixels.
void InterpolatePixelRow(const uint8_t* in, const ScaleAxis& columns, uint8_t* out);
void InterpolatePixelRowAvx2(const uint8_t* in, const ScaleAxis& columns, uint8_t* out);
// 8-bit alpha.
void InterpolateAlphaRow(const uint8_t* in, const ScaleAxis& columns, uint8_t* out);
void InterpolateAlphaRowAvx2(const uint8_t* in, const ScaleAxis& columns, uint8_t* out);

// count bytes: out = top + (((bottom - top) * fraction) >> 16) byte by byte.
void BlendRows(const uint8_t* top, const uint8_t* bottom, int fraction, uint8_t* out, size_t count);
void BlendRowsAvx2(const uint8_t* top, const uint8_t* bottom, int fraction, uint8_t* out,
                   size_t count);

// count 32-bit pixels with their alpha: the colour and alpha rows blended down with the
// fraction as BlendRows does, the colour then blended onto the target by the alpha as BlendRow32
// does, without keeping the blended rows.
void BlendRowsOnto(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                   const uint8_t* bottomAlpha, int fraction, uint8_t* target, int32_t count);
void BlendRowsOntoAvx2(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                       const uint8_t* bottomAlpha, int fraction, uint8_t* target, int32_t count);

// Destination pixels made from two source rows straight onto the target, for rows that no other
// destination row reads: each row interpolated across as InterpolatePixelRow and
// InterpolateAlphaRow do, then blended down and onto the target as BlendRowsOnto does, without
// the interpolated rows.
void InterpolateOnto(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                     const uint8_t* bottomAlpha, const ScaleAxis& columns, int fraction,
                     uint8_t* target);
void InterpolateOntoAvx2(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                         const uint8_t* bottomAlpha, const ScaleAxis& columns, int fraction,
                         uint8_t* target);

// Whether the Avx2 variants can run here.
bool HasAvx2();

}  // namespace tzx::graphics
