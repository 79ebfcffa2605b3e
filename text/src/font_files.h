// Whole font files read through the host's file services.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

// Reads the file into a host block (HostFree). 0, kErrOpenRead (name set
// for the message), kErrRead, or kErrNoMemory.
int ReadWholeFile(const char* path, const char* adapter, uint8_t** data, size_t* size);

// True when a file of that name can be opened for reading.
bool FileReadable(const char* path);

}  // namespace tzx::text
