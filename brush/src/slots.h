// The interface slots of brush.tzx that are not record keeping (those are in
// brush_records.h): conversions, drawing, back-end changes, pixel access.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

void* GetBrushTextureHandle(ObjectId* id, void* key);
int ConvertObjectToBrush(lua_State* L, const ConvertRequest* request, ObjectId* outId);
int DrawBrushObject(lua_State* L, const ObjectId* id, int x, int y, int optionsArg);
int RebuildBrushes(int dropHardware, int keepHardware);
void FreeDisplayBrushes(lua_State* L, void* displayKey);
int DetachHardwareBrushes(void* displayKey);
int AttachHardwareBrushes(void* displayKey);
int ReadDrawArguments(lua_State* L, graphics::DrawObjectArgs* frame, int argCount, int part);
PixelAccess* BeginBrushPixelAccess(const ObjectId* id, const BrushTag* tags, PixelAccessInfo* info);
void EndBrushPixelAccess(PixelAccess* access);
int GetBrushTransformedCopy(const ObjectId* id, const BrushTag* tags, BrushCopy* out);
int CreateBrushFromBitmap(lua_State* L, const ObjectId* id, BitmapHandle* bitmap,
                          BitmapHandle* mask, BitmapHandle* alpha, ObjectId* outId);

}  // namespace tzx::brush
