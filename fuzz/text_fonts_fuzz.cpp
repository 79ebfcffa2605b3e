// libFuzzer target: the font file readers over arbitrary bytes: Amiga
// contents and size files, and the naming of outline files of every kind.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "services.h"
#include "text/src/amiga_fonts.h"
#include "text/src/font_discovery.h"
#include "tzx/frame.h"

namespace {

const bool kHostReady = (tzx::gHost = tzx::host::RootServices(), true);

void Ignore(void*, const tzx::text::NamedFace&) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tzx::text;
  uint8_t sizes[256];
  ContentsSizes(data, size, sizes);
  char name[256];
  if (size > 0 && FindContentsEntry(data, size, data[0], name)) {
    EntryName entry;
    ParseEntryName(name, &entry);
  }
  BitmapFontData font;
  if (ReadAmigaSizeFile(data, size, &font) == 0) {
    for (uint32_t code = 0; code < 256; ++code) {
      const uint32_t loc = font.charLoc[AmigaGlyphIndex(font, code)];
      (void)loc;
    }
    FreeAmigaFont(&font);
  }
  for (const char* file : {"a.ttf", "a.ttc", "a.dfont", "a.font"})
    NameFontFile(data, size, file, Ignore, nullptr);
  return 0;
}
