// The geometry of the distortions: for a source of w x h, the destination's
// size and, for each destination pixel centre, the source position it reads
// (continuous coordinates, pixel centres at .5), or none.
//
// - Perspective: 16 numbers, four (source x, source y, destination x,
//   destination y) corners; the projective map through them. The destination
//   is the box around the four destination corners.
// - Arc: angle A (degrees, default 60, at most 360), rotation (default 0),
//   outer radius (default w / A in radians, at least h), inner radius (default
//   outer - h, at least 0). The top row bends onto the outer circle, the
//   columns fan out over A degrees centred on "up"; the destination is the
//   box around the ring's sector.
// - Polar: outer radius (default min(w, h) / 2), inner radius (default 0),
//   start angle (default 0, clockwise from up), end angle (default start +
//   360), centre x, y in the destination (default the ring's centre). Columns
//   go round, rows inwards; the destination is 2 outer x 2 outer.
// - Barrel: a, b, c, d for x (d default 1 - a - b - c), then a, b, c, d for
//   y (default the x ones), then the centre (default the picture's): a
//   destination point at normalised radius r (in units of min(w, h) / 2)
//   reads r (a r^3 + b r^2 + c r + d). Same size as the source.
#pragma once

namespace tzx::host::filters {

struct Distortion {
  int method;
  int width;  // the source's
  int height;
  int outWidth;
  int outHeight;
  double k[16];
};

// False for a method it does not know or numbers that make no picture
// (1055 for the caller).
bool PlanDistortion(int method, int count, const double* numbers, int width, int height,
                    Distortion* out);

// The source position of destination pixel (x, y); false when it reads
// nothing.
bool SourceOf(const Distortion& d, int x, int y, double* sx, double* sy);

}  // namespace tzx::host::filters
