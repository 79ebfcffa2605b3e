// Programs stored inside the application (virtual files, files linked into
// it), which the system cannot start where they are: each is copied once to
// a temporary file, started from there, and the copy goes at library close.
#pragma once

#include <cstddef>
#include <string_view>

namespace tzx::dos {

// Writes to `out` what to start for `program`: the program itself, or the
// copy of a stored one. 0; 1045 (the program's name as argument) when a
// stored program cannot be read, 1052 (the temporary name) when the copy
// cannot be made, 1005 when it cannot be written whole, 1000.
int ResolveProgram(std::string_view program, char* out, size_t size);

// At library close: removes the copies.
void RemoveExtractedPrograms();

}  // namespace tzx::dos
