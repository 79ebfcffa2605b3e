// The script commands of dos.tzx, by file: file handles and I/O, checksums,
// string files, virtual files, the environment, directories, patterns and
// programs.
#pragma once

#include "tzx/types.h"

namespace tzx::dos {

// file_commands.cpp
int OpenFile(lua_State* L);
int CloseFile(lua_State* L);
int Eof(lua_State* L);
int Seek(lua_State* L);
int FilePos(lua_State* L);
int FileLength(lua_State* L);
int FlushFile(lua_State* L);
int SetFileEncoding(lua_State* L);
int SetIOMode(lua_State* L);
int UseCarriageReturn(lua_State* L);

// file_read_commands.cpp
int ReadChr(lua_State* L);
int ReadByte(lua_State* L);
int ReadShort(lua_State* L);
int ReadInt(lua_State* L);
int ReadFloat(lua_State* L);
int ReadString(lua_State* L);
int ReadBytes(lua_State* L);
int ReadLine(lua_State* L);

// file_write_commands.cpp
int WriteChr(lua_State* L);
int WriteByte(lua_State* L);
int WriteShort(lua_State* L);
int WriteInt(lua_State* L);
int WriteFloat(lua_State* L);
int WriteString(lua_State* L);
int WriteBytes(lua_State* L);
int WriteLine(lua_State* L);

// file_line_commands.cpp
int FileLines(lua_State* L);

// checksum_commands.cpp
int CRC32(lua_State* L);
int MD5(lua_State* L);
int SHA1(lua_State* L);

// string_file_commands.cpp
int FileToString(lua_State* L);
int StringToFile(lua_State* L);

// virtual_file_commands.cpp
int DefineVirtualFile(lua_State* L);
int DefineVirtualFileFromString(lua_State* L);
int UndefineVirtualStringFile(lua_State* L);

// environment_commands.cpp
int GetEnv(lua_State* L);
int SetEnv(lua_State* L);
int UnsetEnv(lua_State* L);

// directory_commands.cpp
int OpenDirectory(lua_State* L);
int CloseDirectory(lua_State* L);
int NextDirectoryEntry(lua_State* L);
int RewindDirectory(lua_State* L);
int CountDirectoryEntries(lua_State* L);
int GetDirectoryEntry(lua_State* L);
int ReadDirectory(lua_State* L);
int DirectoryItems(lua_State* L);

// path_commands.cpp
int Exists(lua_State* L);
int FileSize(lua_State* L);
int IsDirectory(lua_State* L);
int PathPart(lua_State* L);
int FilePart(lua_State* L);
int FullPath(lua_State* L);
int MakeHostPath(lua_State* L);
int CanonizePath(lua_State* L);
int IsAbsolutePath(lua_State* L);
int GetStartDirectory(lua_State* L);
int GetProgramDirectory(lua_State* L);
int AllowBackslash(lua_State* L);
int GetTempFileName(lua_State* L);
int ChangeDirectory(lua_State* L);
int GetCurrentDirectory(lua_State* L);

// volume_commands.cpp
int GetVolumeName(lua_State* L);
int GetVolumeInfo(lua_State* L);
int HaveVolume(lua_State* L);

// attribute_commands.cpp
int MakeDirectory(lua_State* L);
int CreateDirectory(lua_State* L);
int CreateFile(lua_State* L);
int Rename(lua_State* L);
int GetFileAttributes(lua_State* L);
int SetFileAttributes(lua_State* L);
int FileAttributes(lua_State* L);

// transfer_commands.cpp
int CopyFile(lua_State* L);
int MoveFile(lua_State* L);
int DeleteFile(lua_State* L);

// pattern_commands.cpp
int MatchPattern(lua_State* L);
// Lets go of the pattern MatchPattern keeps compiled (at library close).
void ForgetLastPattern(lua_State* L);

// run_commands.cpp
int Execute(lua_State* L);
int Run(lua_State* L);

// monitor_commands.cpp
int MonitorDirectory(lua_State* L);

}  // namespace tzx::dos
