// Path strings of the file-system commands: canonical forms, the special
// folder names and the working directory the library started in.
#pragma once

#include <cstddef>

namespace tzx::dos {

inline constexpr size_t kPathSize = 1024;

// Empty, "default" and "inbuilt" name the host's own file handler, the only
// one that serves paths on this system.
bool IsInbuiltAdapter(const char* adapter);

// MEDIA_DOWNLOADS and the other special folder names ("::downloads/x.jpg")
// resolved through the host; other paths unchanged. False when it does not
// fit or the folder is unknown.
bool HostPathOf(const char* path, char* out, size_t size);

// The absolute path with links, "." and ".." resolved as far as the path
// exists, and the rest (which does not exist yet) appended with "." and ".."
// applied to the text.
bool CanonicalPath(const char* path, char* out, size_t size);

void RememberStartDirectory();
const char* StartDirectory();

}  // namespace tzx::dos
