// Font discovery: the user's font paths, the list of available fonts built
// by scanning font folders, and finding a font file by name.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

struct AvailableFont {
  AvailableFont* next;
  char name[512];  // family and the style words it lacks
  char family[256];
  char path[1024];
  int32_t weight;
  int32_t slant;
  int64_t faceOffset;  // resource-fork fonts: where the face lies
  int64_t faceLength;
  uint32_t tableDirOffset;  // collections: the face's table directory
  int32_t faceIndex;        // collections: the face's place
  int32_t bitmap;
  uint8_t sizes[256];
  int32_t sizeCount;
};

// The list, built in lookup mode when empty (regular faces also under their
// bare family). 0 or an error code.
int AvailableFontList(const AvailableFont** out);
// Empties and rebuilds the list without the regular-face duplicates.
int RebuildAvailableFontsForListing(const AvailableFont** out);
void EmptyAvailableFonts();

// Scans one folder into the list; the list's tail is passed along.
int ScanFontFolder(const char* folder, bool lookupMode);

// AddFontPath: 0, kErrOpenDir or kErrNoMemory.
int AddFontPath(const char* folder);
void FreeFontPaths();

// The contents file of a bitmap font by bare name, searched in the font
// paths, the current folder and "Fonts". False when none opens.
bool FindBitmapFont(const char* name, char* path, size_t size);

struct SystemFontHit {
  char path[1024];
  int64_t faceOffset;
  int64_t faceLength;
  uint32_t tableDirOffset;
  int32_t faceIndex;
};
// weight -1: by full name; else by family, weight and slant. Entries inside
// collections and resource forks are skipped when standalone is asked.
bool FindSystemFont(const char* name, int weight, int slant, bool standalone, SystemFontHit* hit);

// A font file by name: a bitmap contents file (kind 1) or an outline face
// (kind 0). 0, 1045 (the contents file cannot be read), 1336 (it has a wrong
// id) or 1332 (no such font).
int FindFontFile(const char* name, int* kind, SystemFontHit* hit);

// The naming of one font file's faces, for the scan (and tests): calls back
// with each named face.
struct NamedFace {
  const char* family;
  const char* style;
  int64_t faceOffset;
  int64_t faceLength;
  uint32_t tableDirOffset;
  int faceIndex;
  int bitmap;
  const uint8_t* sizes;
  int sizeCount;
};
using FaceCallback = void (*)(void* context, const NamedFace& face);
// The kind comes from the ending of `baseName` (".ttf", ".font" ...), the
// file name without its folder. Returns the faces named.
int NameFontFile(const uint8_t* data, size_t size, const char* baseName, FaceCallback callback,
                 void* context);

}  // namespace tzx::text
