#include "image_objects.h"

#include <cstring>

#include "bitmap_sets.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

size_t PixelBytes(int width, int height) {
  return static_cast<size_t>(width) * height * 4;
}

}  // namespace

ImageObject* CreateImageObject(int type, int width, int height, const uint32_t* source, void* data,
                               ImageDrawFn draw, ImageFreeFn freeData) {
  if (width < 1 || height < 1) return nullptr;
  auto* image = AllocRecord<ImageObject>();
  if (!image) return nullptr;
  *image = {type, 1, width, height, nullptr, 0, data, draw, freeData};
  if (!draw) {
    image->pixels = static_cast<uint32_t*>(HostAlloc(PixelBytes(width, height), !source));
    if (!image->pixels) {
      HostFree(image);
      return nullptr;
    }
    image->ownsPixels = 1;
    if (source) std::memcpy(image->pixels, source, PixelBytes(width, height));
  }
  return image;
}

ImageObject* RetainImageObject(ImageObject* image) {
  if (image) ++image->refCount;
  return image;
}

void FreeImageObjectData(ImageObject* image) {
  if (!image) return;
  if (image->ownsPixels) HostFree(image->pixels);
  image->pixels = nullptr;
  image->ownsPixels = 0;
  if (image->freeData && image->data) image->freeData(image->data);
  image->data = nullptr;
}

void ReleaseImageObject(ImageObject* image) {
  if (!image || --image->refCount > 0) return;
  FreeImageObjectData(image);
  HostFree(image);
}

int GetImageObjectType(const ImageObject* image) {
  return image && image->draw ? kImagetypeVector : kImagetypeRaster;
}

void GetImageObjectSize(const ImageObject* image, int* width, int* height) {
  *width = image ? image->width : 0;
  *height = image ? image->height : 0;
}

void SetImageObjectData(ImageObject* image, void* data, ImageFreeFn freeData) {
  if (!image) return;
  if (image->freeData && image->data && image->data != data) image->freeData(image->data);
  image->data = data;
  image->freeData = freeData;
}

void SetImageObjectFields(ImageObject* image, int type, int width, int height) {
  if (!image) return;
  image->type = type;
  // Pixels are sized by the record; only drawn pictures can change size here.
  if (!image->pixels && width > 0 && height > 0) {
    image->width = width;
    image->height = height;
  }
}

int RasterizeImageObject(ImageObject* image, int width, int height, const double matrix[4],
                         BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha) {
  if (!image || !color) return kErrRange;
  if (width <= 0) width = image->width;
  if (height <= 0) height = image->height;
  if (image->draw) {
    static const double kIdentity[4] = {1, 0, 0, 1};
    return image->draw(image->data, width, height, matrix ? matrix : kIdentity, color, mask, alpha);
  }
  if (!image->pixels) return kErrImageObject;
  // Other sizes and matrices are the scaling and transformation slots' work.
  if (width != image->width || height != image->height || (matrix && !IsIdentity(matrix))) {
    return kErrRange;
  }
  if (mask) *mask = nullptr;
  return ConvertBitmapSet(image->pixels, 0xFFFFFFFF, width, height, width, 0,
                          kConvertAlphaFromTopByte, nullptr, color, nullptr, alpha);
}

ImageObject* CloneImageObject(const ImageObject* image) {
  if (!image || image->type == 0 || image->type == 1 || !image->pixels || image->data) {
    return nullptr;
  }
  return CreateImageObject(image->type, image->width, image->height, image->pixels, nullptr,
                           nullptr, nullptr);
}

}  // namespace tzx::graphics
