// Image objects: pictures shared between libraries by reference count, held
// as 0xAARRGGBB pixels or drawn on demand by their creator.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// A record with a reference count of 1. With `draw` the picture is a vector
// picture drawn by its creator; otherwise it holds width × height pixels,
// copied from `source` or cleared. Null when memory runs out or the size is
// not positive.
ImageObject* CreateImageObject(int type, int width, int height, const uint32_t* source, void* data,
                               ImageDrawFn draw, ImageFreeFn freeData);
ImageObject* RetainImageObject(ImageObject* image);
// Count - 1; at 0 the pixels, the creator's data and the record go.
void ReleaseImageObject(ImageObject* image);
// Drops the pixels and the creator's data but keeps the record.
void FreeImageObjectData(ImageObject* image);
int GetImageObjectType(const ImageObject* image);  // IMAGETYPE_RASTER or IMAGETYPE_VECTOR
void GetImageObjectSize(const ImageObject* image, int* width, int* height);
// Replaces the creator's data (the old data is released).
void SetImageObjectData(ImageObject* image, void* data, ImageFreeFn freeData);
void SetImageObjectFields(ImageObject* image, int type, int width, int height);
// Planes of the picture at a size: vector pictures are drawn by their creator;
// raster pictures are given at their own size with the identity matrix (a
// colour bitmap and an alpha channel from the pixels' top bytes).
int RasterizeImageObject(ImageObject* image, int width, int height, const double matrix[4],
                         BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha);
// A copy with its own pixels and a count of 1. Types 0 and 1 are not cloned,
// and neither is a picture whose data only its creator knows: null.
ImageObject* CloneImageObject(const ImageObject* image);

}  // namespace tzx::graphics
