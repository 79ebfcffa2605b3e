// The frame of dos.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "commands.h"
#include "constants.h"
#include "directories.h"
#include "file_nodes.h"
#include "linked_trees.h"
#include "path_names.h"
#include "program_runs.h"
#include "stored_programs.h"
#include "tzx/dos.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "userdata.h"

namespace tzx::dos {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: dos.tzx 11.0 (10.01.26) [Windows] [x86] ";

const DosInterface kInterface = {
    .findFileHandle = FindFileHandle,
    .freeProgramRun = FreeProgramRun,
    .makeLinkedEntryPath = MakeLinkedEntryPath,
    .freeDirTree = FreeDirTree,
    .readDirTree = ReadDirTree,
    .openFileThroughScript = OpenFileThroughScript,
    .declareLinkedDirectory = DeclareLinkedDirectory,
    .currentIoMode = &gCurrentIoMode,
    .useCarriageReturn = &gUseCarriageReturnFlag,
    .end = nullptr,
};

const CommandRow kCommands[] = {
    {"OpenFile", OpenFile},
    {"CloseFile", CloseFile},
    {"Eof", Eof},
    {"ReadChr", ReadChr},
    {"ReadByte", ReadByte},
    {"ReadShort", ReadShort},
    {"ReadInt", ReadInt},
    {"ReadFloat", ReadFloat},
    {"ReadString", ReadString},
    {"ReadBytes", ReadBytes},
    {"ReadLine", ReadLine},
    {"Seek", Seek},
    {"WriteChr", WriteChr},
    {"WriteByte", WriteByte},
    {"WriteShort", WriteShort},
    {"WriteInt", WriteInt},
    {"WriteFloat", WriteFloat},
    {"WriteString", WriteString},
    {"WriteBytes", WriteBytes},
    {"WriteLine", WriteLine},
    {"FilePos", FilePos},
    {"FileLength", FileLength},
    {"FlushFile", FlushFile},
    {"SetFileEncoding", SetFileEncoding},
    {"SetIOMode", SetIOMode},
    {"UseCarriageReturn", UseCarriageReturn},
    {"FileLines", FileLines},
    {"CRC32", CRC32},
    {"MD5", MD5},
    {"SHA1", SHA1},
    {"FileToString", FileToString},
    {"StringToFile", StringToFile},
    {"DefineVirtualFile", DefineVirtualFile},
    {"DefineVirtualFileFromString", DefineVirtualFileFromString},
    {"UndefineVirtualStringFile", UndefineVirtualStringFile},
    {"GetEnv", GetEnv},
    {"SetEnv", SetEnv},
    {"UnsetEnv", UnsetEnv},
    {"OpenDirectory", OpenDirectory},
    {"CloseDirectory", CloseDirectory},
    {"NextDirectoryEntry", NextDirectoryEntry},
    {"RewindDirectory", RewindDirectory},
    {"CountDirectoryEntries", CountDirectoryEntries},
    {"GetDirectoryEntry", GetDirectoryEntry},
    {"ReadDirectory", ReadDirectory},
    {"DirectoryItems", DirectoryItems},
    {"MatchPattern", MatchPattern},
    {"Exists", Exists},
    {"FileSize", FileSize},
    {"IsDirectory", IsDirectory},
    {"PathPart", PathPart},
    {"FilePart", FilePart},
    {"FullPath", FullPath},
    {"MakeHostPath", MakeHostPath},
    {"CanonizePath", CanonizePath},
    {"IsAbsolutePath", IsAbsolutePath},
    {"GetStartDirectory", GetStartDirectory},
    {"GetProgramDirectory", GetProgramDirectory},
    {"AllowBackslash", AllowBackslash},
    {"GetTempFileName", GetTempFileName},
    {"GetVolumeName", GetVolumeName},
    {"GetVolumeInfo", GetVolumeInfo},
    {"HaveVolume", HaveVolume},
    {"ChangeDirectory", ChangeDirectory},
    {"GetCurrentDirectory", GetCurrentDirectory},
    {"MakeDirectory", MakeDirectory},
    {"CreateDirectory", CreateDirectory},
    {"CreateFile", CreateFile},
    {"Rename", Rename},
    {"GetFileAttributes", GetFileAttributes},
    {"SetFileAttributes", SetFileAttributes},
    {"FileAttributes", FileAttributes},
    {"CopyFile", CopyFile},
    {"MoveFile", MoveFile},
    {"DeleteFile", DeleteFile},
    {"Execute", Execute},
    {"Run", Run},
    {"MonitorDirectory", MonitorDirectory},
    {nullptr, nullptr},
};

const ObjectTypeRow kObjectTypes[] = {
    {44, "Files", &gFilesList, FileAttribute},
    {45, "Directories", &gDirectoriesList, DirectoryAttribute},
    {0, nullptr, nullptr, nullptr},
};

// Step 3 of the start-up: the userdata types of the FileLines and
// DirectoryItems iterators.
int SetUp(lua_State* L) {
  CreateUserdataMetatables(L);
  RememberStartDirectory();
  return 0;
}

void Close(lua_State* L) {
  FreeAllProgramRuns(L);
  RemoveExtractedPrograms();
  CloseAllFiles(L);
  CloseAllDirectories(L);
  ForgetLastPattern(L);
}

const LibraryDefinition kDefinition = {
    .name = "dos",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = false,
    .setUp = SetUp,
    .finishSetUp = nullptr,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::dos

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::dos::kDefinition;
}
