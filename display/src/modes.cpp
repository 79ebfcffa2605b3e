#include "modes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tzx::display {

int UniqueSizes(ModeSize* modes, int count) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    bool seen = false;
    for (int j = 0; j < kept && !seen; ++j) {
      seen = modes[j].width == modes[i].width && modes[j].height == modes[i].height;
    }
    if (!seen) modes[kept++] = modes[i];
  }
  return kept;
}

int ChooseMode(const platform::ScreenMode* modes, int count, int width, int height, int depth) {
  int best = -1;
  int64_t bestArea = 0;
  for (int i = 0; i < count; ++i) {
    const platform::ScreenMode& m = modes[i];
    if (m.width < width || m.height < height || m.depth < depth) continue;
    int64_t area = int64_t(m.width) * m.height;
    if (best < 0 || area < bestArea) {
      best = i;
      bestArea = area;
    }
  }
  return best;
}

namespace {

int Round(double v) {
  return int(std::floor(v + 0.5));
}

}  // namespace

PictureView ViewOf(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight,
                   bool scaled, bool keepAspect) {
  if (!scaled || pictureWidth < 1 || pictureHeight < 1) {
    return PictureView{0, 0, pictureWidth, pictureHeight};
  }
  if (!keepAspect) return PictureView{0, 0, clientWidth, clientHeight};
  // Compare clientWidth / clientHeight with the picture's aspect exactly.
  int64_t wide = int64_t(clientWidth) * pictureHeight, tall = int64_t(clientHeight) * pictureWidth;
  int width = clientWidth, height = clientHeight;
  if (wide > tall) {
    width = std::max(1, Round(double(clientHeight) * pictureWidth / pictureHeight));
  } else if (wide < tall) {
    height = std::max(1, Round(double(clientWidth) * pictureHeight / pictureWidth));
  }
  return PictureView{(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
}

void ToPicture(const PictureView& v, int pictureWidth, int pictureHeight, int x, int y, int* outX,
               int* outY) {
  if (v.width == pictureWidth && v.height == pictureHeight) {
    *outX = x - v.x;
    *outY = y - v.y;
    return;
  }
  // Floor division, so that points left of or above the picture stay
  // outside it.
  auto map = [](int p, int origin, int size, int picture) {
    int64_t n = int64_t(p - origin) * picture;
    return int(n >= 0 ? n / size : -((-n + size - 1) / size));
  };
  *outX = v.width > 0 ? map(x, v.x, v.width, pictureWidth) : x;
  *outY = v.height > 0 ? map(y, v.y, v.height, pictureHeight) : y;
}

void KeepAspect(int pictureWidth, int pictureHeight, int oldWidth, int oldHeight, int* width,
                int* height) {
  if (pictureWidth < 1 || pictureHeight < 1) return;
  if (std::abs(*width - oldWidth) * pictureHeight >= std::abs(*height - oldHeight) * pictureWidth) {
    *height = std::max(1, Round(double(*width) * pictureHeight / pictureWidth));
  } else {
    *width = std::max(1, Round(double(*height) * pictureWidth / pictureHeight));
  }
}

}  // namespace tzx::display
