// The interface text.tzx hands its siblings: fonts, text objects and text
// rendering. Members are the slots in slot order; callers index by slot and
// pass a non-zero code on unchanged. No slot raises a script error.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::text {

inline constexpr int kInterfaceSlots = 28;

struct FontRecord;

// Font handles: {type 43, id, font}, in creation order.
struct FontHandle {
  ObjectHeader header;
  FontRecord* font;
  int32_t ownsFont;  // brush fonts belong to their handle
};

// The fields of a text object that its siblings read (the library's
// TextObject extends it). The planes belong to the object; readers change
// nothing.
struct TextObjectHead {
  ObjectHeader header;  // type 8
  graphics::BitmapHandle* color;
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  // Draws the untransformed text afresh at another size or under a matrix
  // (scalable fonts); null otherwise.
  graphics::ImageObject* vectorImage;
  uint32_t* palette;  // null for true-colour renderings
  int32_t transparent;
  int32_t transparentPen;  // -1 none
  int32_t width;           // of the planes, transformed
  int32_t height;
  int32_t baseWidth;  // before any transform
  int32_t baseHeight;
  int32_t depth;
  int32_t adjustX;  // the planes are drawn this far from the asked position
  int32_t adjustY;
  int32_t paletteMode;
  int32_t tagsDisabled;
  int32_t layerClaimed;  // the source of a layer
  int32_t freeDeferred;  // freed by the script while a layer or a command used it
  int32_t pins;          // commands that use the object (tzx/pins.h)
  int32_t transformed;   // the planes are the text under a matrix other than the identity
};

// FindTextObject's flags.
enum FindTextObjectFlags : uint32_t {
  kFindClaimLayer = 1,   // claim the object as the source of a layer
  kFindDeferred = 2,     // objects whose freeing is deferred are found too
  kFindNoClaimHook = 4,  // with kFindClaimLayer: no release hook for the layers library
};

struct FindTextObjectArgs {
  lua_State* L;
  const ObjectId* id;
  TextObjectHead** out;
  uint32_t flags;
};

// Render types of RenderText.
enum RenderType : int32_t {
  kRenderTextObject = 8,
  kRenderTextOut = 9,
  kRenderPrint = 11,
};

// A text request as the siblings hand it over: where the text goes and what
// it is. RenderText, RenderTextObject and AddTextObjectLayer agree on it.
inline constexpr int kRequestTabs = 32;
inline constexpr int kRequestListLevels = 32;
struct TextRequest {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  int32_t encoding;  // 0 8-bit, 1 UTF-8
  int32_t align;     // LEFT (-90000), CENTER, RIGHT or JUSTIFIED
  int32_t flagA;     // 1 at start: format tags are read
  int32_t flagB;     // 0 at start: list mode
  int32_t wrapWidth;
  int32_t lineSpacing;
  int32_t charSpacing;
  int32_t tabCount;
  int32_t tabs[kRequestTabs];
  // Bullet, indent, offset and spacing of each list level.
  int32_t list[4][kRequestListLevels];
  graphics::TextStyle style;  // a null font: the current font
  const char* text;           // in `encoding`; the caller's bytes
  size_t length;
};

// Nodes that a vector-path library attaches to a font's glyph cache; the
// font record keeps them in a list and FreeAllGlyphCacheNodes hands each back.
struct AttachedNode {
  AttachedNode* next;
  const void* key;
  void* data;
};

// What a font open that a script may replay holds (ReplayOpenFont).
struct FontOpenRecord {
  ObjectId id;
  const char* name;
  int32_t size;
  uint32_t packedFlags;  // UnpackFontOpenFlags
  const char* loader;    // may be null
  const char* adapter;   // may be null
  int32_t userTags;      // index of a table of user tags on the stack, 0 none
};

// A rendering: the planes (the caller's afterwards), their size and the
// offset of the planes from the text's corner.
struct RenderedText {
  graphics::BitmapHandle* color;
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  graphics::ImageObject* vectorImage;
  uint32_t* palette;
  int32_t width;
  int32_t height;
  int32_t offsetX;
  int32_t offsetY;
  int32_t depth;
  int32_t transparentPen;
  int32_t reserved;
};

// RenderTextToBitmaps' record.
struct RenderBitmapsRecord {
  const TextRequest* request;
  int32_t wantPalette;
  graphics::BitmapHandle** color;
  graphics::BitmapHandle** mask;
  graphics::BitmapHandle** alpha;
  uint32_t** palette;  // a new 256-entry block when asked for, else null
  int32_t* paletteFlag;
  int32_t* vectorFlag;
  graphics::ImageObject** vector;
  int32_t* width;
  int32_t* height;
  int32_t* depth;
};

// AddTextObjectLayer's record: a text object shown as a layer.
struct TextObjectLayerRecord {
  lua_State* L;
  int32_t type;
  ObjectId id;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  const graphics::TagRecord* tags;
  const graphics::TransformRecord* transform;
  const TextRequest* request;
};

// The outline of an object's image (RenderObjectOutline).
struct OutlineRecord {
  lua_State* L;
  int32_t type;
  ObjectId id;
  uint32_t color;
  int32_t withMask;
  int32_t level;
  int32_t size;
  graphics::BitmapHandle** outColor;  // 8-bit pens with a palette, or null
  graphics::BitmapHandle** outMask;
  graphics::BitmapHandle** outAlpha;
  uint32_t** outPalette;
  int32_t* outWidth;
  int32_t* outHeight;
};

struct TextInterface {
  int (*InitDefaultFont)(FontRecord** out);                     // 0
  int (*FindFontHandle)(const ObjectId* id, FontHandle** out);  // 1
  // 2: with L the object is pinned for the caller's command: replacing it
  // then fails with 1314, freeing it waits for the command's end.
  int (*FindTextObject)(const FindTextObjectArgs* args);  // 2
  // 3, 4: render the request into planes that a new layer takes over
  // (layers slot 37); 1685 ("layers") without the layers library. Slot 3's
  // layer is numbered by the layers library, on the current display.
  int (*AddTextObjectLayer)(const TextObjectLayerRecord* record);  // 3
  int (*AddTextLayer)(lua_State* L, const void* display, const ObjectId* id, int x, int y,
                      int right, int bottom, const TextRequest* request);  // 4
  TextRequest* (*InitTextRequest)(TextRequest* request);                   // 5
  // 6, 7, 8: new planes that belong to the caller (the graphics library's
  // FreeBitmapSet); RenderText draws under the transform when one is given.
  int (*RenderText)(lua_State* L, void* target, int index, const TextRequest* request, int type,
                    int formatTagsDisabled, int paletteMode,
                    const graphics::TransformRecord* transform, const graphics::TagRecord* tags,
                    uint32_t flags, RenderedText* out);  // 6
  int (*RenderTextObject)(lua_State* L, TextObjectHead* object, int keep,
                          RenderedText* out);                                          // 7
  int (*RenderTextToBitmaps)(const RenderBitmapsRecord* record);                       // 8
  int (*RenderObjectOutline)(const OutlineRecord* record);                             // 9
  void (*FreeDeferredTextObjects)(lua_State* L);                                       // 10
  void (*DefaultLoaderList)(int engine, char* buffer, size_t size);                    // 11
  void (*ClampShadowBorder)(graphics::TextStyle* style);                               // 12
  int (*ParseTabsTable)(lua_State* L, int index, TextRequest* request, int* present);  // 13
  int (*ParseListOptions)(lua_State* L, int index, TextRequest* request, int reset,
                          int* present);                                         // 14
  void (*FreeAllGlyphCacheNodes)();                                              // 15
  int (*GetFontAttribute)(lua_State* L, int attribute, const ObjectId* fontId);  // 16
  FontRecord* (*FindFontByCacheNode)(const void* key);                           // 17
  // 1 with the file's path and the face's place in it, else 0.
  int (*FindSystemFont)(const char* name, int weight, int slant, int needStandalone, char* path,
                        size_t size, int64_t* faceOffset, int64_t* faceLength,
                        int* isTemporary);  // 18
  void (*UnpackFontOpenFlags)(uint32_t packed, int* engine, int* cache, int* usePoints,
                              int* charmap);                          // 19
  int (*ReplayOpenFont)(lua_State* L, const FontOpenRecord* record);  // 20
  int (*OpenFontByName)(const char* name, int size, int cache, int usePoints, int charmap,
                        int linkedFile, const char* loaders, const char* adapter,
                        const void* userTags, FontRecord** out);  // 21
  const uint32_t* (*GetFontPalette)(const FontRecord* font);      // 22
  int (*GetFontTransparentPen)(const FontRecord* font);           // 23
  int (*GetFontDepth)(const FontRecord* font);                    // 24
  int (*FindFontFile)(const char* name, char* path, size_t size, int* kind, int64_t* faceOffset,
                      int64_t* faceLength, int* isTemporary);  // 25
  void* (*GetFontFace)(const FontRecord* font);                // 26
  int (*GetFontSource)(const FontRecord* font, const char** path, const void** address,
                       size_t* length);  // 27
};

static_assert(offsetof(TextInterface, InitDefaultFont) == 0);
static_assert(offsetof(TextInterface, FindTextObject) == 2 * sizeof(void*));
static_assert(offsetof(TextInterface, RenderText) == 6 * sizeof(void*));
static_assert(offsetof(TextInterface, FreeDeferredTextObjects) == 10 * sizeof(void*));
static_assert(offsetof(TextInterface, FreeAllGlyphCacheNodes) == 15 * sizeof(void*));
static_assert(offsetof(TextInterface, GetFontAttribute) == 16 * sizeof(void*));
static_assert(offsetof(TextInterface, ReplayOpenFont) == 20 * sizeof(void*));
static_assert(offsetof(TextInterface, GetFontPalette) == 22 * sizeof(void*));
static_assert(offsetof(TextInterface, GetFontSource) == 27 * sizeof(void*));
static_assert(sizeof(TextInterface) == kInterfaceSlots * sizeof(void*));

}  // namespace tzx::text
