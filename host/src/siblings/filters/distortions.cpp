#include "distortions.h"

#include <algorithm>
#include <cmath>

namespace tzx::host::filters {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMost = 16384;  // the largest destination side

// Solves the 8 x 8 system of the projective map destination -> source.
bool SolveProjective(const double* n, double* h) {
  double a[8][9];
  for (int i = 0; i < 4; ++i) {
    const double sx = n[4 * i], sy = n[4 * i + 1], dx = n[4 * i + 2], dy = n[4 * i + 3];
    const double r1[9] = {dx, dy, 1, 0, 0, 0, -dx * sx, -dy * sx, sx};
    const double r2[9] = {0, 0, 0, dx, dy, 1, -dx * sy, -dy * sy, sy};
    std::copy(r1, r1 + 9, a[2 * i]);
    std::copy(r2, r2 + 9, a[2 * i + 1]);
  }
  for (int c = 0; c < 8; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 8; ++r) {
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    }
    if (std::fabs(a[pivot][c]) < 1e-12) return false;
    std::swap(a[c], a[pivot]);
    for (int r = 0; r < 8; ++r) {
      if (r == c) continue;
      const double f = a[r][c] / a[c][c];
      for (int k = c; k < 9; ++k) a[r][k] -= f * a[c][k];
    }
  }
  for (int i = 0; i < 8; ++i) h[i] = a[i][8] / a[i][i];
  return true;
}

bool SizeOk(double w, double h) {
  return w >= 1 && h >= 1 && w <= kMost && h <= kMost;
}

double Arg(int count, const double* n, int i, double fallback) {
  return i < count ? n[i] : fallback;
}

}  // namespace

bool PlanDistortion(int method, int count, const double* n, int w, int h, Distortion* d) {
  *d = {};
  d->method = method;
  d->width = w;
  d->height = h;
  if (w < 1 || h < 1) return false;
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(n[i])) return false;
  }
  switch (method) {
    case 4: {
      if (count < 16 || !SolveProjective(n, d->k)) return false;
      double x0 = n[2], x1 = n[2], y0 = n[3], y1 = n[3];
      for (int i = 1; i < 4; ++i) {
        x0 = std::min(x0, n[4 * i + 2]);
        x1 = std::max(x1, n[4 * i + 2]);
        y0 = std::min(y0, n[4 * i + 3]);
        y1 = std::max(y1, n[4 * i + 3]);
      }
      d->k[8] = std::floor(x0);
      d->k[9] = std::floor(y0);
      const double ow = std::ceil(x1) - d->k[8], oh = std::ceil(y1) - d->k[9];
      if (!SizeOk(ow, oh)) return false;
      d->outWidth = int(ow);
      d->outHeight = int(oh);
      return true;
    }
    case 9: {
      const double angle = Arg(count, n, 0, 60);
      if (!(angle > 0 && angle <= 360)) return false;
      const double a = angle * kPi / 180;
      const double outer = std::max(Arg(count, n, 2, w / a), double(h));
      const double inner = std::max(0.0, Arg(count, n, 3, outer - h));
      if (!(outer > inner)) return false;
      const double start = (-90 - angle / 2 + Arg(count, n, 1, 0)) * kPi / 180;
      // The box around the sector: its corners and every quarter turn it holds.
      double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
      auto take = [&](double r, double t) {
        x0 = std::min(x0, r * std::cos(t));
        x1 = std::max(x1, r * std::cos(t));
        y0 = std::min(y0, r * std::sin(t));
        y1 = std::max(y1, r * std::sin(t));
      };
      for (double r : {inner, outer}) {
        take(r, start);
        take(r, start + a);
        for (int q = -8; q <= 8; ++q) {
          const double t = q * kPi / 2;
          if (t > start && t < start + a) take(r, t);
        }
      }
      const double ow = std::ceil(x1 - x0), oh = std::ceil(y1 - y0);
      if (!SizeOk(ow, oh)) return false;
      d->outWidth = int(ow);
      d->outHeight = int(oh);
      d->k[0] = -x0;  // the centre in the destination
      d->k[1] = -y0;
      d->k[2] = start;
      d->k[3] = a;
      d->k[4] = outer;
      d->k[5] = inner;
      return true;
    }
    case 10: {
      const double outer = Arg(count, n, 0, std::min(w, h) / 2.0);
      const double inner = std::max(0.0, Arg(count, n, 1, 0));
      const double start = Arg(count, n, 2, 0);
      const double end = Arg(count, n, 3, start + 360);
      if (!(outer > inner) || !(end > start) || end - start > 360) return false;
      const double side = std::ceil(2 * outer);
      if (!SizeOk(side, side)) return false;
      d->outWidth = d->outHeight = int(side);
      d->k[0] = Arg(count, n, 4, outer);
      d->k[1] = Arg(count, n, 5, outer);
      d->k[2] = (start - 90) * kPi / 180;
      d->k[3] = (end - start) * kPi / 180;
      d->k[4] = outer;
      d->k[5] = inner;
      return true;
    }
    case 12: {
      for (int axis = 0; axis < 2; ++axis) {
        double* k = d->k + 4 * axis;
        const int base = axis == 0 || count <= 4 ? 0 : 4;
        k[0] = Arg(count, n, base, 0);
        k[1] = Arg(count, n, base + 1, 0);
        k[2] = Arg(count, n, base + 2, 0);
        k[3] = Arg(count, n, base + 3, 1 - k[0] - k[1] - k[2]);
      }
      d->k[8] = Arg(count, n, 8, w / 2.0);
      d->k[9] = Arg(count, n, 9, h / 2.0);
      d->k[10] = std::min(w, h) / 2.0;
      d->outWidth = w;
      d->outHeight = h;
      return true;
    }
    default:
      return false;
  }
}

bool SourceOf(const Distortion& d, int x, int y, double* sx, double* sy) {
  const double px = x + 0.5, py = y + 0.5;
  const double* k = d.k;
  switch (d.method) {
    case 4: {
      const double dx = px + k[8], dy = py + k[9];
      const double q = k[6] * dx + k[7] * dy + 1;
      if (std::fabs(q) < 1e-12) return false;
      *sx = (k[0] * dx + k[1] * dy + k[2]) / q;
      *sy = (k[3] * dx + k[4] * dy + k[5]) / q;
      break;
    }
    case 9:
    case 10: {
      const double vx = px - k[0], vy = py - k[1];
      const double r = std::sqrt(vx * vx + vy * vy);
      double t = std::atan2(vy, vx) - k[2];
      t -= std::floor(t / (2 * kPi)) * 2 * kPi;
      if (t >= k[3] || r > k[4] || r < k[5]) return false;
      *sx = t / k[3] * d.width;
      *sy = (k[4] - r) / (k[4] - k[5]) * d.height;
      break;
    }
    case 12: {
      const double unit = k[10];
      const double vx = (px - k[8]) / unit, vy = (py - k[9]) / unit;
      const double r = std::sqrt(vx * vx + vy * vy);
      const double fx = ((k[0] * r + k[1]) * r + k[2]) * r + k[3];
      const double fy = ((k[4] * r + k[5]) * r + k[6]) * r + k[7];
      *sx = k[8] + vx * fx * unit;
      *sy = k[9] + vy * fy * unit;
      break;
    }
    default:
      return false;
  }
  return *sx >= 0 && *sy >= 0 && *sx < d.width && *sy < d.height;
}

}  // namespace tzx::host::filters
