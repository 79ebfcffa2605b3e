// Text objects: a text rendered once into planes and kept under an id, drawn
// many times, scaled, turned, transformed and copied. A transform renders
// the object's own copy of its request afresh, so that scaled outline text
// stays sharp.
#pragma once

#include <cstdint>

#include "layout.h"
#include "tzx/graphics_records.h"
#include "tzx/text.h"

struct lua_State;

namespace tzx::text {

struct TextObject {
  TextObjectHead head;
  // The object's own request: its text and wrap table are blocks of the
  // object; format-tag constants are resolved again at each rendering.
  LayoutRequest request;
  // scaleX, scaleY, width, height, rotate, smoothScale, scaleAndRotate and,
  // for TransformTextObject, the given matrix (matrixGiven).
  graphics::TransformRecord transform;
  int32_t baseAdjustX;
  int32_t baseAdjustY;
  int32_t noAdjust;  // the planes' corner is the asked position
};

extern ObjectHeader* gTextObjectList;

// What a rendering gives: the planes and where they sit.
struct ObjectPlanes {
  graphics::BitmapHandle* color = nullptr;
  graphics::BitmapHandle* alpha = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t adjustX = 0;  // of the untransformed rendering
  int32_t adjustY = 0;
};
void FreeObjectPlanes(ObjectPlanes* planes);

// The request at 1:1; the adjustment is the planes' margin.
int RenderPlain(const LayoutRequest& request, ObjectPlanes* out);

// The request under the transform: identity draws at 1:1, scales draw a
// scalable font at the scale (then fit to the asked size), turns and given
// matrices go through the graphics library's transformation. The transform's
// matrix must be built. 0 or an error code; nothing is left on failure.
int RenderTransformed(const LayoutRequest& request, const graphics::TransformRecord& transform,
                      int32_t baseWidth, int32_t baseHeight, ObjectPlanes* out);

// adjust = the matrix applied to the base adjustment, truncated toward zero.
void TransformedAdjust(const double matrix[4], int32_t baseX, int32_t baseY, int32_t* x,
                       int32_t* y);

// Copies the request with its own text and wrap table; 0 or 1000.
int CopyRequest(const LayoutRequest& from, LayoutRequest* to);
void FreeRequest(LayoutRequest* request);

// Finds a live object (with kFindDeferred also one whose freeing waits).
// 1041 or 1175 when there is none.
int FindTextObjectRecord(const ObjectId& id, uint32_t flags, TextObject** out);

// A new object from a rendered request (the planes and the request copy
// become the object's). The caller has freed an object of the same id.
int AddTextObject(const ObjectId& id, const LayoutRequest& request, const ObjectPlanes& planes,
                  int32_t depth, bool noAdjust, TextObject** out);

// Gives an object of a scalable font the picture that draws its text afresh
// at other sizes; 0 or 1000.
int AttachVectorImage(TextObject* object);

// Frees the object now, or, while a command or a layer uses it, takes it off
// the list and frees it when the last use ends.
void FreeTextObjectRecord(lua_State* L, TextObject* object);
// Frees every object whose freeing waited and that nothing uses any more.
void FreeDeferredTextObjects(lua_State* L);
// Library close: every object, used or not.
void FreeAllTextObjects(lua_State* L);

// Pins the object for the running command; its deferred free completes
// when the last pin goes. 0 or 1000.
int PinTextObject(lua_State* L, TextObject* object);

// A copy with its own planes, request and transform; 0 or an error code.
int CopyTextObjectRecord(const TextObject& source, const ObjectId& id, TextObject** out);

// Replaces the object's planes with a rendering under its transform (whose
// matrix is built from the transform's fields first unless it was given).
int RerenderTextObject(TextObject* object);

// The attribute callback of "Text objects".
int TextObjectAttribute(lua_State* L, int attribute, const ObjectId* id);

}  // namespace tzx::text
