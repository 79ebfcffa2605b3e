// libFuzzer target: the picture probe and decode over arbitrary bytes, then the
// work a decode request does on a picture, and the encoders on what came out.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "graphics/src/graphics_state.h"
#include "graphics/src/scale_bitmap.h"
#include "siblings/imageio/picture.h"

namespace {

using namespace tzx::host::imageio;

// Small limits keep each run quick; the size checks are the same at any limit.
const Limits kLimits{2048, uint64_t{1} << 20};

void Reencode(const Picture& p) {
  SaveSource s;
  s.width = p.info.width;
  s.height = p.info.height;
  if (p.argb) {
    s.argb = reinterpret_cast<const uint8_t*>(p.argb);
    s.argbStride = tzx::graphics::ColorRowPixels(s.width) * 4;
  } else {
    s.indices = p.indices;
    s.indexStride = s.width;
    s.palette = p.palette;
    s.depth = p.info.depth;
    s.transparentPen = p.transparentPen;
  }
  for (auto encode : {EncodePng, EncodeBmp}) {
    ByteBuffer out;
    if (encode(s, &out) == Status::kOk) ReleaseBuffer(&out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int32_t format = SniffFormat(data, size);
  PictureInfo info;
  ProbePicture(format, data, size, kLimits, &info);
  for (bool pens : {false, true}) {
    Picture p;
    if (DecodePicture(format, data, size, pens, kLimits, &p) != Status::kOk) continue;
    FreePlane(AlphaPlane(p));
    if (p.info.width * int64_t{p.info.height} < 65536) Reencode(p);
    ScalePicture(tzx::graphics::gInterface, &p, 1 + p.info.width / 3, 1 + p.info.height / 2, !pens);
    FlattenPicture(&p, 0x808080);
    ReleasePicture(&p);
  }
  tzx::graphics::ReleaseScaleScratch();
  return 0;
}
