// The system's fonts: the folders they lie in and matching a face by family
// and style (fontconfig), for the native font engine and font discovery.
#pragma once

#include <cstddef>

namespace tzx::platform {

// Calls back with each folder the system's font configuration scans (the
// user's XDG fonts folder among them where it is configured).
void ForEachSystemFontFolder(void (*folder)(void* context, const char* path), void* context);

struct SystemFace {
  char path[1024];
  int index;        // face in a collection
  bool emboldened;  // the family has no face of that weight: make it bold
  bool slanted;     // no face of that slant: slant it
};

// The face of the family (compared case-insensitively with the match's own
// family: no substitute family is accepted) with the weight and slant
// (FONTWEIGHT_ and FONTSLANT_ values). False when the family is not there.
bool MatchSystemFace(const char* family, int weight, int slant, SystemFace* out);

}  // namespace tzx::platform
