// System fonts through fontconfig.
#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace tzx::platform {
namespace {

FcConfig* Config() {
  static FcConfig* config = FcInitLoadConfigAndFonts();
  return config;
}

// FONTWEIGHT_ values to fontconfig weights.
int FcWeight(int weight) {
  if (weight <= 0) return FC_WEIGHT_THIN;
  if (weight <= 40) return FC_WEIGHT_EXTRALIGHT;
  if (weight <= 50) return FC_WEIGHT_LIGHT;
  if (weight <= 75) return FC_WEIGHT_BOOK;
  if (weight <= 80) return FC_WEIGHT_REGULAR;
  if (weight <= 100) return FC_WEIGHT_MEDIUM;
  if (weight <= 180) return FC_WEIGHT_DEMIBOLD;
  if (weight <= 200) return FC_WEIGHT_BOLD;
  if (weight <= 205) return FC_WEIGHT_EXTRABOLD;
  return FC_WEIGHT_BLACK;
}

}  // namespace

void ForEachSystemFontFolder(void (*folder)(void*, const char*), void* context) {
  FcConfig* config = Config();
  if (config) {
    FcStrList* dirs = FcConfigGetFontDirs(config);
    while (FcChar8* dir = dirs ? FcStrListNext(dirs) : nullptr)
      folder(context, reinterpret_cast<const char*>(dir));
    if (dirs) FcStrListDone(dirs);
  }
}

bool MatchSystemFace(const char* family, int weight, int slant, SystemFace* out) {
  FcConfig* config = Config();
  if (!config) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const int fcWeight = FcWeight(weight);
  const int fcSlant = slant >= 110   ? FC_SLANT_OBLIQUE
                      : slant >= 100 ? FC_SLANT_ITALIC
                                     : FC_SLANT_ROMAN;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight);
  FcPatternAddInteger(pattern, FC_SLANT, fcSlant);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* matchFamily = nullptr;
  FcChar8* file = nullptr;
  int index = 0, matchWeight = fcWeight, matchSlant = fcSlant;
  bool ok = false;
  // Only the family asked for counts: fontconfig would offer a substitute.
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &matchFamily) == FcResultMatch; ++i) {
    if (strcasecmp(reinterpret_cast<const char*>(matchFamily), family) == 0) {
      ok = true;
      break;
    }
  }
  if (ok && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      std::strlen(reinterpret_cast<const char*>(file)) < sizeof out->path) {
    std::strcpy(out->path, reinterpret_cast<const char*>(file));
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchWeight);
    FcPatternGetInteger(match, FC_SLANT, 0, &matchSlant);
    out->index = index;
    out->emboldened = fcWeight >= FC_WEIGHT_BOLD && matchWeight < FC_WEIGHT_DEMIBOLD;
    out->slanted = fcSlant != FC_SLANT_ROMAN && matchSlant == FC_SLANT_ROMAN;
  } else {
    ok = false;
  }
  FcPatternDestroy(match);
  return ok;
}

}  // namespace tzx::platform
