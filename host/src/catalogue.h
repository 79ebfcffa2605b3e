// The host's message catalogue: the text behind every error code the libraries
// return and the few plain messages they ask the host to format.
#pragma once

#include <span>
#include <string>

namespace tzx::host {

// A text takes at most one "%s" (string argument) and at most one "%d" (number
// argument); "%%" is a literal percent sign. Nothing else is a directive.
struct CatalogueEntry {
  int code;
  const char* text;
};

// The whole table, sorted by code.
std::span<const CatalogueEntry> CatalogueEntries();

// The raw text of a code, or nullptr when the catalogue has none.
const char* CatalogueText(int code);

// The text with its arguments filled in. A null string argument reads as empty.
// Arguments are inserted verbatim: a "%s" inside stringArg stays as it is.
// Unknown codes give "Unknown error".
std::string FormatCatalogue(int code, const char* stringArg, long numberArg);

}  // namespace tzx::host
