#include "print_glue.h"

#include <cstring>

#include "tzx/errors.h"

namespace tzx::text {

bool gFormatTagsDefault = true;

int TextArg(lua_State* L, int n, int encoding, const char** text, size_t* length) {
  if (encoding != 0 && encoding != 1) return kErrZeroOrOne;
  Lua().checklstring(L, n, length);
  *text = Args().encodedString(L, n, length, encoding, 0);
  if (!*text) return kErrNoMemory;
  if (encoding == 1 && !Host().utf8->isValid(*text, *length)) return kErrUtf8;
  return 0;
}

namespace {

struct ConstantEntry {
  const char* name;  // into the text
  size_t length;
  int32_t value;
  int32_t known;
};

struct ConstantCache {
  size_t count;
  ConstantEntry entries[1];
};

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int Resolve(void* context, const char* name, size_t length, int32_t* out) {
  const auto* cache = static_cast<const ConstantCache*>(context);
  for (size_t i = 0; cache && i < cache->count; ++i) {
    const ConstantEntry& e = cache->entries[i];
    if (e.name != name || e.length != length) continue;
    if (!e.known) return kErrRange;
    *out = e.value;
    return 0;
  }
  return kErrRange;
}

}  // namespace

TagConstants CollectTagConstants(lua_State* L, const char* text, size_t length) {
  size_t count = 0;
  for (size_t i = 0; i < length; ++i) count += text[i] == '#';
  TagConstants constants;
  constants.resolve = Resolve;
  if (count == 0) return constants;
  auto* cache = static_cast<ConstantCache*>(
      Lua().newuserdata(L, sizeof(ConstantCache) + count * sizeof(ConstantEntry)));
  cache->count = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '#') continue;
    size_t j = i + 1;
    while (j < length && IsNameChar(text[j])) ++j;
    ConstantEntry& e = cache->entries[cache->count++];
    e = {text + i + 1, j - i - 1, 0, 0};
    Lua().pushlstring(L, e.name, e.length);
    Lua().rawget(L, kGlobalsIndex);
    if (Lua().type(L, -1) == kLuaNumber) {
      e.value = static_cast<int32_t>(static_cast<int64_t>(Lua().tonumber(L, -1)));
      e.known = 1;
    }
    Lua().settop(L, -2);
  }
  constants.context = cache;
  return constants;
}

}  // namespace tzx::text

#include "font_record.h"
#include "layout.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

int StartRequest(LayoutRequest* r, const graphics::OutputRecord* output, bool rgbAsked) {
  r->style = CurrentStyle();
  if (!r->style.font) return kErrFontNotFound;
  r->formatTags = gFormatTagsDefault;
  r->encoding = DefaultEncoding();
  r->paletteMode = output && output->paletteDepth > 0 && !rgbAsked;
  DefaultListSettings(r);
  if ((r->style.flags & graphics::kAntialias) && !r->style.font->antialias) {
    if (!r->paletteMode) return kErrNoAntialias;
    r->style.flags &= ~graphics::kAntialias;
    if (r->style.flags == 0) r->style.flags = graphics::kNormal;
  }
  return 0;
}

}  // namespace tzx::text
