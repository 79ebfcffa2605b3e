// The stored fonts' table; the bytes come from stored_fonts.S.
#include "stored_fonts.h"

#include <strings.h>

extern "C" const uint8_t tzx_text_vera_sans[];
extern "C" const uint8_t tzx_text_vera_mono[];
extern "C" const uint8_t tzx_text_vera_serif[];

namespace tzx::text {

const StoredFont kStoredFonts[kStoredFontCount] = {
    {"Bitstream Vera Sans", tzx_text_vera_sans, 65932},
    {"Bitstream Vera Sans Mono", tzx_text_vera_mono, 49224},
    {"Bitstream Vera Serif", tzx_text_vera_serif, 60280},
};

const StoredFont* FindStoredFont(const char* family) {
  for (const StoredFont& f : kStoredFonts)
    if (strcasecmp(f.family, family) == 0) return &f;
  return nullptr;
}

}  // namespace tzx::text
