// The service tables the host hands to the libraries, one per topic file.
#pragma once

#include "tzx/host.h"

namespace tzx::host {

extern const RuntimeLibrary kRuntime;
extern const MathLibrary kMath;
extern const ErrorReporting kErrorReporting;
extern const StreamIo kStreamIo;
extern const Utf8Services kUtf8;
extern const ThreadServices kThreads;
extern const MemoryServices kMemory;
extern const DisplayServices kDisplay;
extern const FileSystem kFileSystem;
extern const ArgumentServices kArguments;
extern const CharConversion kChars;

// The root record, writable because the text library fills two of its fields.
HostServices* RootServices();

}  // namespace tzx::host
