// Memory with a live-block count, tracing, system values and dates.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" {
#include <lua.h>
}

#include "catalogue.h"
#include "host_state.h"
#include "platform/calendar.h"
#include "platform/file_system.h"
#include "platform/special_folders.h"
#include "services.h"

namespace tzx::host {
namespace {

void* Alloc(size_t size, int flags) {
  void* block =
      (flags & kAllocZero) ? std::calloc(1, size ? size : 1) : std::malloc(size ? size : 1);
  if (block) State().liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void Free(void* block) {
  if (!block) return;
  State().liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

// Formats a catalogue message with its string argument; the text stays valid
// until the next call on the same thread.
const char* CatalogueMessage(int number, ...) {
  thread_local std::string text;
  va_list ap;
  va_start(ap, number);
  const char* arg = va_arg(ap, const char*);
  va_end(ap);
  text = FormatCatalogue(number, arg, 0);
  return text.c_str();
}

void Trace(const char* text) {
  if (!State().quietTrace) std::fprintf(stderr, "%s\n", text);
}

void ResourceChanged() {}

// No file-system adapters or loaders are installed: the lists are empty.
void DefaultList(char* buffer256, int) {
  buffer256[0] = 0;
}
int PluginBegin(void*, const char*, uint32_t, int) {
  return 0;
}
int PluginNext(void*) {
  return 0;
}
const char* PluginName(void*) {
  return "";
}

// Files linked into the application: what tessera's --link names.
const std::string* LinkedFile(const char* name) {
  for (const auto& [linked, file] : State().linkedFiles) {
    if (linked == name) return &file;
  }
  return nullptr;
}

int LinkedArgument(lua_State* L, int n, int* flagOut, int) {
  if (flagOut) {
    const char* name = lua_type(L, n) == LUA_TSTRING ? lua_tostring(L, n) : nullptr;
    *flagOut = name && LinkedFile(name) ? 1 : 0;
  }
  return 0;
}

// The whole file is the linked data; its size is taken when asked, so that a
// script may write the file after the host started.
int LinkedFileInfo(const char* name, char* containerOut, size_t size, int64_t* offsetOut,
                   int64_t* sizeOut) {
  const std::string* file = name ? LinkedFile(name) : nullptr;
  platform::FileStatus status;
  if (!file || file->size() >= size || !platform::Examine(file->c_str(), &status) ||
      !status.regular) {
    return 0;
  }
  std::memcpy(containerOut, file->c_str(), file->size() + 1);
  *offsetOut = 0;
  *sizeOut = status.size;
  return 1;
}
int PathCheck(const char*) {
  return 0;
}

const char* const kMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct CrcTable {
  uint32_t entries[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[i] = c;
    }
  }
};
const CrcTable kCrc;

void DateFromInfo(const ExamineInfo* info, DateRecord* out, int which) {
  int64_t t = which == kDateModified   ? info->modified
              : which == kDateAccessed ? info->accessed
                                       : info->created;
  platform::CalendarTime tm = platform::LocalTime(t);
  *out = DateRecord{tm.year, tm.month, tm.day, tm.hour, tm.minute, tm.second, 0};
}

bool SpecialFolder(int number, char* buffer, size_t size) {
  std::string path = platform::SpecialFolderPath(number);
  if (path.empty() || path.size() >= size) return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

const MemoryServices kMemory = {
    .alloc = Alloc,
    .free = Free,
    .catalogueMessage = CatalogueMessage,
    .trace = Trace,
    .resourceChanged = ResourceChanged,
    .defaultAdapters = DefaultList,
    .defaultLoaders = DefaultList,
    .pluginBegin = PluginBegin,
    .pluginNext = PluginNext,
    .pluginName = PluginName,
    .linkedArgument = LinkedArgument,
    .linkedFileInfo = LinkedFileInfo,
    .pathCheck = PathCheck,
    .abortFlag = &State().abortFlag,
    .textEncoding = &State().textEncoding,
    .dosEncoding = &State().dosEncoding,
    .monthNames = kMonthNames,
    .crcTable = kCrc.entries,
    .backslashSwitch = &State().backslashSwitch,
    .dateFromInfo = DateFromInfo,
    .specialFolder = SpecialFolder,
};

const DisplayServices kDisplay = {&State().displayAdapter, &State().headless};

}  // namespace tzx::host
