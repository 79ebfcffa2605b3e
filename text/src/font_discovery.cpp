// Scanning font folders, the font paths, and finding fonts by name.
#include "font_discovery.h"

#include <strings.h>

#include <cstring>
#include <initializer_list>

#include "amiga_fonts.h"
#include "font_files.h"
#include "font_names.h"
#include "platform/fonts.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

struct FontPath {
  FontPath* next;
  char path[1024];
};

FontPath* gFontPaths = nullptr;
AvailableFont* gAvailable = nullptr;
bool gBuilt = false;

bool EndsWith(const char* name, const char* ending) {
  const size_t n = std::strlen(name), e = std::strlen(ending);
  return n >= e && strcasecmp(name + n - e, ending) == 0;
}

void Copy(char* out, size_t size, const char* text) {
  Host().runtime->strlcpy(out, size, text);
}

void JoinPath(char* out, size_t size, const char* folder, const char* name) {
  Copy(out, size, folder);
  Host().stream->pathJoin(out, name, size);
}

bool Listed(const char* name) {
  for (const AvailableFont* f = gAvailable; f; f = f->next)
    if (strcasecmp(f->name, name) == 0) return true;
  return false;
}

struct ScanContext {
  const char* path;
  bool lookupMode;
  int error;
};

int Append(const NamedFace& face, const char* path, bool emptyStyle) {
  auto* f = AllocRecord<AvailableFont>();
  if (!f) return kErrNoMemory;
  Copy(f->family, sizeof f->family, face.family);
  BuildFullName(face.family, emptyStyle ? "" : face.style, f->name, sizeof f->name);
  if (Listed(f->name)) {
    HostFree(f);
    return 0;
  }
  Copy(f->path, sizeof f->path, path);
  StyleWeightAndSlant(emptyStyle ? "" : face.style, &f->weight, &f->slant);
  f->faceOffset = face.faceOffset;
  f->faceLength = face.faceLength;
  f->tableDirOffset = face.tableDirOffset;
  f->faceIndex = face.faceIndex;
  f->bitmap = face.bitmap;
  f->sizeCount = face.sizeCount;
  if (face.sizeCount) std::memcpy(f->sizes, face.sizes, face.sizeCount);
  AvailableFont** tail = &gAvailable;
  while (*tail) tail = &(*tail)->next;
  *tail = f;
  return 0;
}

void AddFace(void* context, const NamedFace& face) {
  auto* c = static_cast<ScanContext*>(context);
  if (c->error) return;
  c->error = Append(face, c->path, false);
  if (!c->error && c->lookupMode && face.style[0] && IsRegularStyle(face.style))
    c->error = Append(face, c->path, true);
}

bool FontFileName(const char* name) {
  for (const char* e : {".font", ".ttf", ".otf", ".ttc", ".dfont"})
    if (EndsWith(name, e)) return true;
  return false;
}

int BuildList(bool lookupMode) {
  EmptyAvailableFonts();
  gBuilt = true;
  for (FontPath* p = gFontPaths; p; p = p->next)
    if (int e = ScanFontFolder(p->path, lookupMode); e == kErrNoMemory) return e;
  if (int e = ScanFontFolder("Fonts", lookupMode); e == kErrNoMemory) return e;
  // The system's font folders stand where the desktop's own would.
  struct Scan {
    bool lookupMode;
    int error;
  } scan{lookupMode, 0};
  platform::ForEachSystemFontFolder(
      [](void* context, const char* folder) {
        auto* s = static_cast<Scan*>(context);
        if (!s->error && ScanFontFolder(folder, s->lookupMode) == kErrNoMemory)
          s->error = kErrNoMemory;
      },
      &scan);
  return scan.error;
}

}  // namespace

int NameFontFile(const uint8_t* data, size_t size, const char* baseName, FaceCallback callback,
                 void* context) {
  int named = 0;
  if (EndsWith(baseName, ".font")) {
    const int id = ContentsFileId(data, size);
    if (id != kContentsBitmap && id != kContentsTagged && id != kContentsOutline) return 0;
    uint8_t sizes[256];
    const int count = ContentsSizes(data, size, sizes);
    char family[256];
    const size_t n = std::strlen(baseName) - 5;
    std::memcpy(family, baseName, n < 255 ? n : 255);
    family[n < 255 ? n : 255] = 0;
    callback(context, {family, "", 0, 0, 0, 0, id != kContentsOutline, sizes, count});
    return 1;
  }
  FaceName face;
  if (EndsWith(baseName, ".ttc")) {
    uint32_t offsets[256];
    const int count = CollectionOffsets(data, size, offsets, 256);
    for (int i = 0; i < count && i < 256; ++i) {
      if (!ReadFaceName(data, size, offsets[i], 0, &face)) continue;
      callback(context, {face.family, face.style, 0, 0, offsets[i], i, 0, nullptr, 0});
      ++named;
    }
    return named;
  }
  if (EndsWith(baseName, ".dfont")) {
    struct Walk {
      const uint8_t* data;
      size_t size;
      FaceCallback callback;
      void* context;
      int named;
    } walk{data, size, callback, context, 0};
    WalkResourceFonts(data, size, [&walk](size_t at, size_t length) {
      FaceName f;
      if (!ReadFaceName(walk.data, walk.size, at, at, &f)) return;
      walk.callback(walk.context, {f.family, f.style, static_cast<int64_t>(at),
                                   static_cast<int64_t>(length), 0, 0, 0, nullptr, 0});
      ++walk.named;
    });
    return walk.named;
  }
  if (!ReadFaceName(data, size, 0, 0, &face)) return 0;
  callback(context, {face.family, face.style, 0, 0, 0, 0, 0, nullptr, 0});
  return 1;
}

int ScanFontFolder(const char* folder, bool lookupMode) {
  DirHandle* dir = Files().openDir(folder, 0, nullptr, nullptr);
  if (!dir) return kErrOpenDir;
  DirEntryRecord* record = nullptr;
  if (Files().prepareEntry(dir, &record)) {
    Stream().closeDir(dir);
    return kErrNoMemory;
  }
  ExamineInfo info;
  int isDirectory = 0, error = 0;
  while (!error && Files().nextEntry(dir, record, &info, 0, &isDirectory)) {
    if (isDirectory || !FontFileName(info.name)) continue;
    char path[1024];
    JoinPath(path, sizeof path, folder, info.name);
    uint8_t* data;
    size_t size;
    // A file that does not read as a font is skipped.
    if (ReadWholeFile(path, nullptr, &data, &size)) continue;
    ScanContext context{path, lookupMode, 0};
    NameFontFile(data, size, info.name, AddFace, &context);
    HostFree(data);
    error = context.error;
  }
  Files().freeEntry(record);
  Stream().closeDir(dir);
  return error;
}

int AvailableFontList(const AvailableFont** out) {
  if (!gBuilt) {
    if (int e = BuildList(true)) return e;
  }
  *out = gAvailable;
  return 0;
}

int RebuildAvailableFontsForListing(const AvailableFont** out) {
  const int e = BuildList(false);
  *out = gAvailable;
  return e;
}

void EmptyAvailableFonts() {
  while (AvailableFont* f = gAvailable) {
    gAvailable = f->next;
    HostFree(f);
  }
  gBuilt = false;
}

int AddFontPath(const char* folder) {
  DirHandle* dir = Files().openDir(folder, 0, nullptr, nullptr);
  if (!dir) return ErrorWithString(kErrOpenDir, folder);
  char full[1024];
  Stream().dirPath(dir, full, sizeof full);
  Stream().closeDir(dir);
  for (FontPath* p = gFontPaths; p; p = p->next)
    if (strcasecmp(p->path, full) == 0 || strcasecmp(p->path, folder) == 0) return 0;
  auto* p = AllocRecord<FontPath>();
  if (!p) return kErrNoMemory;
  Copy(p->path, sizeof p->path, full);
  FontPath** tail = &gFontPaths;
  while (*tail) tail = &(*tail)->next;
  *tail = p;
  EmptyAvailableFonts();
  return 0;
}

void FreeFontPaths() {
  while (FontPath* p = gFontPaths) {
    gFontPaths = p->next;
    HostFree(p);
  }
}

bool FindBitmapFont(const char* name, char* path, size_t size) {
  if (name[0] == '/') return false;
  char file[1024];
  Copy(file, sizeof file, name);
  if (!EndsWith(file, ".font")) Host().runtime->strlcat(file, sizeof file, ".font");
  for (FontPath* p = gFontPaths; p; p = p->next) {
    JoinPath(path, size, p->path, file);
    if (FileReadable(path)) return true;
  }
  Copy(path, size, file);
  if (FileReadable(path)) return true;
  Host().runtime->snprintf(path, size, "Fonts/%s", file);
  return FileReadable(path);
}

bool FindSystemFont(const char* name, int weight, int slant, bool standalone, SystemFontHit* hit) {
  const AvailableFont* list;
  if (AvailableFontList(&list)) return false;
  for (const AvailableFont* f = list; f; f = f->next) {
    if (f->bitmap) continue;
    if (standalone && (f->tableDirOffset || f->faceLength)) continue;
    const bool match =
        weight == -1 ? strcasecmp(f->name, name) == 0
                     : strcasecmp(f->family, name) == 0 && f->weight == weight && f->slant == slant;
    if (!match) continue;
    Copy(hit->path, sizeof hit->path, f->path);
    hit->faceOffset = f->faceOffset;
    hit->faceLength = f->faceLength;
    hit->tableDirOffset = f->tableDirOffset;
    hit->faceIndex = f->faceIndex;
    return true;
  }
  return false;
}

int FindFontFile(const char* name, int* kind, SystemFontHit* hit) {
  *hit = {};
  if (FindBitmapFont(name, hit->path, sizeof hit->path)) {
    uint8_t* data;
    size_t size;
    if (ReadWholeFile(hit->path, nullptr, &data, &size))
      return ErrorWithString(kErrOpenRead, hit->path);
    const int id = ContentsFileId(data, size);
    HostFree(data);
    if (id != kContentsBitmap && id != kContentsTagged) return kErrBadFontFile;
    *kind = 1;
    return 0;
  }
  if (!FindSystemFont(name, -1, 0, false, hit)) return ErrorWithString(kErrFontNotFound, name);
  *kind = 0;
  return 0;
}

}  // namespace tzx::text
