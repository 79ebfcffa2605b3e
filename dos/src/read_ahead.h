// Streaming a large file through a consumer while a worker thread reads the
// next chunk, so that the copy out of the system's cache is hidden behind
// the consumer's work (hashing) instead of adding to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/host.h"

namespace tzx::dos {

using ChunkConsumer = void (*)(void* context, const uint8_t* data, int64_t n);

// Reads `file` from where it stands to its end, `chunkSize` bytes a call,
// into the two buffers in turn, and hands each chunk to `consume` on the
// calling thread in order. False, having read nothing, when no worker can be
// started.
bool ReadAheadThrough(FileHandle* file, uint8_t* const buffers[2], size_t chunkSize,
                      ChunkConsumer consume, void* context);

}  // namespace tzx::dos
