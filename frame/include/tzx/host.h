// The host's service tables. The host hands the root record to every library
// through tzx_Entry; everything a library needs from the host goes through it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// Opaque host objects.
struct FileHandle;
struct DirHandle;
struct DirEntryRecord;
struct UserTags;
struct HostLock;
struct HostThread;

// The embedded interpreter keeps the classic stack model: these pseudo-indices
// are translated by the host for the interpreter it embeds.
inline constexpr int kRegistryIndex = -10000;
inline constexpr int kGlobalsIndex = -10001;
inline constexpr int UpvalueIndex(int i) {
  return kGlobalsIndex - i;
}

enum LuaType : int {
  kLuaNone = -1,
  kLuaNil = 0,
  kLuaBoolean = 1,
  kLuaLightUserdata = 2,
  kLuaNumber = 3,
  kLuaString = 4,
  kLuaTable = 5,
  kLuaFunction = 6,
  kLuaUserdata = 7,
  kLuaThread = 8,
};
inline constexpr int kNoRef = -1;

// A string buffer that lives in the caller's stack frame, filled piecewise.
inline constexpr size_t kLuaBufferSize = 8192;
struct LuaBuffer {
  char* p;
  int lvl;
  lua_State* L;
  char buffer[kLuaBufferSize];
};

// Standard C-library functions.
struct RuntimeLibrary {
  int (*strcmp)(const char* a, const char* b);
  int (*stricmp)(const char* a, const char* b);
  int (*strncmp)(const char* a, const char* b, size_t n);
  int (*strnicmp)(const char* a, const char* b, size_t n);
  size_t (*strlen)(const char* s);
  char* (*strcpy)(char* dst, const char* src);
  const char* (*strchr)(const char* s, int c);
  const char* (*stristr)(const char* haystack, const char* needle);
  // Bounded copy and append; the destination is always terminated.
  void (*strlcpy)(char* dst, size_t size, const char* src);
  void (*strlcat)(char* dst, size_t size, const char* src);
  void* (*memset)(void* dst, int c, size_t n);
  void* (*memcpy)(void* dst, const void* src, size_t n);
  int (*memcmp)(const void* a, const void* b, size_t n);
  int (*sprintf)(char* dst, const char* format, ...);
  int (*snprintf)(char* dst, size_t size, const char* format, ...);
  void (*qsort)(void* base, size_t count, size_t size, int (*compare)(const void*, const void*));
  int (*tolower)(int c);
  int (*roundToInt)(double v);
};

struct MathLibrary {
  double (*sin)(double);
  double (*cos)(double);
  double (*tan)(double);
  double (*fmod)(double, double);
  double (*sqrt)(double);
  double (*modf)(double, double* intPart);
  double (*round)(double);
  double (*random)();  // in [0, 1)
};

// Error-message arguments, locks and text conversion.
struct ErrorReporting {
  // Inserted into the message of the error code the command returns next.
  void (*setErrorString)(const char* text);
  void (*setErrorNumber)(double n);
  HostLock* (*createLock)();
  void (*destroyLock)(HostLock* lock);
  void (*lock)(HostLock* lock);
  void (*unlock)(HostLock* lock);
  // Converts between encodings (kEncodingLatin1, kEncodingUtf8). `length` is the
  // source length in bytes, or null for a terminated source; `lengthOut` (may be
  // null) receives the result's length. The result is terminated and freed with
  // the memory service's free; null on failure.
  char* (*convertText)(const char* source, int fromEncoding, int toEncoding, const size_t* length,
                       size_t* lengthOut);
};

// Operations on host file and directory handles and on path strings.
struct StreamIo {
  void (*closeFile)(FileHandle* h);
  int (*flush)(FileHandle* h);
  int (*eof)(FileHandle* h);
  int (*getc)(FileHandle* h);  // byte, or -1
  int64_t (*readBytes)(FileHandle* h, void* buffer, int64_t n);
  int64_t (*writeBytes)(FileHandle* h, const void* buffer, int64_t n);
  int (*putc)(FileHandle* h, int byte);
  void (*closeDir)(DirHandle* h);
  void (*dirPath)(DirHandle* h, char* buffer, size_t size);
  // Appends `name` to the path in `buffer` with one separator; false when it does
  // not fit.
  bool (*pathJoin)(char* buffer, const char* name, size_t size);
  const char* (*pathPart)(const char* path);  // end of the directory part
  const char* (*filePart)(const char* path);
  // The bytes buffered from the position on, read ahead when none are; the
  // position stays (skip past what was used). 0 at the end or on a read error.
  int64_t (*peek)(FileHandle* h, const char** bytes);
  // Moves the position past `n` of the bytes peek handed out: no more than
  // those, so it needs none of a seek's checks.
  void (*skip)(FileHandle* h, int64_t n);
};

using LuaCFunction = int (*)(lua_State* L);

// The interpreter's C API with the classic stack model.
struct LuaApi {
  int (*gettop)(lua_State* L);
  void (*settop)(lua_State* L, int index);
  void (*pushvalue)(lua_State* L, int index);
  void (*remove)(lua_State* L, int index);
  void (*insert)(lua_State* L, int index);
  void (*replace)(lua_State* L, int index);

  int (*type)(lua_State* L, int index);
  int (*isnumber)(lua_State* L, int index);
  int (*isstring)(lua_State* L, int index);
  size_t (*strlen)(lua_State* L, int index);
  void* (*touserdata)(lua_State* L, int index);
  double (*tonumber)(lua_State* L, int index);
  int (*toboolean)(lua_State* L, int index);
  const char* (*tolstring)(lua_State* L, int index, size_t* length);

  void (*pushnil)(lua_State* L);
  void (*pushnumber)(lua_State* L, double n);
  void (*pushboolean)(lua_State* L, int b);
  void (*pushlstring)(lua_State* L, const char* s, size_t length);
  void (*pushstring)(lua_State* L, const char* s);
  void (*pushlightuserdata)(lua_State* L, void* p);
  void (*pushcclosure)(lua_State* L, LuaCFunction fn, int upvalues);

  void (*newtable)(lua_State* L);
  void (*gettable)(lua_State* L, int index);
  void (*rawget)(lua_State* L, int index);
  void (*rawgeti)(lua_State* L, int index, int n);
  void (*settable)(lua_State* L, int index);
  void (*rawset)(lua_State* L, int index);
  void (*rawseti)(lua_State* L, int index, int n);
  int (*next)(lua_State* L, int index);

  void* (*newuserdata)(lua_State* L, size_t size);
  int (*getmetatable)(lua_State* L, int index);
  int (*setmetatable)(lua_State* L, int index);
  int (*newmetatable)(lua_State* L, const char* name);
  void (*getregmetatable)(lua_State* L, const char* name);
  void* (*checkudata)(lua_State* L, int index, const char* name);

  int (*pcall)(lua_State* L, int nargs, int nresults, int errfunc);
  int (*ref)(lua_State* L, int index);
  void (*unref)(lua_State* L, int index, int ref);

  // Argument checks raise the host's argument error on a wrong type.
  const char* (*checklstring)(lua_State* L, int n, size_t* length);
  const char* (*optlstring)(lua_State* L, int n, const char* def, size_t* length);
  double (*checknumber)(lua_State* L, int n);
  double (*optnumber)(lua_State* L, int n, double def);
  int32_t (*checkinteger)(lua_State* L, int n);
  int32_t (*optinteger)(lua_State* L, int n, int32_t def);
  uint32_t (*checkunsigned)(lua_State* L, int n);
  void (*checktable)(lua_State* L, int n);
  void (*checkfunction)(lua_State* L, int n);

  void (*buffinit)(lua_State* L, LuaBuffer* b);
  char* (*prepbuffer)(LuaBuffer* b);
  void (*addlstring)(LuaBuffer* b, const char* s, size_t length);
  void (*addstring)(LuaBuffer* b, const char* s);
  void (*pushresult)(LuaBuffer* b);

  // Non-zero when the first value is less than the second (mode 1).
  int (*compare)(lua_State* L, int index1, int index2, int mode);
  // Calls the function below the arguments in protected mode; 0 or a host error
  // code (the script's error is reported through the catalogue).
  int (*callScript)(lua_State* L, int nargs, int nresults);
};

struct Utf8Services {
  int (*isValid)(const char* bytes, size_t length);
  // Writes the character's bytes and a terminating NUL; returns the byte count,
  // 0 (and an empty string) for an invalid code point.
  int (*encode)(char* buffer, uint32_t codePoint);
  // Decodes one character; returns its byte count, 0 for an invalid sequence.
  int (*decode)(const char* bytes, uint32_t* codePoint);
  size_t (*offset)(const char* text, size_t n);  // byte offset of the n-th character
  int (*accept)(uint32_t character);             // keyboard-input filter
};

// Thread and message services.
using ThreadEntry = void (*)(void* argument);
// Flags of createThread: the thread raises no events (the script thread of
// display's event loop). Every other thread counts as a source of events for
// WaitEvent while it runs (workers watching programs and directories).
inline constexpr int kThreadRaisesNoEvents = 0x10000;
struct ThreadServices {
  HostThread* (*createThread)(const char* name, ThreadEntry entry, void* argument, int unused,
                              int stackSize, int unused2, int flags, int unused3);
  // Asks the thread to stop and waits for it to end.
  void (*stopThread)(HostThread* thread);
  // Posts a message to the script thread (safe from any thread).
  void (*postMessage)(int message, void* data, int a, int b, int c, int flags);
  // Lets the host process events and messages between script steps. Returns 0 or
  // a host error code; `resultOut` is non-zero when the script must stop.
  int (*eventCheck)(lua_State* L, int mode, int flags, int* resultOut);
  int (*wait)(lua_State* L, int mode);
  void (*enterCallback)(lua_State* L, int a, int b);
  void (*leaveCallback)(lua_State* L, int a, int b);
  // A source of events other than a thread (a window) opened (+1) or closed
  // (-1); with none open and no thread running, waiting for an event would
  // never end, and WaitEvent says so instead.
  void (*eventSource)(int delta);
};

// Messages posted by worker threads to the script thread.
enum HostMessage : int {
  kMsgProgramFinished = 10,
  kMsgDirectoryChanged = 11,
  kMsgProgramOutput = 12,
  kMsgDirectoryReport = 15,
};

// Broken-down time used by date conversion.
struct DateRecord {
  int year, month, day, hour, minute, second, millisecond;
};

// What examining a path or a directory entry tells.
struct ExamineInfo {
  int type;  // 0 file, 1 directory (for a link: what it points to)
  int link;  // non-zero for a symbolic link; walks do not descend into one
  int64_t size;
  uint32_t protection;
  int64_t created;  // seconds since 1970, UTC
  int64_t accessed;
  int64_t modified;
  char name[1024];
};

enum EntryFlags : int { kEntryNamesOnly = 1 };

enum DateWhich : int { kDateCreated = 0, kDateAccessed = 1, kDateModified = 2 };

struct MemoryServices {
  void* (*alloc)(size_t size, int flags);  // flags kAllocZero for zero-filled
  void (*free)(void* block);
  const char* (*catalogueMessage)(int number, ...);
  void (*trace)(const char* text);
  void (*resourceChanged)();
  void (*defaultAdapters)(char* buffer256, int kind);
  void (*defaultLoaders)(char* buffer256, int kind);
  int (*pluginBegin)(void* iterator, const char* names, uint32_t capabilityMask, int flags);
  int (*pluginNext)(void* iterator);
  const char* (*pluginName)(void* handle);
  int (*linkedArgument)(lua_State* L, int n, int* flagOut, int unused);
  // Container path, offset and size of a file linked into the application; 0
  // when not linked.
  int (*linkedFileInfo)(const char* name, char* containerOut, size_t size, int64_t* offsetOut,
                        int64_t* sizeOut);
  int (*pathCheck)(const char* name);  // non-zero for refused names
  int* abortFlag;
  int* textEncoding;              // default of the text library's encoding arguments
  int* dosEncoding;               // default of the dos library's encoding arguments
  const char* const* monthNames;  // 12 abbreviated names
  const uint32_t* crcTable;       // 256 entries
  int* backslashSwitch;
  void (*dateFromInfo)(const ExamineInfo* info, DateRecord* out, int which);
  // Writes a special folder's path; false when unknown.
  bool (*specialFolder)(int number, char* buffer, size_t size);
};
inline constexpr int kAllocZero = 1;

// Services of an installed display adapter; none in our host.
struct DisplayAdapter;
struct DisplayServices {
  DisplayAdapter** currentAdapter;  // points at null when none is installed
  // Non-zero when no window system is to be used: displays keep their windows
  // in memory (tessera --headless).
  const int* headless;
};

// Options of a file open.
struct OpenOptions {
  char adapter[256];
  int encoding;
  int flags;
};

enum FileAccess : int { kAccessRead = 1, kAccessWrite = 2, kAccessReadWrite = 4, kAccessDos = 8 };
enum SeekMode : int { kSeekCurrent = 0, kSeekBeginning = 1, kSeekEnd = 2 };
enum IoFlags : int { kIoLittleEndian = 1 };
enum IoMode : int { kIoValue = 0, kIoBlock = 1 };

struct FileSystem {
  void (*initOpenOptions)(OpenOptions* options);
  FileHandle* (*openFile)(const char* name, int access, const OpenOptions* options, UserTags* tags);
  // Typed and block transfers: mode kIoValue swaps 2-, 4- and 8-byte values to or
  // from big-endian unless flags has kIoLittleEndian; returns 0 or an error code.
  int (*read)(FileHandle* h, void* buffer, int mode, int64_t count, int flags, int unused);
  int (*write)(FileHandle* h, const void* buffer, int mode, int64_t count, int flags, int unused);
  int64_t (*readUnbuffered)(FileHandle* h, void* buffer, int64_t count);
  int64_t (*writeUnbuffered)(FileHandle* h, const void* buffer, int64_t count);
  uint32_t (*readBE32)(FileHandle* h);
  uint16_t (*readBE16)(FileHandle* h);
  int64_t (*seek)(FileHandle* h, int64_t offset, int mode);  // new position, -1 on failure
  int64_t (*length)(FileHandle* h);
  DirHandle* (*openDir)(const char* path, int flags, const OpenOptions* options, UserTags* tags);
  int (*prepareEntry)(DirHandle* h, DirEntryRecord** recordOut);
  // Fills `info` with the next entry; 0 at the end. With kEntryNamesOnly in
  // `flags` only the name, the type and the link mark are filled in.
  int (*nextEntry)(DirHandle* h, DirEntryRecord* record, ExamineInfo* info, int flags,
                   int* isDirectory);
  void (*freeEntry)(DirEntryRecord* record);
  int (*examinePath)(const char* path, ExamineInfo* info, int flags);  // non-zero when it exists
  const char* (*formatName)(FileHandle* h);
  const char* (*adapterName)(FileHandle* h);
  const char* (*dirFormatName)(DirHandle* h);
  const char* (*dirAdapterName)(DirHandle* h);
  // Virtual files: each writes the path under which the definition resolves;
  // 0 or an error code.
  int (*defineVirtualFile)(const char* file, uint64_t offset, uint64_t size, const char* name,
                           char* pathOut, size_t size2);
  int (*defineVirtualString)(const char* data, size_t length, const char* name, int number,
                             char* pathOut, size_t size);
  int (*undefineVirtualString)(const char* path);  // 0, or non-zero when not one
  // Starts the listing of an open directory again; 0 or an error code.
  int (*rewindDir)(DirHandle* h);
  // The name an open file was opened under, and whether it is a stream
  // (read or written in sequence) that cannot seek; 0, or non-zero when the
  // host knows nothing of it.
  int (*fileInfo)(FileHandle* h, char* pathOut, size_t size, int* streaming, int* noSeek);
  // The next entry's name, its length and whether it is a directory (for a
  // link: what it leads to); null at the end. The name stays valid until the
  // next call on `h`: a listing that wants names alone takes them from here
  // without nextEntry's copy.
  const char* (*nextName)(DirHandle* h, size_t* length, int* isDirectory);
};

// Something the host does for a library once the running command has ended
// (tzx/pins.h builds the pins of records on it). `run` gets the action back
// with its data words; it must not raise an interpreter error.
struct CommandEndAction {
  void (*run)(lua_State* L, const CommandEndAction* action);
  void* data[3];
};

// Readers of command arguments and writers of results.
struct ArgumentServices {
  lua_State* (*beginCommand)(lua_State* L, int minimum, int maximum, int unused, int unused2);
  void (*registerCommands)(lua_State* L, const char* unused, const CommandRow* table, int flags);
  void (*nameCommandTable)(const CommandRow* table, const char* library);

  ObjectId (*objectId)(lua_State* L, int n);
  ObjectId (*newObjectId)(lua_State* L, int n);  // Nil gives a non-null pointer word
  // The name of a file or path; refuses (error 1904) a name with a NUL byte,
  // which would name another file than the script wrote. Every command that
  // takes a file or path name reads it here.
  const char* (*fileName)(lua_State* L, int n, int unused, int unused2);
  const char* (*fontName)(lua_State* L, int n, int unused, int unused2);
  // The argument converted from the host's default encoding to `encoding`;
  // valid until the command returns.
  const char* (*encodedString)(lua_State* L, int n, size_t* lengthOut, int encoding, int unused);

  const char* (*stackString)(lua_State* L, int index, int unused, int* errorOut);
  double (*stackNumber)(lua_State* L, int index, int* errorOut);
  double (*levelArgument)(lua_State* L, int n, double maximum, int unused, int unused2);

  // Table fields: each leaves `out` unchanged and returns false when the key is
  // absent; a present field of the wrong type raises the host's argument error.
  bool (*fieldInt)(lua_State* L, int table, const char* key, int32_t* out);
  bool (*fieldNumber)(lua_State* L, int table, const char* key, double* out);
  bool (*fieldColor)(lua_State* L, int table, const char* key, uint32_t* out);
  bool (*fieldLevel)(lua_State* L, int table, const char* key, int32_t* out, int maximum);
  bool (*fieldBool)(lua_State* L, int table, const char* key, int32_t* out);
  bool (*fieldString)(lua_State* L, int table, const char* key, char* buffer, size_t size);
  // Allocated copy, freed with the memory service's free.
  bool (*fieldAllocString)(lua_State* L, int table, const char* key, char** out);
  bool (*fieldObjectId)(lua_State* L, int table, const char* key, ObjectId* out);
  // A number, or a string "n%" giving a fraction of `reference`.
  bool (*fieldPercent)(lua_State* L, int table, const char* key, double reference, double* out);
  // A 2x2 matrix {sx, rx, ry, sy}.
  bool (*fieldMatrix)(lua_State* L, int table, const char* key, double out[4]);
  // Pushes the field of the table at `table` (by key, or by index) and returns
  // its type; kLuaNil when absent.
  int (*fieldByKey)(lua_State* L, int table, const char* key);
  int (*fieldByIndex)(lua_State* L, int table, int n);

  int (*userTags)(lua_State* L, int table, int unused, int unused2, UserTags** tagsOut);
  void (*freeUserTags)(UserTags* tags, int unused);
  UserTags* (*retainUserTags)(UserTags* tags);

  // Writers on the table at the stack top.
  void (*setIntField)(lua_State* L, const char* key, int32_t v);
  void (*setNumberField)(lua_State* L, const char* key, double v);
  void (*setStringField)(lua_State* L, const char* key, const char* v);
  void (*setObjectIdField)(lua_State* L, const char* key, ObjectId id);
  void (*pushObjectId)(lua_State* L, ObjectId id);

  // The command scope. Runs a copy of `action` once the running command has
  // ended: when it returns, when its error unwinds to a protected call, or,
  // outside any command, when the script's current protected call ends.
  // Actions run innermost command first, the last recorded first. 0, or 1000
  // when the action cannot be recorded (it then never runs).
  int (*atCommandEnd)(lua_State* L, const CommandEndAction* action);
};

struct CharConversion {
  // UTF-16 round trips for operations that work in wide characters; allocated,
  // freed with the memory service's free.
  uint16_t* (*toUtf16)(const char* text, int encoding);
  char* (*fromUtf16)(const uint16_t* text, int encoding);
};

struct ExtendedServices {
  const ThreadServices* threads;
  const MemoryServices* memory;
  const DisplayServices* display;
  const FileSystem* files;
  const ArgumentServices* args;
  const CharConversion* chars;
};

struct HostServices {
  const RuntimeLibrary* runtime;
  const ErrorReporting* errors;
  const StreamIo* stream;
  // Filled by the text library in its initialisation with its own service
  // tables, for the host's text engine.
  const void* textEngine[2];
  const LuaApi* lua;
  const Utf8Services* utf8;
  const MathLibrary* math;
  const ExtendedServices* ext;
};

}  // namespace tzx
