// Every slot of text.tzx's interface, called as a sibling library calls it:
// through the table the loaded plug-in hands over, with objects the script
// made.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "services.h"
#include "tessera/host.h"
#include "text/src/font_record.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"
#include "tzx/host.h"
#include "tzx/text.h"
#include "tzx/text_constants.h"

namespace {

using tzx::ObjectId;
using tzx::text::TextInterface;

class TextInterfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "text"};
    options.siblings = {"object"};
    host_ = std::make_unique<tessera::Host>(options);
    std::string error;
    ASSERT_TRUE(host_->Start(&error)) << error;
    for (const tessera::LoadedLibrary& l : host_->Libraries()) {
      if (l.name == "text") text_ = static_cast<const TextInterface*>(l.interface);
      if (l.name == "graphics")
        gfx_ = static_cast<const tzx::graphics::GraphicsInterface*>(l.interface);
    }
    ASSERT_TRUE(text_ && gfx_);
    const void* const* slots = reinterpret_cast<const void* const*>(text_);
    for (int i = 0; i < tzx::text::kInterfaceSlots; ++i) EXPECT_TRUE(slots[i]) << "slot " << i;
  }
  void TearDown() override {
    host_->Stop();
    EXPECT_EQ(host_->LiveBlocks(), 0);
  }
  void Run(const std::string& code) {
    std::string error;
    ASSERT_TRUE(host_->RunString(code, &error)) << error;
  }
  void Free(tzx::text::RenderedText* r) { gfx_->FreeBitmapSet(&r->color, &r->mask, &r->alpha); }
  tzx::text::TextObjectHead* Find(int number, uint32_t flags, int* rc) {
    tzx::text::TextObjectHead* o = nullptr;
    const ObjectId id{number, nullptr};
    const tzx::text::FindTextObjectArgs args{nullptr, &id, &o, flags};
    *rc = text_->FindTextObject(&args);
    return o;
  }

  std::unique_ptr<tessera::Host> host_;
  const TextInterface* text_ = nullptr;
  const tzx::graphics::GraphicsInterface* gfx_ = nullptr;
};

TEST_F(TextInterfaceTest, FontsByHandleAndTheirProperties) {
  tzx::text::FontRecord* topaz = nullptr;
  ASSERT_EQ(text_->InitDefaultFont(&topaz), 0);
  ASSERT_TRUE(topaz);
  EXPECT_STREQ(topaz->name, "topaz");
  EXPECT_EQ(gfx_->state.textStyle.font, topaz);
  EXPECT_EQ(text_->GetFontDepth(topaz), 1);
  EXPECT_EQ(text_->GetFontTransparentPen(topaz), -1);
  EXPECT_EQ(text_->GetFontPalette(topaz), nullptr);
  EXPECT_EQ(text_->GetFontFace(topaz), nullptr);

  Run("OpenFont(1, SANS, 12) SetFontStyle(ANTIALIAS)");
  tzx::text::FontHandle* h = nullptr;
  const ObjectId one{1, nullptr}, nine{9, nullptr};
  ASSERT_EQ(text_->FindFontHandle(&one, &h), 0);
  EXPECT_EQ(h->header.type, tzx::kTypeFont);
  EXPECT_EQ(text_->GetFontDepth(h->font), 8);
  EXPECT_TRUE(text_->GetFontFace(h->font));
  const char* path = nullptr;
  const void* address = nullptr;
  size_t length = 0;
  ASSERT_EQ(text_->GetFontSource(h->font, &path, &address, &length), 0);
  EXPECT_TRUE(address);  // the stored font's bytes
  EXPECT_EQ(length, 65932u);
  EXPECT_EQ(text_->GetFontSource(topaz, &path, &address, &length), tzx::kErrRange);
  EXPECT_EQ(text_->FindFontHandle(&nine, &h), tzx::kErrUnknownFont);
  int stray;
  const ObjectId automatic{0, &stray};
  EXPECT_EQ(text_->FindFontHandle(&automatic, &h), tzx::kErrUnknownAutoId);

  // Font attributes as GetAttribute reads them: by handle, or the current font.
  lua_State* L = host_->L();
  const tzx::LuaApi& lua = *tzx::host::RootServices()->lua;
  ASSERT_EQ(text_->GetFontAttribute(L, tzx::text::kAttrfontheight, &one), 1);
  EXPECT_EQ(lua.tonumber(L, -1), 12);
  ASSERT_EQ(text_->GetFontAttribute(L, tzx::text::kAttrfontname, nullptr), 1);
  EXPECT_STREQ(lua.tolstring(L, -1, nullptr), "topaz");
  lua.settop(L, 0);
  EXPECT_EQ(text_->GetFontAttribute(L, 7777, nullptr), tzx::kErrUnknownAttribute);

  char loaders[64];
  text_->DefaultLoaderList(tzx::text::kFontengineNative, loaders, sizeof loaders);
  EXPECT_STREQ(loaders, "plugin|native");
  text_->DefaultLoaderList(tzx::text::kFontenginePlugin, loaders, sizeof loaders);
  EXPECT_STREQ(loaders, "plugin");
  text_->DefaultLoaderList(tzx::text::kFontengineInbuilt, loaders, sizeof loaders);
  EXPECT_STREQ(loaders, "plugin|inbuilt|native");

  int engine, cache, usePoints, charmap;
  text_->UnpackFontOpenFlags(0x07030004, &engine, &cache, &usePoints, &charmap);
  EXPECT_EQ(engine, 4);
  EXPECT_EQ(cache, 0);
  EXPECT_EQ(usePoints, 1);
  EXPECT_EQ(charmap, 7);

  tzx::text::FontRecord* opened = nullptr;
  ASSERT_EQ(
      text_->OpenFontByName(tzx::text::kSans, 12, 1, 0, 0, 0, "inbuilt", nullptr, nullptr, &opened),
      0);
  EXPECT_EQ(opened, h->font) << "shared with the handle's open";
  char file[1024];
  int64_t offset = -1, size = -1;
  int kind = -1, temporary = -1;
  EXPECT_EQ(text_->FindFontFile("no such font anywhere", file, sizeof file, &kind, &offset, &size,
                                &temporary),
            tzx::kErrFontNotFound);
  EXPECT_EQ(text_->FindSystemFont("no such font anywhere", -1, 0, 0, file, sizeof file, &offset,
                                  &size, &temporary),
            0);

  // Nodes attached to a font's glyph cache are found by key and handed back.
  auto* node = static_cast<tzx::text::AttachedNode*>(
      tzx::host::kMemory.alloc(sizeof(tzx::text::AttachedNode), tzx::kAllocZero));
  int key;
  node->key = &key;
  h->font->attachedNodes = node;
  EXPECT_EQ(text_->FindFontByCacheNode(&key), h->font);
  EXPECT_EQ(text_->FindFontByCacheNode(&stray), nullptr);
  text_->FreeAllGlyphCacheNodes();
  EXPECT_EQ(h->font->attachedNodes, nullptr);
  EXPECT_EQ(text_->FindFontByCacheNode(&key), nullptr);

  tzx::graphics::TextStyle style{};
  style.shadowSize = 0;
  style.borderSize = 99;
  style.shadowDir = 12;
  text_->ClampShadowBorder(&style);
  EXPECT_EQ(style.shadowSize, 1);
  EXPECT_EQ(style.borderSize, 64);
  EXPECT_EQ(style.shadowDir, 3);
}

TEST_F(TextInterfaceTest, TextObjectsFoundClaimedAndFreedLater) {
  Run("CreateTextObject(3, 'abc')");
  int rc = 0;
  tzx::text::TextObjectHead* o = Find(3, 0, &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(o->width, 3 * 8 + 4);
  EXPECT_EQ(o->adjustX, -2);
  EXPECT_TRUE(o->color && o->alpha);
  Find(4, 0, &rc);
  EXPECT_EQ(rc, tzx::kErrUnknownTextObject);

  // A layer's claim: a second one is refused, freeing waits for the layer.
  EXPECT_EQ(Find(3, tzx::text::kFindClaimLayer, &rc), o);
  EXPECT_EQ(o->layerClaimed, 1);
  Find(3, tzx::text::kFindClaimLayer, &rc);
  EXPECT_EQ(rc, tzx::kErrObjectBusy);
  std::string error;
  EXPECT_FALSE(host_->RunString("CreateTextObject(3, 'x')", &error));
  EXPECT_NE(error.find("(error 1314)"), std::string::npos) << error;
  Run("FreeTextObject(3) CreateTextObject(3, 'new')");
  EXPECT_EQ(Find(3, 0, &rc)->width, 3 * 8 + 4);
  EXPECT_NE(Find(3, 0, &rc), o);
  // Only the new object has the id; the old one is found when asked for.
  o->header.id = ObjectId{5, nullptr};
  EXPECT_EQ(Find(5, tzx::text::kFindDeferred, &rc), o);
  EXPECT_EQ(o->freeDeferred, 1);
  text_->FreeDeferredTextObjects(host_->L());
  EXPECT_EQ(Find(5, tzx::text::kFindDeferred, &rc), o) << "still the source of a layer";
  o->layerClaimed = 0;  // the layer let go
  text_->FreeDeferredTextObjects(host_->L());
  Find(5, tzx::text::kFindDeferred, &rc);
  EXPECT_EQ(rc, tzx::kErrUnknownTextObject);

  // Without a layers library there is no layer to add (tests/unit/layers_test.cpp
  // adds them with one).
  EXPECT_EQ(text_->AddTextObjectLayer(nullptr), tzx::kErrSiblingAbsent);
  EXPECT_EQ(text_->AddTextLayer(host_->L(), nullptr, nullptr, 0, 0, 1, 1, nullptr),
            tzx::kErrSiblingAbsent);

  // Re-rendering the object's request, and the outline of its image.
  Run("RotateTextObject(3, 90)");
  o = Find(3, 0, &rc);
  tzx::text::RenderedText r{};
  ASSERT_EQ(text_->RenderTextObject(host_->L(), o, 0, &r), 0);
  EXPECT_EQ(r.width, o->width);
  EXPECT_EQ(r.height, o->height);
  EXPECT_EQ(r.offsetX, o->adjustX);
  Free(&r);

  tzx::graphics::BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  int width = 0, height = 0;
  tzx::text::OutlineRecord outline{host_->L(),
                                   tzx::kTypeTextObject,
                                   ObjectId{3, nullptr},
                                   0xFF0000,
                                   0,
                                   255,
                                   2,
                                   &color,
                                   &mask,
                                   &alpha,
                                   nullptr,
                                   &width,
                                   &height};
  ASSERT_EQ(text_->RenderObjectOutline(&outline), 0);
  EXPECT_EQ(width, o->width + 5);
  EXPECT_EQ(height, o->height + 5);
  EXPECT_EQ(color->width, width);
  EXPECT_EQ(alpha->height, height);
  gfx_->FreeBitmapSet(&color, &mask, &alpha);
  outline.type = tzx::kTypeBrush;
  EXPECT_EQ(text_->RenderObjectOutline(&outline), tzx::kErrSiblingAbsent);
}

TEST_F(TextInterfaceTest, RequestsRenderedForOtherLibraries) {
  tzx::text::TextRequest request{};
  ASSERT_EQ(text_->InitTextRequest(&request), &request);
  EXPECT_EQ(request.align, -90000);
  EXPECT_EQ(request.flagA, 1);
  EXPECT_EQ(request.flagB, 0);
  EXPECT_EQ(request.encoding, 1) << "the host's default encoding, UTF-8";
  request.style.fontColor = 0x00FF00;
  request.text = "ab";
  request.length = 2;
  for (auto& level : request.list) level[0] = 4;

  tzx::text::RenderedText r{};
  ASSERT_EQ(text_->RenderText(host_->L(), nullptr, 0, &request, tzx::text::kRenderTextOut, 0, 0,
                              nullptr, nullptr, 0, &r),
            0);
  EXPECT_EQ(r.width, 2 * 8 + 4);
  EXPECT_EQ(r.height, 8 + 4);
  EXPECT_EQ(r.depth, 1);
  Free(&r);
  tzx::graphics::TransformRecord turn{};
  turn.scaleX = turn.scaleY = 1.0;
  turn.rotate = 90;
  ASSERT_EQ(text_->RenderText(host_->L(), nullptr, 0, &request, tzx::text::kRenderTextObject, 0, 0,
                              &turn, nullptr, 0, &r),
            0);
  EXPECT_EQ(r.width, 8 + 4);
  EXPECT_EQ(r.height, 2 * 8 + 4);
  Free(&r);
  EXPECT_EQ(text_->RenderText(host_->L(), nullptr, 0, &request, 10, 0, 0, nullptr, nullptr, 0, &r),
            tzx::kErrRange);
  request.encoding = 2;
  EXPECT_EQ(text_->RenderText(host_->L(), nullptr, 0, &request, tzx::text::kRenderPrint, 0, 0,
                              nullptr, nullptr, 0, &r),
            tzx::kErrZeroOrOne);
  request.encoding = 1;

  tzx::graphics::BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  uint32_t* palette = nullptr;
  int paletteFlag = -1, vectorFlag = -1, width = 0, height = 0, depth = 0;
  tzx::graphics::ImageObject* vector = nullptr;
  const tzx::text::RenderBitmapsRecord bitmaps{&request, 1,        &color,       &mask,
                                               &alpha,   &palette, &paletteFlag, &vectorFlag,
                                               &vector,  &width,   &height,      &depth};
  ASSERT_EQ(text_->RenderTextToBitmaps(&bitmaps), 0);
  EXPECT_EQ(width, 2 * 8 + 4);
  EXPECT_EQ(depth, 1);
  ASSERT_TRUE(palette);
  EXPECT_EQ(palette[1], 0x00FF00u) << "the font colour in the palette";
  EXPECT_EQ(paletteFlag, 0);
  EXPECT_EQ(vectorFlag, 0);
  tzx::host::kMemory.free(palette);
  gfx_->FreeBitmapSet(&color, &mask, &alpha);
}

TEST_F(TextInterfaceTest, TabsListsAndTheReplayedOpen) {
  lua_State* L = host_->L();
  const tzx::LuaApi& lua = *tzx::host::RootServices()->lua;
  tzx::text::TextRequest request{};
  int present = -1;
  Run("tabs_table = {tabs = {[0] = 30, 10}, deflistindent = 9}");
  lua.pushstring(L, "tabs_table");
  lua.rawget(L, tzx::kGlobalsIndex);
  const int table = lua.gettop(L);
  ASSERT_EQ(text_->ParseTabsTable(L, table, &request, &present), 0);
  EXPECT_EQ(present, 1);
  EXPECT_EQ(request.tabCount, 2);
  EXPECT_EQ(request.tabs[0], 10);
  EXPECT_EQ(request.tabs[1], 30);
  ASSERT_EQ(text_->ParseListOptions(L, table, &request, 1, &present), 0);
  EXPECT_EQ(present, 1);
  EXPECT_EQ(request.list[1][0], 9);
  EXPECT_EQ(request.list[1][31], 9);
  lua.settop(L, 0);
  Run("tabs_table = {tabs = {[0] = -1}}");
  lua.pushstring(L, "tabs_table");
  lua.rawget(L, tzx::kGlobalsIndex);
  EXPECT_EQ(text_->ParseTabsTable(L, lua.gettop(L), &request, &present), tzx::kErrNegativePosition);
  lua.settop(L, 0);
  lua.pushnumber(L, 1);
  EXPECT_EQ(text_->ParseTabsTable(L, lua.gettop(L), &request, &present), tzx::kErrNotTable);
  lua.settop(L, 0);

  Run("function openfont(id, name, size, t) replayed = {id, name, size, t.engine, t.cache, "
      "t.usepoints, t.charmap, t.loader} end");
  const tzx::text::FontOpenRecord open{
      ObjectId{6, nullptr}, "Sans", 14, 0x00020004, "inbuilt", nullptr, 0};
  ASSERT_EQ(text_->ReplayOpenFont(L, &open), 0);
  Run("assert(replayed[1] == 6 and replayed[2] == 'Sans' and replayed[3] == 14)"
      "assert(replayed[4] == 4 and replayed[5] == true and replayed[6] == true)"
      "assert(replayed[7] == 0 and replayed[8] == 'inbuilt')");
  Run("function openfont() error('refused') end");
  EXPECT_NE(text_->ReplayOpenFont(L, &open), 0);
  lua.settop(L, 0);
}

}  // namespace
