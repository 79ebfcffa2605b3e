// The interface table brush.tzx hands its siblings, and the slots that serve
// siblings only: drawing, pixel access, copies and brushes over given planes.
#include "interface.h"

#include "bindings.h"
#include "copy.h"
#include "plane_lock.h"
#include "slots.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {

// Held between BeginBrushPixelAccess and EndBrushPixelAccess.
struct PixelAccess {
  PlaneLock lock;
  BitmapHandle* bitmap;  // written back from `copy` at the end
  uint32_t* copy;
};

namespace {

const double kIdentity[4] = {1, 0, 0, 1};

intptr_t TagValue(const BrushTag* tags, int32_t tag, intptr_t fallback) {
  for (const BrushTag* t = tags; t && t->tag != kBrushTagEnd; ++t) {
    if (t->tag == tag) return t->value;
  }
  return fallback;
}

}  // namespace

int DrawBrushObject(lua_State* L, const ObjectId* id, int x, int y, int optionsArg) {
  graphics::DrawObjectArgs a{};
  a.type = graphics::kDrawBrush;
  a.id = id;
  a.x = x;
  a.y = y;
  a.tagIndex = optionsArg;
  return gBound.graphics->DrawObject(L, &a);
}

PixelAccess* BeginBrushPixelAccess(const ObjectId* id, const BrushTag* tags,
                                   PixelAccessInfo* info) {
  BrushRecord* b = nullptr;
  if (FindBrush(nullptr, id, &b, kFindRead) != 0 || b->kind == kKindVector) return nullptr;
  if (b->chunky && !TagValue(tags, kBrushTagPalette, 0)) return nullptr;
  if (!b->chunky && !b->bitmap) return nullptr;
  auto* access = AllocRecord<PixelAccess>();
  if (!access) return nullptr;
  if (!LockPlane(b->chunky ? b->chunky : b->bitmap, true, &access->lock)) {
    HostFree(access);
    return nullptr;
  }
  const PlaneLock& l = access->lock;
  *info =
      PixelAccessInfo{l.pixels, l.format, l.bytesPerRow, b->width, b->height, nullptr, 0, kNoPen};
  if (b->chunky) {
    info->palette = b->palette;
    info->depth = b->depth;
    if (TagValue(tags, kBrushTagTransparentPen, 0)) info->transparentPen = b->transparentPen;
    return access;
  }
  info->depth = b->depth;
  if (l.format != graphics::kFormatArgb32) {
    // Other formats are handed out as a 0xAARRGGBB copy that goes back at
    // the end, when the caller allows the conversion.
    access->copy = TagValue(tags, kBrushTagConvert, 0)
                       ? gBound.graphics->BitmapToARGBArray(b->bitmap, nullptr, nullptr, 0, 0,
                                                            b->width, b->height)
                       : nullptr;
    if (!access->copy) {
      EndBrushPixelAccess(access);
      return nullptr;
    }
    access->bitmap = b->bitmap;
    info->pixels = reinterpret_cast<uint8_t*>(access->copy);
    info->format = graphics::kFormatArgb32;
    info->bytesPerRow = b->width * 4;
  }
  return access;
}

void EndBrushPixelAccess(PixelAccess* access) {
  if (!access) return;
  UnlockPlane(&access->lock);
  if (access->copy && access->bitmap) {
    gBound.graphics->CopyRGBArray(access->copy, access->bitmap->width, access->bitmap, nullptr,
                                  nullptr, 0, 0, access->bitmap->width, access->bitmap->height, 1);
  }
  HostFree(access->copy);
  HostFree(access);
}

int GetBrushTransformedCopy(const ObjectId* id, const BrushTag* tags, BrushCopy* out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(nullptr, id, &b, kFindReadHardware)) return rc;
  const auto* matrix =
      reinterpret_cast<const double*>(TagValue(tags, kBrushTagTransform, intptr_t{0}));
  if (!matrix) matrix = kIdentity;
  *out = BrushCopy{};
  const bool planes = b->bitmap || b->chunky;
  if (!planes || (b->kind == kKindVector && !graphics::IsIdentity(matrix))) {
    // Drawn afresh from the picture, at the size the matrix gives the brush.
    if (!b->imageObject) return kErrNotAllowed;
    int width = b->width, height = b->height;
    if (!graphics::IsIdentity(matrix)) {
      if (!g.TransformBoxSize) return kErrRange;
      g.TransformBoxSize(matrix, b->width, b->height, &width, &height);
    }
    int rc = g.RasterizeImageObject(b->imageObject, width, height, matrix, &out->bitmap, &out->mask,
                                    &out->alpha);
    if (rc == 0 && out->bitmap) {
      out->width = out->bitmap->width;
      out->height = out->bitmap->height;
    }
    return rc;
  }
  if (int rc =
          g.CropBitmapSet(b->bitmap, b->mask, b->alpha, b->chunky, b->palette, 0, 0, 0, 0,
                          &out->bitmap, &out->mask, &out->alpha, &out->chunky, &out->palette)) {
    return rc;
  }
  out->width = b->width;
  out->height = b->height;
  if (graphics::IsIdentity(matrix)) return 0;
  int rc = g.RotateBitmapSet
               ? g.RotateBitmapSet(&out->bitmap, &out->mask, &out->alpha, &out->chunky, b->width,
                                   b->height, matrix, 0, &out->width, &out->height)
               : kErrRange;
  if (rc) {
    g.FreeBitmapSet(&out->bitmap, &out->mask, &out->alpha);
    g.FreeBitmapSet(&out->chunky, nullptr, nullptr);
    HostFree(out->palette);
    *out = BrushCopy{};
  }
  return rc;
}

int CreateBrushFromBitmap(lua_State* L, const ObjectId* id, BitmapHandle* bitmap,
                          BitmapHandle* mask, BitmapHandle* alpha, ObjectId* outId) {
  if (!bitmap || bitmap->kind != graphics::kKindColor) return kErrRange;
  if (int rc = FreeBrushForReuse(L, *id)) return rc;
  NewBrush n{};
  n.id = *id;
  n.width = n.rowWidth = bitmap->width;
  n.height = bitmap->height;
  n.bitmap = bitmap;
  n.mask = mask;
  n.alpha = alpha;
  n.transparentPen = mask ? kMaskWithoutKey : kNoPen;
  n.depth = mask || alpha ? 32 : 24;
  BrushRecord* b = nullptr;
  if (int rc = AddBrushRecord(&n, &b)) return rc;
  *outId = b->header.id;
  return 0;
}

const BrushInterface kInterface = {
    .FindBrush = FindBrush,
    .GetBrushTextureHandle = GetBrushTextureHandle,
    .AddBrushRecord = AddBrushRecord,
    .FreeBrushById = FreeBrushById,
    .PurgeDetachedBrushes = PurgeDetachedBrushes,
    .ConvertObjectToBrush = ConvertObjectToBrush,
    .CloneBrushForLayer = CloneBrushForLayer,
    .CreateBrushCore = CreateBrushCore,
    .DrawBrushObject = DrawBrushObject,
    .RebuildBrushes = RebuildBrushes,
    .FreeDisplayBrushes = FreeDisplayBrushes,
    .DetachHardwareBrushes = DetachHardwareBrushes,
    .AttachHardwareBrushes = AttachHardwareBrushes,
    .ReadDrawArguments = ReadDrawArguments,
    .BeginBrushPixelAccess = BeginBrushPixelAccess,
    .EndBrushPixelAccess = EndBrushPixelAccess,
    .GetBrushTransformedCopy = GetBrushTransformedCopy,
    .CreateBrushFromBitmap = CreateBrushFromBitmap,
};

}  // namespace tzx::brush
