// Path strings: joining and splitting.
#pragma once

#include <string>

namespace tzx::host {

// `dir` and `name` with one separator between them; an absolute name stands
// alone and an empty directory adds nothing.
std::string JoinPath(const std::string& dir, const std::string& name);
// The end of the directory part: the last separator, or the start when there is
// none.
const char* PathPartOf(const char* path);
const char* FilePartOf(const char* path);

}  // namespace tzx::host
