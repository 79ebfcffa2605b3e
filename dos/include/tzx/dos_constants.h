// Script constants of the dos library: file modes, I/O flags, callback actions and attributes.
// Scripts see each one as a global under its upper-case name.
#pragma once

#include "tzx/types.h"

namespace tzx::dos {

// Object type number of open files.
inline constexpr int kFile = kTypeFile;

// Access modes of OpenFile.
inline constexpr int kModeReadwrite = 1004;
inline constexpr int kModeRead = 1005;
inline constexpr int kModeWrite = 1006;

// Seek position meaning the end of the file.
inline constexpr int kEof = -1;

// Origins of Seek.
inline constexpr int kSeekCurrent = 0;
inline constexpr int kSeekBeginning = 1;
inline constexpr int kSeekEnd = 2;

// Line I/O modes of SetIOMode.
inline constexpr int kIoBuffered = 0;
inline constexpr int kIoUnbuffered = 1;

// Flag bits of the numeric read and write commands.
inline constexpr int kIoLittleendian = 1;
inline constexpr int kIoSigned = 2;
inline constexpr int kIoUnsigned = 4;
inline constexpr int kIoFake64 = 8;

// Attributes of open files and directories.
inline constexpr int kAttrformat = 19;
inline constexpr int kAttrmode = 42;
inline constexpr int kAttradapter = 87;
inline constexpr int kAttrencoding = 122;

// File names of the standard streams; they pass through to the host unchanged.
inline constexpr char kStdin[] = "::stdin";
inline constexpr char kStdout[] = "::stdout";
inline constexpr char kStderr[] = "::stderr";

// Object type number of open directories.
inline constexpr int kDirectory = kTypeDirectory;

// Kinds of directory entries.
inline constexpr int kDostypeFile = 0;
inline constexpr int kDostypeDirectory = 1;

// Modes of CountDirectoryEntries.
inline constexpr int kCountfiles = 0;
inline constexpr int kCountdirectories = 1;
inline constexpr int kCountboth = 2;
inline constexpr int kCountseparate = 3;

// Callback actions of CopyFile.
inline constexpr int kCopyfileStatus = 0;
inline constexpr int kCopyfileOverwrite = 1;
inline constexpr int kCopyfileUnprotect = 2;
inline constexpr int kCopyfileFailed = 3;

// Callback actions of MoveFile.
inline constexpr int kMovefileUnprotect = 0;
inline constexpr int kMovefileCopy = 1;
inline constexpr int kMovefileDelete = 2;
inline constexpr int kMovefileCopyfailed = 3;
inline constexpr int kMovefileDeletefailed = 4;

// Callback actions of DeleteFile.
inline constexpr int kDeletefileStatus = 0;
inline constexpr int kDeletefileUnprotect = 1;
inline constexpr int kDeletefileFailed = 2;

// File attribute bits (the "flags" field).
inline constexpr int kFileattrReadUsr = 1;
inline constexpr int kFileattrWriteUsr = 2;
inline constexpr int kFileattrDeleteUsr = 4;
inline constexpr int kFileattrExecuteUsr = 8;
inline constexpr int kFileattrPure = 16;
inline constexpr int kFileattrArchive = 32;
inline constexpr int kFileattrScript = 64;
inline constexpr int kFileattrHidden = 128;
inline constexpr int kFileattrSystem = 256;
inline constexpr int kFileattrReadGrp = 512;
inline constexpr int kFileattrWriteGrp = 1024;
inline constexpr int kFileattrExecuteGrp = 2048;
inline constexpr int kFileattrReadOth = 4096;
inline constexpr int kFileattrWriteOth = 8192;
inline constexpr int kFileattrExecuteOth = 16384;
inline constexpr int kFileattrReadonly = 32768;
inline constexpr int kFileattrNormal = 65536;

// Selectors of GetVolumeInfo.
inline constexpr int kFreespace = 1;
inline constexpr int kUsedspace = 0;

// Special locations the host resolves to the user's folders.
inline constexpr char kMediaDownloads[] = "::downloads";
inline constexpr char kMediaImages[] = "::images";
inline constexpr char kMediaVideos[] = "::videos";
inline constexpr char kMediaMusic[] = "::music";

}  // namespace tzx::dos
