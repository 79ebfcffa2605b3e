// Wildcard patterns of MatchPattern and of the copy, move and delete filters.
// Pure: no host services, no allocation.
//
//   #       one digit '0' to '9'
//   ?       any one character
//   *       any run of characters, none included
//   [...]   one character of the set; a leading '!' negates it, a ']' right
//           after '[' (or '[!') is a member, "a-z" is a range when the left
//           character is lower than the right one; "[*]" matches a star, so a
//           set is also how a wildcard character is matched as itself
//   ;       separates alternatives; an empty alternative ends the list
//
// Matching is byte by byte and case-sensitive, over the whole text. A '['
// without its closing ']' matches itself.
#pragma once

#include <string_view>

namespace tzx::dos {

bool MatchesPattern(std::string_view text, std::string_view pattern);

}  // namespace tzx::dos
